#include "main/appController.h"

#include "clone/cloneManager.h"
#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "core/timeout.h"
#include "document/cloneChecks.h"
#include "main/sheetMenuCommands.h"
#include "main/statusBar.h"
#include "main/undoCommands.h"
#include "overlay/overlayTexts.h"
#include "platform/fatalError.h"
#include "platform/programPath.h"
#include "print/printTreeNodes.h"
#include "print/printing.h"
#include "radio/rowClipboard.h"
#include "sheets/cellQtMapping.h"
#include "sheets/sheetDescriptor.h"
#include "views/imageList.h"
#include "views/menu.h"
#include "views/sheet.h"
#include "views/toolBar.h"
#include "views/tree.h"

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

namespace marlo {

namespace {

constexpr std::int32_t tickInterval = 50;      // ms, while the window is up
constexpr std::uint32_t warningsDelayMs = 250; // of quiet after the last edit
constexpr int splitterMinimum = 8;             // the tree pane never vanishes
constexpr int sheetPaneMinimum = 100;          // nor does the sheet pane

} // namespace

AppController::AppController(std::int32_t imageSize, const std::string& overlayBaseName)
    : Document(imageSize, overlayBaseName) {
    task_ = PeriodicTask::Create();
    task_->SetCallback(OnTick, this);
    PrintHost& host = *this;
    printing_ = std::make_unique<marlo::Printing>(host, OverlayTexts::App());
    NotificationHub::App().Subscribe(onEvent, this);
}

AppController::~AppController() {
    task_.reset(); // a running task is released on its next tick
    printing_.reset();
    sheet_.reset();
    NotificationHub::App().Unsubscribe(onEvent, this);
}

void AppController::BuildWindow(QMainWindow& form) {
    StartFromInitialFile();
    form_ = &form;
    BuildMenuAndToolBar(form);
    BuildPanes(form);
    RebuildTree();
    PlaceSplitter();
    BuildStatusBar(form);

    if (ImageSize() < CatalogueExtent())
        fatalError("Self Check Error.\nEEPROM Map is too large.");
    task_->SetInterval(tickInterval);
    form.show();
    // The first node's sheet comes with the window rather than on the first tick,
    // and before the status line's news, which a new sheet would clear.
    ReopenWhenNoneShown();
    ReportRecoveryFile();
}

void AppController::PlaceSplitter() {
    // Both panes stay visible whatever the settings say: the tree at least the
    // splitter's minimum, the sheet enough to show some cells.
    const int total = std::max(splitter_->width(), form_->width());
    int wanted = SettingsStore::App().SplitterV;
    // The default width grows until no sheet's name is cut, up to half the window;
    // a width the user chose stays.
    if (wanted == SettingsStore::kDefaultSplitterV && tree_)
        wanted = std::clamp(tree_->NaturalWidth() + 2 * leftPane_->frameWidth(), wanted,
                            std::max(wanted, total / 2));
    const int left =
        std::clamp(wanted, splitterMinimum, std::max(splitterMinimum, total - sheetPaneMinimum));
    splitter_->setSizes({left, std::max(total - left, splitterMinimum)});
}

void AppController::BuildPanes(QMainWindow& form) {
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

void AppController::BuildStatusBar(QMainWindow& form) {
    auto* bar = new marlo::StatusBar(&form);
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

void AppController::StatusBarResize() {}

void AppController::StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) {
    if (panel != 0)
        return;
    painter.fillRect(rect, messageBackground_);
    painter.setPen(messageColour_);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(messageText_));
}

void AppController::ModelChanged() {
    RebuildTree();
}

void AppController::CaptionChanged() {
    if (!form_)
        return;
    // The desktop marks unsaved changes its own way at the placeholder.
    form_->setWindowTitle(QString::fromStdString(DocumentTitle() + "[*] - " + AppTitle()));
    form_->setWindowModified(IsModified());
}

void AppController::StartWarningsDelay() {
    if (!warningsDelay_)
        warningsDelay_ = std::make_unique<Timeout>();
    warningsDelay_->Start(warningsDelayMs);
}

bool AppController::FormCloseQuery() {
    if (!form_ || !form_->isEnabled())
        return false; // a modal operation such as cloning runs
    if (!endingQuietly_ && AskSave(false) == kAskCancel)
        return false;
    StorePlacement();
    return true;
}

void AppController::StorePlacement() {
    if (!form_)
        return;
    SettingsStore& settings = SettingsStore::App();
    const bool normal = form_->windowState() == Qt::WindowNoState;
    const QRect placement = normal ? QRect(form_->pos(), form_->size()) : form_->normalGeometry();
    settings.Left = placement.left();
    settings.Top = placement.top();
    settings.Width = placement.width();
    settings.Height = placement.height();
    if (splitter_)
        settings.SplitterV = std::max(splitter_->sizes().value(0), splitterMinimum);
}

void AppController::FormClose() {
    task_->SetInterval(-1);
    sheet_.reset(); // while the pane it lives in still stands
    form_ = nullptr;
}

bool AppController::TickRunning() const {
    return !task_->Stopped();
}

void AppController::OnTick(void* context, PeriodicTask*) {
    static_cast<AppController*>(context)->Tick();
}

void AppController::Tick() {
    if (printing_->Busy())
        printing_->Step();
    ReopenWhenNoneShown();
    // Once expired, the delay is dropped: the next edit arms a new one.
    if (warningsDelay_ && warningsDelay_->Remaining() == 0) {
        warningsDelay_.reset();
        int errors = 0;
        int warnings = 0;
        CheckWarnings(errors, warnings);
        NotificationHub::App().Post(evWarningsChecked);
    }
}

void AppController::onEvent(void* context, const HubMessage& message) {
    static_cast<AppController*>(context)->HandleEvent(message);
}

void AppController::HandleEvent(const HubMessage& message) {
    switch (message.type) {
    case evPortChanged:
        NotificationHub::App().Post(evRefreshMenus);
        NotificationHub::App().Post(evRefreshToolBar);
        break;
    case evShowAbout:
        ShowAbout();
        break;
    case evRefreshMenus:
        if (undoCommands_)
            undoCommands_->Refresh();
        break;
    case evStatusText:
        messageColour_ = toQColor(hubObjectColour(message.object));
        messageBackground_ = toQColor(static_cast<Colour>(message.value));
        messageText_ = std::string(message.Text());
        if (statusBar_)
            statusBar_->RepaintPanel(0);
        break;
    default:
        break;
    }
}

std::unique_ptr<Sheet> AppController::CreateSheet(QWidget* parent, const std::string& descriptor) {
    return SetUpSheet(std::make_unique<Sheet>(parent, nullptr, Sheet::StartCell{},
                                              OverlayTexts::App(),
                                              parseSheetDescriptor(descriptor).key, &markImages_),
                      descriptor, SheetSetup());
}

marlo::SheetSetup AppController::SheetSetup() const {
    marlo::SheetSetup setup;
    setup.fontZoom = SettingsStore::App().FontSizePercentage;
    setup.modelVariant = ModelVariant();
    return setup;
}

std::unique_ptr<Sheet> AppController::SetUpSheet(std::unique_ptr<Sheet> sheet,
                                                 const std::string& descriptor,
                                                 const marlo::SheetSetup& setup) {
    sheet->SetSetup(setup);
    sheet->SetDisplayName(descriptor);
    sheet->SetAuxText(parseSheetDescriptor(descriptor).options);
    return sheet;
}

void AppController::SetShownSheet(std::unique_ptr<Sheet> sheet) {
    sheet_ = std::move(sheet);
}

bool AppController::CanPrintCurrent() {
    return sheet_ && sheet_->Printable() && !printing_->Active();
}

void AppController::PrintCurrent() {
    printing_->Print(false);
}

void AppController::PrintAll() {
    printing_->Print(true);
}

std::vector<PrintNode> AppController::PrintNodes() {
    return printTreeNodes(OverlayTexts::App(), "GI_Tree_Main");
}

QWidget* AppController::PrintOwner() {
    return form_;
}

std::string AppController::PdfFileSuggestion() {
    const std::string name =
        DocumentName().empty()
            ? std::string("Untitled")
            : QFileInfo(QString::fromStdString(DocumentName())).completeBaseName().toStdString();
    return InCurrentDirectory(name + ".pdf");
}

} // namespace marlo
