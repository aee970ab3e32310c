#include "main/cuiMain.h"

#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "core/cmcTick.h"
#include "core/cmcVcfFile.h"
#include "core/modelIdentity.h"
#include "document/indCloneChecks.h"
#include "main/cuiSheetCommands.h"
#include "main/cuiStatusBar.h"
#include "main/cuiUndoCommands.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcFatal.h"
#include "platform/programPath.h"
#include "print/cuiPrinting.h"
#include "print/printTreeNodes.h"
#include "radio/EntryClipboard.h"
#include "sheets/cellQtMapping.h"
#include "sheets/cmcEvMan.h"
#include "sheets/cmcSheetDescriptor.h"
#include "views/cuiImageList.h"
#include "views/cuiMenu.h"
#include "views/cuiSheet.h"
#include "views/cuiToolBar.h"
#include "views/cuiTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMainWindow>
#include <QPainter>
#include <QSplitter>
#include <QStandardPaths>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr std::int32_t tickInterval = 50;      // ms, while the window is up
constexpr std::uint32_t warningsDelayMs = 250; // of quiet after the last edit
constexpr int splitterMinimum = 8;             // the tree pane never vanishes
constexpr int sheetPaneMinimum = 100;          // nor does the sheet pane

} // namespace

cuiMain::cuiMain(std::int32_t imageSize, const std::string& overlayBaseName)
    : cmcDocument(imageSize, overlayBaseName) {
    task_ = cmcTask::Create();
    task_->SetCallback(onTick, this);
    cuiPrintHost& host = *this;
    printing_ = std::make_unique<cuiPrinting>(host, cmcGTex::App());
    cmcEvMan::App().Subscribe(onEvent, this);
}

cuiMain::~cuiMain() {
    task_.reset(); // a running task is released on its next tick
    printing_.reset();
    sheet_.reset();
    cmcEvMan::App().Unsubscribe(onEvent, this);
}

void cuiMain::BuildWindow(QMainWindow& form) {
    StartFromInitialFile();
    form_ = &form;
    BuildMenuAndToolBar(form);
    BuildPanes(form);
    RebuildTree();
    PlaceSplitter();
    BuildStatusBar(form);

    if (ImageSize() < CatalogueExtent())
        cmcFatal("Self Check Error.\nEEPROM Map is too large.");
    task_->SetInterval(tickInterval);
    form.show();
    // The first node's sheet comes with the window rather than on the first tick,
    // and before the status line's news, which a new sheet would clear.
    ReopenWhenNoneShown();
    ReportRecoveryFile();
}

void cuiMain::PlaceSplitter() {
    // Both panes stay visible whatever the settings say: the tree at least the
    // splitter's minimum, the sheet enough to show some cells.
    const int total = std::max(splitter_->width(), form_->width());
    int wanted = cmcEnviron::App().SplitterV;
    // The default width grows until no sheet's name is cut, up to half the window;
    // a width the user chose stays.
    if (wanted == cmcEnviron::kDefaultSplitterV && tree_)
        wanted = std::clamp(tree_->NaturalWidth() + 2 * leftPane_->frameWidth(), wanted,
                            std::max(wanted, total / 2));
    const int left =
        std::clamp(wanted, splitterMinimum, std::max(splitterMinimum, total - sheetPaneMinimum));
    splitter_->setSizes({left, std::max(total - left, splitterMinimum)});
}

void cuiMain::BuildPanes(QMainWindow& form) {
    auto* splitter = new QSplitter(Qt::Horizontal, &form);
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(true);
    auto* left = new QFrame(splitter);
    auto* right = new QFrame(splitter);
    for (QFrame* pane : {left, right}) {
        pane->setFrameStyle(QFrame::Panel | QFrame::Raised);
        pane->setLineWidth(2);
    }
    left->setMinimumWidth(splitterMinimum);
    auto* treeLayout = new QVBoxLayout(left);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    form.setCentralWidget(splitter);
    splitter_ = splitter;
    leftPane_ = left;
    rightPane_ = right;
}

void cuiMain::BuildStatusBar(QMainWindow& form) {
    auto* bar = new cuiStatusBar(&form);
    form.setStatusBar(bar);
    messageColour_ = toQColor(kClWindowText);
    messageBackground_ = toQColor(kClBtnFace);
    bar->InsertPanel(0, {0, true});
    bar->InsertPanel(1, {bar->sizeHint().height(), false});
    bar->SetHandlers([this](QPainter& painter, int panel,
                            const QRect& rect) { StatusBarDrawPanel(painter, panel, rect); },
                     [this] { StatusBarResize(); });
    statusBar_ = bar;
}

void cuiMain::StatusBarResize() {}

void cuiMain::StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) {
    if (panel != 0)
        return;
    painter.fillRect(rect, messageBackground_);
    painter.setPen(messageColour_);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(messageText_));
}

void cuiMain::ModelChanged() {
    RebuildTree();
}

void cuiMain::CaptionChanged() {
    if (!form_)
        return;
    // The desktop marks unsaved changes its own way at the placeholder.
    form_->setWindowTitle(QString::fromStdString(DocumentTitle() + "[*] - " + AppTitle()));
    form_->setWindowModified(IsModified());
}

void cuiMain::StartWarningsDelay() {
    if (!warningsDelay_)
        warningsDelay_ = std::make_unique<cmcTick>();
    warningsDelay_->Start(warningsDelayMs);
}

bool cuiMain::FormCloseQuery() {
    if (!form_ || !form_->isEnabled())
        return false; // a modal operation such as cloning runs
    if (!endingQuietly_ && AskSave(false) == kAskCancel)
        return false;
    StorePlacement();
    return true;
}

void cuiMain::StorePlacement() {
    if (!form_)
        return;
    cmcEnviron& settings = cmcEnviron::App();
    const bool normal = form_->windowState() == Qt::WindowNoState;
    const QRect placement = normal ? QRect(form_->pos(), form_->size()) : form_->normalGeometry();
    settings.Left = placement.left();
    settings.Top = placement.top();
    settings.Width = placement.width();
    settings.Height = placement.height();
    if (splitter_)
        settings.SplitterV = std::max(splitter_->sizes().value(0), splitterMinimum);
}

void cuiMain::FormClose() {
    task_->SetInterval(-1);
    sheet_.reset(); // while the pane it lives in still stands
    form_ = nullptr;
}

bool cuiMain::TickRunning() const {
    return !task_->Stopped();
}

void cuiMain::onTick(void* context, cmcTask*) {
    static_cast<cuiMain*>(context)->Tick();
}

void cuiMain::Tick() {
    if (printing_->Busy())
        printing_->Step();
    ReopenWhenNoneShown();
    // Once expired, the delay is dropped: the next edit arms a new one.
    if (warningsDelay_ && warningsDelay_->Remaining() == 0) {
        warningsDelay_.reset();
        int errors = 0;
        int warnings = 0;
        CheckWarnings(errors, warnings);
        cmcEvMan::App().Post(evWarningsChecked);
    }
}

void cuiMain::onEvent(void* context, const cmcEvMessage& message) {
    static_cast<cuiMain*>(context)->HandleEvent(message);
}

void cuiMain::HandleEvent(const cmcEvMessage& message) {
    switch (message.type) {
    case evPortChanged:
        cmcEvMan::App().Post(evRefreshMenus);
        cmcEvMan::App().Post(evRefreshToolBar);
        break;
    case evShowAbout:
        ShowAbout();
        break;
    case evRefreshMenus:
        if (undoCommands_)
            undoCommands_->Refresh();
        break;
    case evStatusText:
        messageColour_ = toQColor(cmcEvObjectColour(message.object));
        messageBackground_ = toQColor(static_cast<cmcColour>(message.value));
        messageText_ = std::string(message.Text());
        if (statusBar_)
            statusBar_->RepaintPanel(0);
        break;
    default:
        break;
    }
}

std::unique_ptr<cuiSheet> cuiMain::CreateSheet(QWidget* parent, const std::string& descriptor) {
    return SetUpSheet(
        std::make_unique<cuiSheet>(parent, nullptr, cuiSheet::StartCell{}, cmcGTex::App(),
                                   parseSheetDescriptor(descriptor).key, &markImages_),
        descriptor, SheetSetup());
}

cmcSheetSetup cuiMain::SheetSetup() const {
    cmcSheetSetup setup;
    setup.fontZoom = cmcEnviron::App().FontSizePercentage;
    setup.modelVariant = ModelVariant();
    return setup;
}

std::unique_ptr<cuiSheet> cuiMain::SetUpSheet(std::unique_ptr<cuiSheet> sheet,
                                              const std::string& descriptor,
                                              const cmcSheetSetup& setup) {
    sheet->SetSetup(setup);
    sheet->SetDisplayName(descriptor);
    sheet->SetAuxText(parseSheetDescriptor(descriptor).options);
    return sheet;
}

void cuiMain::SetShownSheet(std::unique_ptr<cuiSheet> sheet) {
    sheet_ = std::move(sheet);
}

bool cuiMain::CanPrintCurrent() {
    return sheet_ && sheet_->Printable() && !printing_->Active();
}

void cuiMain::PrintCurrent() {
    printing_->Print(false);
}

void cuiMain::PrintAll() {
    printing_->Print(true);
}

std::vector<cuiPrintNode> cuiMain::PrintNodes() {
    return printTreeNodes(cmcGTex::App(), "GI_Tree_Main");
}

QWidget* cuiMain::PrintOwner() {
    return form_;
}

std::string cuiMain::PdfFileSuggestion() {
    const std::string name =
        DocumentName().empty()
            ? std::string("Untitled")
            : QFileInfo(QString::fromStdString(DocumentName())).completeBaseName().toStdString();
    return InCurrentDirectory(name + ".pdf");
}
