#pragma once

#include "sheets/cellModel.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QToolBar;
class QToolButton;
class QWidget;

namespace marlo {

class CellContext;
class NotificationHub;
struct HubMessage;
class OverlayTexts;
class ImageList;

// Builds a toolbar from two overlay entries of its key K:
//
//   #K_BasicCell   {(%CT_Null.)}
//   #K_Body        {(%CL_Menu_File_New)(ImageIndex=0)}New document
//                  -
//                  {(%CL_Menu_File_Save)(ImageIndex=2)}Save
//                  /
//                  {(%CL_Menu_Clone_Read)(ImageIndex=4)}Read from the radio
//
// One button per line, left to right: its display text is the hint, its image
// index the picture. A line "-" is an 8-pixel gap, "/" ends the row of buttons
// and starts the next one. Each button's state (pressed, enabled) is what the
// cell engine reports through the model's user flags; it is read again whenever
// the hub asks the toolbar to refresh.
class ToolBar {
public:
    // Called instead of the engine when a button is clicked.
    using ClickHandler = std::function<void(CellModel& model)>;

    // Creates the toolbar on `owner` (docked at the top of a main window) and
    // subscribes to `hub`. Buttons are evaluated in `context`, or the
    // application's context when it is null. `store` and `images` are borrowed.
    ToolBar(QWidget* owner, OverlayTexts& store, std::string key, const ImageList& images,
            NotificationHub& hub, CellContext* context = nullptr);
    ~ToolBar();
    ToolBar(const ToolBar&) = delete;
    ToolBar& operator=(const ToolBar&) = delete;

    // Builds the buttons from K_Body; a click goes to `handler`, or without one
    // to the engine as the model with action 13.
    void Build(ClickHandler handler = {});
    // Reads every button's state from the engine again.
    void Refresh();

    QToolBar* Widget() const { return toolBar_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // The button of body line n; null for a gap, a row break or a line outside the body.
    QToolButton* Button(int line) const;
    // The model of body line n (the line must exist).
    const CellModel& Model(int line) const;

private:
    enum class Kind { Button, Gap, RowBreak };
    struct Line {
        std::unique_ptr<CellModel> model;
        Kind kind = Kind::Button;
        QPointer<QToolButton> button;
    };

    static void OnMessage(void* self, const HubMessage& message);
    void Clear();
    void Click(int line);
    void Evaluate(CellModel& model, int action);

    QWidget* owner_;
    OverlayTexts& store_;
    std::string key_;
    const ImageList& images_;
    NotificationHub& hub_;
    CellContext* context_;
    QPointer<QToolBar> toolBar_;
    CellModel base_;
    std::vector<Line> lines_;
    ClickHandler handler_;
    // Shared with the buttons' click slots: a click whose command deletes the
    // toolbar must not touch it afterwards.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace marlo
