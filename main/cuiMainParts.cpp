// The controller's menu bar, toolbar and About box, and the end of the window's
// parts.
#include "main/cuiMain.h"

#include "core/cmcEnviron.h"
#include "main/cuiAboutBox.h"
#include "main/cuiSheetCommands.h"
#include "main/cuiUndoCommands.h"
#include "overlay/cmcGTex.h"
#include "sheets/cmcEvMan.h"
#include "views/cuiImageList.h"
#include "views/cuiMenu.h"
#include "views/cuiSheet.h"
#include "views/cuiToolBar.h"
#include "views/cuiTree.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>

namespace {

constexpr char kMenuKey[] = "GI_Menu_Main";
constexpr char kToolBarKey[] = "GI_ToolBar_Main";

} // namespace

void cuiMain::BuildMenuAndToolBar(QMainWindow& form) {
    treeImages_ = std::make_unique<cuiImageList>(cuiImageList::Tree());
    toolImages_ = std::make_unique<cuiImageList>(cuiImageList::ToolBar());
    markImages_.warning = treeImages_->Pixmap(cuiTreeImage::Warning).toImage();
    markImages_.error = treeImages_->Pixmap(cuiTreeImage::Error).toImage();

    mainMenu_ = std::make_unique<cuiMenu>(&form, form.menuBar(), cmcGTex::App(), kMenuKey);
    mainMenu_->SetImages(toolImages_->Icons());
    mainMenu_->Build();

    toolBar_ = std::make_unique<cuiToolBar>(&form, cmcGTex::App(), kToolBarKey, *toolImages_,
                                            cmcEvMan::App());
    toolBar_->Build();
    toolBar_->ToolBar()->setVisible(cmcEnviron::App().ToolbarVisible != 0);
    QAction* edit = mainMenu_->FindByLabel(cuiSheet::kEditTopLabel);
    undoCommands_ = std::make_unique<cuiUndoCommands>(
        form, *this, edit != nullptr ? edit->menu() : nullptr, toolBar_->ToolBar(), *toolImages_);
    sheetCommands_ =
        std::make_unique<cuiSheetCommands>(form, *this, edit != nullptr ? edit->menu() : nullptr);
    cmcEvMan::App().Post(evPortChanged);
}

void cuiMain::ToggleToolbar() {
    cmcEnviron& settings = cmcEnviron::App();
    settings.ToolbarVisible = settings.ToolbarVisible != 0 ? 0 : 1;
    if (toolBar_ && toolBar_->ToolBar() != nullptr)
        toolBar_->ToolBar()->setVisible(settings.ToolbarVisible != 0);
    cmcEvMan::App().Post(evRefreshMenus);
    cmcEvMan::App().Post(evRefreshToolBar);
}

void cuiMain::ShowAbout() {
    if (!form_)
        return;
    auto* box = new cuiAboutBox(form_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void cuiMain::ReleaseWindow() {
    undoCommands_.reset();
    sheetCommands_.reset();
    CloseSheet();
    tree_.reset();
    toolBar_.reset();
    mainMenu_.reset();
    form_ = nullptr;
}
