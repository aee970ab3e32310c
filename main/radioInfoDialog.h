#pragma once

#include "views/cellPainter.h"

#include <QDialog>
#include <QPointer>

#include <memory>
#include <string>

class QPushButton;

namespace marlo {

class OverlayTexts;
class Sheet;

// A small window that shows one overlay sheet with an OK button; the radio's
// information after Clone Info. Open and forget: it is modeless, disables its
// owner while it is up, and destroys itself when closed (OK, Enter, Escape or
// its close box), enabling and focusing the owner again.
class RadioInfoDialog : public QDialog {
public:
    // The sheet `key` of `store`, its cells evaluated by `engine`.
    static RadioInfoDialog* Open(QWidget* owner, const std::string& caption, OverlayTexts& store,
                                 const std::string& key, CellEngineCall engine);
    ~RadioInfoDialog() override;

    const marlo::Sheet& Sheet() const { return *sheet_; }
    QPushButton* OkButton() const { return ok_; }

    static constexpr int kPanelBorder = 8;
    static constexpr int kBevel = 2;
    static constexpr int kButtonMargin = 5;

private:
    RadioInfoDialog(QWidget* owner, const std::string& caption, OverlayTexts& store,
                    const std::string& key, CellEngineCall engine);

    QPointer<QWidget> owner_;
    std::unique_ptr<marlo::Sheet> sheet_;
    QPushButton* ok_ = nullptr;
};

} // namespace marlo
