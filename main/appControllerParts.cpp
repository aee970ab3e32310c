// The controller's menu bar, toolbar and About box, and the end of the window's
// parts.
#include "main/appController.h"

#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "main/aboutBox.h"
#include "main/sheetMenuCommands.h"
#include "main/undoCommands.h"
#include "overlay/overlayTexts.h"
#include "views/imageList.h"
#include "views/menu.h"
#include "views/sheet.h"
#include "views/toolBar.h"
#include "views/tree.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>

namespace marlo {

namespace {

constexpr char kMenuKey[] = "GI_Menu_Main";
constexpr char kToolBarKey[] = "GI_ToolBar_Main";

} // namespace

void AppController::BuildMenuAndToolBar(QMainWindow& form) {
    treeImages_ = std::make_unique<ImageList>(ImageList::ForTree());
    toolImages_ = std::make_unique<ImageList>(ImageList::ForToolBar());
    markImages_.warning = treeImages_->Pixmap(treeImage::Warning).toImage();
    markImages_.error = treeImages_->Pixmap(treeImage::Error).toImage();

    mainMenu_ = std::make_unique<Menu>(&form, form.menuBar(), OverlayTexts::App(), kMenuKey);
    mainMenu_->SetImages(toolImages_->Icons());
    mainMenu_->Build();

    toolBar_ = std::make_unique<marlo::ToolBar>(&form, OverlayTexts::App(), kToolBarKey,
                                                *toolImages_, NotificationHub::App());
    toolBar_->Build();
    toolBar_->Widget()->setVisible(SettingsStore::App().ToolbarVisible != 0);
    QAction* edit = mainMenu_->FindByLabel(Sheet::kEditTopLabel);
    undoCommands_ = std::make_unique<marlo::UndoCommands>(
        form, *this, edit != nullptr ? edit->menu() : nullptr, toolBar_->Widget(), *toolImages_);
    sheetCommands_ =
        std::make_unique<SheetMenuCommands>(form, *this, edit != nullptr ? edit->menu() : nullptr);
    NotificationHub::App().Post(evPortChanged);
}

void AppController::ToggleToolbar() {
    SettingsStore& settings = SettingsStore::App();
    settings.ToolbarVisible = settings.ToolbarVisible != 0 ? 0 : 1;
    if (toolBar_ && toolBar_->Widget() != nullptr)
        toolBar_->Widget()->setVisible(settings.ToolbarVisible != 0);
    NotificationHub::App().Post(evRefreshMenus);
    NotificationHub::App().Post(evRefreshToolBar);
}

void AppController::ShowAbout() {
    if (!form_)
        return;
    auto* box = new AboutBox(form_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void AppController::ReleaseWindow() {
    undoCommands_.reset();
    sheetCommands_.reset();
    CloseSheet();
    tree_.reset();
    toolBar_.reset();
    mainMenu_.reset();
    form_ = nullptr;
}

} // namespace marlo
