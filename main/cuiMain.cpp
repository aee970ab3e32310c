#include "main/cuiMain.h"

#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "core/cmcTick.h"
#include "core/cmcVcfFile.h"
#include "core/modelIdentity.h"
#include "main/cuiStatusBar.h"
#include "main/indCloneChecks.h"
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

std::string fileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withDelimiter(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::unique_ptr<cmcEeprom> newImage(std::int32_t size) {
    auto image = std::make_unique<cmcEeprom>();
    image->Resize(size);
    return image;
}

std::unique_ptr<cmcEeprom> copyOf(const cmcEeprom& other) {
    auto image = std::make_unique<cmcEeprom>();
    image->Assign(other);
    return image;
}

std::string startDirectory() {
    const std::string& last = cmcEnviron::App().CurrentDirectory;
    if (!last.empty())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return (documents.isEmpty() ? QDir::currentPath() : documents).toStdString();
}

} // namespace

std::string cuiMain::AppTitle() {
    return cmcGTex::App().GetLine("GI_Sys_AppTitle", 0);
}

cuiMain::cuiMain(std::int32_t imageSize, const std::string& overlayBaseName)
    : imageSize_(imageSize), wholeImage_{{{0, imageSize - 1}, cmcRangeEnd}} {
    // The overlay file is only named here; it is opened on the first lookup.
    cmcGTex::App().SetFile(programFilesDir() + overlayBaseName + ".OVL");
    CurrentDirectory = startDirectory();

    cloneManager_ = std::make_unique<indCloneMan>();
    cloneWriter_ = cloneManager_.get();
    clipboard_ = std::make_unique<indEntryClipboard>();
    current_ = newImage(imageSize_);
    saved_ = newImage(imageSize_);
    reference_ = copyOf(*current_);
    comparison_ = copyOf(*reference_);

    task_ = cmcTask::Create();
    task_->SetCallback(onTick, this);
    cuiPrintHost& host = *this;
    printing_ = std::make_unique<cuiPrinting>(host, cmcGTex::App());
    cmcEvMan::App().Subscribe(onEvent, this);
    Initialize();
}

cuiMain::~cuiMain() {
    task_.reset(); // a running task is released on its next tick
    printing_.reset();
    sheet_.reset();
    cmcEvMan::App().Unsubscribe(onEvent, this);
}

void cuiMain::Initialize() {
    SetModelCode(0, 0);
    indInstallCloneChecks(*cloneManager_, *this);
}

void cuiMain::SetModelCode(int first, int second) {
    modelCodeFirst_ = first;
    modelCodeSecond_ = second;
}

void cuiMain::BuildWindow(QMainWindow& form) {
    cmcEnviron& settings = cmcEnviron::App();
    if (settings.ModelType >= VariantCount())
        settings.ModelType = 0;
    LoadReference(ModelVariant());
    current_->Assign(*reference_);
    TakeSaved();
    comparison_->Assign(*reference_);

    form_ = &form;
    BuildMenuAndToolBar(form);
    BuildPanes(form);
    RebuildTree();
    PlaceSplitter();
    BuildStatusBar(form);

    if (imageSize_ < CatalogueExtent())
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
    const int left = std::clamp(cmcEnviron::App().SplitterV, splitterMinimum,
                                std::max(splitterMinimum, total - sheetPaneMinimum));
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

int cuiMain::ImageRejected(const cmcEeprom&, bool) {
    return 1;
}

int cuiMain::ImageNewer(const cmcEeprom&) {
    return 0;
}

void cuiMain::AfterLoad(cmcEeprom&) {}

void cuiMain::PrepareImage(cmcEeprom&, bool) {}

int cuiMain::CanCloneWrite() {
    return 1;
}

void cuiMain::StartCloneWrite(int code) {
    if (!PrepareDocumentForSending(code))
        return;
    SendImage(copyOf(*current_), CloneRange());
}

void cuiMain::SetCloneWriter(cmcCloneWriter* writer) {
    cloneWriter_ = writer != nullptr ? writer : cloneManager_.get();
}

bool cuiMain::PrepareDocumentForSending(int code) {
    if (code != 0 || cloneWriter_->IsBusy())
        return false;
    cloneWriter_->SetImageSize(imageSize_);
    const bool wasModified = UpdateModified();
    PrepareImage(*current_, true);
    // The preparation alone must not make the document modified.
    if (!wasModified)
        TakeSaved();
    return true;
}

void cuiMain::SendImage(std::unique_ptr<cmcEeprom> image, cmcRangeList ranges) {
    sending_ = std::move(image);
    cloneWriter_->StartWrite(*sending_, ranges, [this](int code) { CloneWriteDone(code); });
}

void cuiMain::CloneWriteDone(int code) {
    if (code != 0)
        return;
    // The write prepared the document: the box must stand over what was sent.
    ReopenSheet();
    ShowMessage(cmcGTex::App().GetText("GI_Mess_CloneWrite_Succeeded"), PromptIcon::Information);
}

bool cuiMain::MapRevisionAccepted(int) {
    return false;
}

void cuiMain::StatusBarResize() {}

void cuiMain::StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) {
    if (panel != 0)
        return;
    painter.fillRect(rect, messageBackground_);
    painter.setPen(messageColour_);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(messageText_));
}

void cuiMain::CheckWarnings(int& errors, int& warnings) {
    errors = 0;
    warnings = 0;
}

int cuiMain::VariantCount() const {
    return 1;
}

cmcRangeList cuiMain::CloneRange() const {
    return wholeImage_;
}

std::int32_t cuiMain::CatalogueExtent() const {
    return 0;
}

int cuiMain::MapRevision() const {
    return -1;
}

int cuiMain::ModelVariant() const {
    return cmcEnviron::App().ModelType;
}

void cuiMain::ChangeModel(int variant, bool confirm) {
    // An image may carry any variant byte; only the model's variants have files.
    if (variant == ModelVariant() || variant < 0 || variant >= VariantCount())
        return;
    if (confirm && cmcPrompter::current().message(
                       AppTitle(), cmcGTex::App().GetText("GI_AppMess_ChangeModel"),
                       PromptIcon::Warning, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    cmcEnviron::App().ModelType = static_cast<std::uint8_t>(variant);
    LoadReference(variant);
    if (confirm) {
        current_->Assign(*reference_);
        TakeSaved();
        SetDocumentName({});
    }
    RebuildTree();
}

cmcVcfFile::Code cuiMain::OpenImage(const std::string& path, cmcEeprom& image) {
    auto work = newImage(imageSize_);
    cmcVcfFile file;
    file.BindImage(*work);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevisionCheck([this](int revision) { return MapRevisionAccepted(revision); });
    cmcVcfFile::Code code = file.Load(path);
    if (code != cmcVcfFile::Ok)
        return code; // Load has shown its box
    if (ImageRejected(*work, false) != 0)
        code = cmcVcfFile::Data;
    else if (ImageNewer(*work) != 0)
        code = cmcVcfFile::Newer;
    else
        code = file.CheckCoverage(CloneRange());
    cmcVcfFile::ShowMessage(code);
    if (code == cmcVcfFile::Ok)
        image.Assign(*work);
    return code;
}

void cuiMain::LoadReference(int variant) {
    const std::string path =
        programFilesDir() + cmcGTex::App().GetLine("GI_App_InitialFile", variant);
    // A fresh image, so that nothing of the previous variant's file survives.
    auto work = newImage(imageSize_);
    cmcVcfFile file;
    file.BindImage(*work);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevisionCheck([this](int revision) { return MapRevisionAccepted(revision); });
    if (file.Load(path, CloneRange()) != cmcVcfFile::Ok || ImageRejected(*work, false))
        cmcFatal("Cannot open '" + path + "'.");
    reference_->Assign(*work);
    PrepareImage(*reference_, false);
}

bool cuiMain::UpdateModified() {
    if (!modified_ && current_->Differs(*saved_)) {
        modified_ = true;
        RefreshCaption();
    }
    return modified_;
}

void cuiMain::TakeSaved() {
    saved_->Assign(*current_);
    modified_ = false;
    RefreshCaption();
}

void cuiMain::SetModified() {
    modified_ = true;
    RefreshCaption();
}

std::string cuiMain::DocumentPath() const {
    return documentName_.empty() ? withDelimiter(CurrentDirectory) + "Untitled" : documentName_;
}

void cuiMain::SetDocumentName(const std::string& name) {
    documentName_ = name;
    RefreshCaption();
}

void cuiMain::RefreshCaption() {
    const std::string name = fileNamePart(DocumentPath());
    caption_ = name + " - " + AppTitle();
    if (form_) {
        // The desktop marks unsaved changes its own way at the placeholder.
        form_->setWindowTitle(QString::fromStdString(name + "[*] - " + AppTitle()));
        form_->setWindowModified(modified_);
    }
}

void cuiMain::StartWarningsDelay() {
    if (!warningsDelay_)
        warningsDelay_ = std::make_unique<cmcTick>();
    warningsDelay_->Start(warningsDelayMs);
}

void cuiMain::ShowMessage(const std::string& text, PromptIcon icon) {
    cmcPrompter::current().message(AppTitle(), text, icon, PromptButtons::Ok);
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
        documentName_.empty()
            ? std::string("Untitled")
            : QFileInfo(QString::fromStdString(documentName_)).completeBaseName().toStdString();
    return withDelimiter(CurrentDirectory) + name + ".pdf";
}
