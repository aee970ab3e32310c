#pragma once

#include "sheets/cmcCellObj.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QToolBar;
class QToolButton;
class QWidget;
class cmcCellContext;
class cmcEvMan;
struct cmcEvMessage;
class cmcGTex;
class cuiImageList;

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
class cuiToolBar {
public:
    // Called instead of the engine when a button is clicked.
    using ClickHandler = std::function<void(cmcCellObj& model)>;

    // Creates the toolbar on `owner` (docked at the top of a main window) and
    // subscribes to `hub`. Buttons are evaluated in `context`, or the
    // application's context when it is null. `store` and `images` are borrowed.
    cuiToolBar(QWidget* owner, cmcGTex& store, std::string key, const cuiImageList& images,
               cmcEvMan& hub, cmcCellContext* context = nullptr);
    ~cuiToolBar();
    cuiToolBar(const cuiToolBar&) = delete;
    cuiToolBar& operator=(const cuiToolBar&) = delete;

    // Builds the buttons from K_Body; a click goes to `handler`, or without one
    // to the engine as the model with action 13.
    void Build(ClickHandler handler = {});
    // Reads every button's state from the engine again.
    void Refresh();

    QToolBar* ToolBar() const { return toolBar_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // The button of body line n; null for a gap, a row break or a line outside the body.
    QToolButton* Button(int line) const;
    // The model of body line n (the line must exist).
    const cmcCellObj& Model(int line) const;

private:
    enum class Kind { Button, Gap, RowBreak };
    struct Line {
        std::unique_ptr<cmcCellObj> model;
        Kind kind = Kind::Button;
        QPointer<QToolButton> button;
    };

    static void onMessage(void* self, const cmcEvMessage& message);
    void Clear();
    void Click(int line);
    void Evaluate(cmcCellObj& model, int action);

    QWidget* owner_;
    cmcGTex& store_;
    std::string key_;
    const cuiImageList& images_;
    cmcEvMan& hub_;
    cmcCellContext* context_;
    QPointer<QToolBar> toolBar_;
    cmcCellObj base_;
    std::vector<Line> lines_;
    ClickHandler handler_;
    // Shared with the buttons' click slots: a click whose command deletes the
    // toolbar must not touch it afterwards.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
