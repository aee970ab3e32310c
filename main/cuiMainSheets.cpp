// The controller's sheet pane: the tree on the left, the shown sheet on the
// right and the positions remembered for the sheets shown before.
#include "main/cuiMain.h"

#include "core/cmcEnviron.h"
#include "overlay/cmcGTex.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcEvMan.h"
#include "views/cuiImageList.h"
#include "views/cuiTree.h"

#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QTreeWidget>

#include <cstdlib>

namespace {

constexpr char kTreeKey[] = "GI_Tree_Main";
constexpr char kTreeDelayKey[] = "GI_Sys_TreeChangeDelay";

// The selection-change delay: a decimal number of milliseconds.
int treeChangeDelay() {
    const std::string text = cmcGTex::App().GetLine(kTreeDelayKey, 0);
    char* end = nullptr;
    const long ms = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && ms >= 0 && ms <= 10000 ? static_cast<int>(ms) : 0;
}

} // namespace

cuiMain::SheetDescriptor cuiMain::SplitDescriptor(const std::string& descriptor) {
    SheetDescriptor d;
    const auto comma = descriptor.find(',');
    std::string head = descriptor.substr(0, comma);
    if (comma != std::string::npos)
        d.options = descriptor.substr(comma + 1);
    if (!head.empty() && head.front() == '[') {
        const auto close = head.find(']');
        if (close != std::string::npos) {
            d.className = head.substr(1, close - 1);
            head = head.substr(close + 1);
        }
    }
    d.key = std::move(head);
    return d;
}

void cuiMain::RebuildTree() {
    if (!leftPane_)
        return;
    tree_.reset();
    tree_ = std::make_unique<cuiTree>(leftPane_, cmcGTex::App(), kTreeKey, *treeImages_,
                                      cmcEvMan::App());
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
    tree_->OnSelect([this](const cmcCellObj& model) { TreeSelected(model); });
    int errors = 0;
    int warnings = 0;
    CheckWarnings(errors, warnings);
    CloseSheet();
    view->show();
    cmcEvMan::App().Post(evDocumentReloaded);
    tree_->SelectFirst();
}

void cuiMain::TreeSelected(const cmcCellObj& model) {
    if (sheet_ && model.parameter && *model.parameter == shownDescriptor_)
        return;
    RunTreeNode(model);
}

void cuiMain::RunTreeNode(const cmcCellObj& model) {
    cmcCellObj copy(model);
    cmcCellCapsule request;
    request.form = form_.data();
    request.cell = &copy;
    request.action = cmcCellCapsule::kEnter;
    indActiveCell engine;
    evaluateCell(engine, request, false);
}

void cuiMain::OpenSheet(const std::string& descriptor) {
    if (!rightPane_)
        return;
    CloseSheet();
    sheet_ = CreateSheet(rightPane_, descriptor);
    shownDescriptor_ = descriptor;
    const std::string key = SplitDescriptor(descriptor).key;
    for (const RememberedPosition& remembered : positions_) {
        if (remembered.key == key) {
            sheet_->SetSavedPosition(remembered.position);
            break;
        }
    }
    sheet_->Build();
    cuiGrid* grid = sheet_->Grid();
    if (focusAwayFromTree_ || !tree_ || tree_->View() == nullptr) {
        if (grid != nullptr && grid->isEnabled())
            grid->setFocus(Qt::OtherFocusReason);
    } else {
        tree_->View()->setFocus(Qt::OtherFocusReason);
    }
}

void cuiMain::CloseSheet() {
    if (!sheet_)
        return;
    cuiGrid* grid = sheet_->Grid();
    if (grid != nullptr && grid->isVisible()) {
        const std::string key = SplitDescriptor(shownDescriptor_).key;
        std::erase_if(positions_, [&](const RememberedPosition& p) { return p.key == key; });
        positions_.push_front({key, sheet_->CurrentPosition()});
    }
    const QWidget* focus = QApplication::focusWidget();
    focusAwayFromTree_ = !tree_ || tree_->View() == nullptr || focus != tree_->View();
    sheet_->CloseEditor(true);
    sheet_.reset();
    shownDescriptor_.clear();
}

void cuiMain::ReopenSheet() {
    if (!sheet_)
        return;
    const std::string descriptor = shownDescriptor_;
    OpenSheet(descriptor);
}

void cuiMain::ReopenWhenNoneShown() {
    if (sheet_ || !form_ || !form_->isVisible())
        return;
    if (tree_) {
        if (const cmcCellObj* model = tree_->SelectedModel())
            RunTreeNode(*model);
    } else if (!positions_.empty()) {
        OpenSheet(positions_.front().key);
    }
}
