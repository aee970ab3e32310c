// The controller's sheet pane: the tree on the left, the shown sheet on the
// right and the positions remembered for the sheets shown before.
#include "main/appController.h"
#include "sheets/sheetDescriptor.h"

#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "overlay/overlayTexts.h"
#include "radio/cellEngine.h"
#include "views/imageList.h"
#include "views/tree.h"

#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QTreeWidget>

#include <cstdlib>

namespace marlo {

namespace {

constexpr char kTreeKey[] = "GI_Tree_Main";
constexpr char kTreeDelayKey[] = "GI_Sys_TreeChangeDelay";

// The selection-change delay: a decimal number of milliseconds.
int treeChangeDelay() {
    const std::string text = OverlayTexts::App().GetLine(kTreeDelayKey, 0);
    char* end = nullptr;
    const long ms = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && ms >= 0 && ms <= 10000 ? static_cast<int>(ms) : 0;
}

} // namespace

void AppController::RebuildTree() {
    if (!leftPane_)
        return;
    tree_.reset();
    tree_ = std::make_unique<marlo::Tree>(leftPane_, OverlayTexts::App(), kTreeKey, *treeImages_,
                                          NotificationHub::App());
    QTreeWidget* view = tree_->View();
    view->hide();
    leftPane_->layout()->addWidget(view);
    tree_->Build();
    tree_->OnExpandOrCollapse([this] {
        int errors = 0;
        int warnings = 0;
        CheckWarnings(errors, warnings);
    });
    tree_->SetChangeDelay(treeChangeDelay());
    tree_->OnSelect([this](const CellModel& model) { TreeSelected(model); });
    int errors = 0;
    int warnings = 0;
    CheckWarnings(errors, warnings);
    CloseSheet();
    view->show();
    NotificationHub::App().Post(evDocumentReloaded);
    tree_->SelectFirst();
}

void AppController::TreeSelected(const CellModel& model) {
    if (sheet_ && model.parameter && *model.parameter == shownDescriptor_)
        return;
    RunTreeNode(model);
}

void AppController::RunTreeNode(const CellModel& model) {
    CellModel copy(model);
    CellRequest request;
    request.form = form_.data();
    request.cell = &copy;
    request.action = CellRequest::kEnter;
    CellEngine engine;
    evaluateCell(engine, request, false);
}

void AppController::OpenSheet(const std::string& descriptor) {
    if (!rightPane_)
        return;
    CloseSheet();
    sheet_ = CreateSheet(rightPane_, descriptor);
    shownDescriptor_ = descriptor;
    const std::string key = parseSheetDescriptor(descriptor).key;
    for (const RememberedPosition& remembered : positions_) {
        if (remembered.key == key) {
            sheet_->SetSavedPosition(remembered.position);
            break;
        }
    }
    sheet_->Build();
    Grid* grid = sheet_->Grid();
    if (focusAwayFromTree_ || !tree_ || tree_->View() == nullptr) {
        if (grid != nullptr && grid->isEnabled())
            grid->setFocus(Qt::OtherFocusReason);
    } else {
        tree_->View()->setFocus(Qt::OtherFocusReason);
    }
}

void AppController::CloseSheet() {
    if (!sheet_)
        return;
    Grid* grid = sheet_->Grid();
    if (grid != nullptr && grid->isVisible()) {
        const std::string key = parseSheetDescriptor(shownDescriptor_).key;
        std::erase_if(positions_, [&](const RememberedPosition& p) { return p.key == key; });
        positions_.push_front({key, sheet_->CurrentPosition()});
    }
    const QWidget* focus = QApplication::focusWidget();
    focusAwayFromTree_ = !tree_ || tree_->View() == nullptr || focus != tree_->View();
    sheet_->CloseEditor(true);
    sheet_.reset();
    shownDescriptor_.clear();
}

void AppController::ReopenSheet() {
    if (!sheet_)
        return;
    const std::string descriptor = shownDescriptor_;
    OpenSheet(descriptor);
}

void AppController::ReopenWhenNoneShown() {
    if (sheet_ || !form_ || !form_->isVisible())
        return;
    if (tree_) {
        if (const CellModel* model = tree_->SelectedModel())
            RunTreeNode(*model);
    } else if (!positions_.empty()) {
        OpenSheet(positions_.front().key);
    }
}

} // namespace marlo
