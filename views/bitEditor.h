#pragma once

#include "radio/cellRequest.h"
#include "sheets/bitPickerSheet.h"
#include "sheets/cellModel.h"
#include "views/cellPainter.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class QDialogButtonBox;

namespace marlo {

class Sheet;
struct HubMessage;

// The bit editor of a raw byte: a small window beside the byte's cell with the
// byte's eight bits on a sheet of its own (the built-in entries of
// BitPickerSheet). A click on a bit, Space or Backspace flips it, "0" and "1"
// set it. Enter or OK hands the byte back to the cell as a pick
// (input mode 2, the byte shifted left by 18 bits) and closes; Escape, Cancel,
// the owner's window going (hub message 1) and file commands (hub message 21)
// close it without a change. While it is open the rest of the program waits,
// so nothing else changes the byte underneath it.
class BitEditor : public QWidget {
    Q_OBJECT

public:
    // Opens the editor for the cell of `ownerRequest` (its grid is the owner
    // window, its rectangle the cell) on `value`. `engine` evaluates the owner's
    // cell (default: the cell engine); `workArea` is the screen's available area.
    static BitEditor* Open(const CellRequest& ownerRequest, std::uint8_t value,
                           CellEngineCall engine = {},
                           std::optional<QRect> workArea = std::nullopt);
    ~BitEditor() override;

    std::uint8_t Value() const { return value_; }
    marlo::Sheet& Sheet() { return *sheet_; }
    QDialogButtonBox* Buttons() const { return buttons_; }
    // Hands the byte back to the owner's cell and closes.
    void Confirm();

signals:
    void Closed(bool confirmed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    BitEditor(const CellRequest& ownerRequest, std::uint8_t value, CellEngineCall engine);
    std::uint8_t EvaluateCell(CellRequest& request, bool notify);
    void Place(const QRect& workArea);
    void ShowValue();
    bool MouseOnBits(QEvent& event);
    static void OnHub(void* self, const HubMessage& message);

    BitPickerSheet store_;
    QPointer<QWidget> ownerWindow_;
    CellModel ownerCell_;   // a copy: the owner's sheet may rebuild its cells
    CellRequest owner_;     // the owner's request, pointing at ownerCell_
    CellEngineCall engine_; // the owner's cell engine
    std::uint8_t value_;
    std::unique_ptr<marlo::Sheet> sheet_;
    QDialogButtonBox* buttons_ = nullptr;
    bool pressed_ = false; // a left press on the bits that no release has ended
    bool confirmed_ = false;
    bool closing_ = false;
};

} // namespace marlo
