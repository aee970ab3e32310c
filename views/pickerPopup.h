#pragma once

#include "views/sheet.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <optional>

namespace marlo {

// Where a picker of `size` goes beside a cell (global coordinates) inside the
// desktop work area: 8 pixels in from the cell's left, just under it; above it
// when there is no room below (else down against the work area's bottom); and
// right-aligned with the work area when it would pass its right edge, then
// left of the cell if it had to cover the cell and fits there.
QRect placeFlector(QSize size, const QRect& cell, const QRect& workArea);

// The desktop's work area on the screen of `near` (the primary screen's
// without one), where pickers and the bit editor are placed.
QRect workAreaNear(const QWidget* near);

// The pop-up picker: a borderless window beside a cell with a picker sheet in
// it. It releases itself once a pick went back to the cell, when it loses
// activation, on Escape, when its owner window goes (hub message 1) and
// before file and print commands (hub message 21).
class PickerPopup : public QWidget {
    Q_OBJECT

public:
    // Opens the picker `key` for the cell of `ownerRequest` (its grid is the
    // owner window, its rectangle the cell; its images the mark images), with
    // the cursor on `start`. `engine` replaces the cell engine (tests); `workArea`
    // the screen's available area.
    static PickerPopup* Open(const CellRequest& ownerRequest, marlo::Sheet::StartCell start,
                             OverlayTexts& store, const std::string& key,
                             OverlayTexts* models = nullptr, CellEngineCall engine = {},
                             std::optional<QRect> workArea = std::nullopt);
    ~PickerPopup() override;

    marlo::Sheet& Sheet() { return *sheet_; }
    // True once a pick went back; false for Escape and every other close.
    bool Picked() const { return picked_; }

signals:
    void Closed(bool picked);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PickerPopup(const CellRequest& ownerRequest, marlo::Sheet::StartCell start, OverlayTexts& store,
                const std::string& key, OverlayTexts* models);
    void Place(const QRect& workArea);
    static void OnHub(void* self, const HubMessage& message);

    QPointer<QWidget> owner_;
    CellRect cell_;
    std::unique_ptr<marlo::Sheet> sheet_;
    bool picked_ = false;
    bool closing_ = false;
};

} // namespace marlo
