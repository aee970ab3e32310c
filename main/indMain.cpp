#include "main/indMain.h"

#include "core/cmcEeprom.h"
#include "core/modelIdentity.h"
#include "main/cuiStatusBar.h"
#include "main/indMainCellContext.h"
#include "main/indMainCommands.h"
#include "overlay/cmcGTex.h"
#include "radio/imagePreparation.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcEvMan.h"
#include "sheets/cmcSheetDescriptor.h"
#include "views/cuiSheet.h"
#include "views/cuiTree.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>

namespace {

constexpr char makerSignature[] = "VEXA Inc";
constexpr int minimumMessageWidth = 100;
// The highest address the cell catalogue reaches is the last call-kind mirror byte.
constexpr std::int32_t catalogueImageExtent = 33268;
const QColor modePanelColour(0x00, 0x80, 0x80); // teal
const QColor modeTextColour(0xFF, 0xFF, 0xFF);

bool signatureDiffers(const cmcEeprom& image) {
    return std::memcmp(image.Data() + marloImageMap::signatureAddress, makerSignature,
                       marloImageMap::signatureLength) != 0;
}

} // namespace

indMain::indMain(std::vector<std::string> args)
    : cuiMain(marloModel::imageSize, marloModel::overlayBaseName), args_(std::move(args)) {
    Initialize();
}

indMain::~indMain() {
    if (contextInstalled_)
        cmcCellContext::SetApp(nullptr);
    if (cellContext_)
        cellContext_->SetCommands(nullptr);
}

void indMain::Initialize() {
    cuiMain::Initialize();
    modes_ = cmcReadModeSwitches(
        args_, [] { return cmcGTex::App().GetLine("GI_StatusPanel_Expert", 0); }, cmcTimeSeed());
    SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
}

void indMain::BuildWindow(QMainWindow& form) {
    // The menus, the toolbar, the tree and the sheets evaluate their cells in
    // this controller's context, and its commands are the window's.
    commands_ = std::make_unique<indMainCommands>(*this);
    CellContext().SetCommands(commands_.get());
    cmcCellContext::SetApp(&CellContext());
    contextInstalled_ = true;
    cuiMain::BuildWindow(form);
    cuiStatusBar* bar = StatusBar();
    OpenCommandLineFile(form);
    if (ModeText().empty() || bar == nullptr)
        return;
    const QFontMetrics metrics(bar->font());
    const int width = metrics.horizontalAdvance(QString::fromStdString(ModeText())) +
                      metrics.horizontalAdvance(QStringLiteral("XX"));
    modePanel_ = bar->PanelCount() - 1;
    bar->InsertPanel(modePanel_, {width, true});
    StatusBarResize();
}

void indMain::OpenCommandLineFile(QMainWindow& form) {
    const std::string file = cmcCommandLineFile(args_);
    if (file.empty())
        return;
    // Once the window stands, as the Open command would, with its messages.
    const std::string path =
        QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString();
    QTimer::singleShot(0, &form, [this, path] { OpenFile(path); });
}

void indMain::RebuildTree() {
    cuiMain::RebuildTree();
    if (Tree() == nullptr)
        return;
    if (QTreeWidgetItem* first = Tree()->FirstNode())
        first->setText(0, first->text(0) + QString::fromStdString(VariantName()));
}

std::string indMain::VariantName() const {
    return cmcGTex::App().GetLine("GI_AppInd_Model", ModelVariant());
}

int indMain::ImageRejected(const cmcEeprom& image, bool strict) {
    if (image.Size() < ImageSize())
        return 1;
    if (!MapRevisionAccepted(image.GetByte(marloModel::mapRevisionAddress)))
        return 1;
    // Only the model's variants have an initial file to adapt the image to.
    if (image.GetByte(marloImageMap::variantAddress) >= VariantCount())
        return 1;
    return strict && signatureDiffers(image) ? 1 : 0;
}

void indMain::AfterLoad(cmcEeprom& image) {
    if (image.IsValidAddress(marloImageMap::variantAddress))
        ChangeModel(image.GetByte(marloImageMap::variantAddress), false);
    PrepareImage(image, false);
    cmcEvMan::App().Post(evDocumentReloaded);
}

void indMain::PrepareImage(cmcEeprom& image, bool forSending) {
    dstPrepareModes modes;
    modes.forSending = forSending;
    modes.factory = FactoryMode();
    modes.variant = ModelVariant();
    modes.identity = IdentityDigits();
    cmcPrepareImage(image, ReferenceImage(), modes);
}

void indMain::StartCloneWrite(int code) {
    if (!PrepareDocumentForSending(code))
        return;
    dstCloneWriteImage send = cmcMakeCloneWriteImage(CurrentImage(), RadioInfo, FactoryMode());
    SendImage(std::move(send.image), send.ranges);
}

void indMain::CloneWriteDone(int code) {
    // The next radio made in the factory gets an identity of its own.
    if (FactoryMode())
        cmcDrawIdentityDigits(modes_.identity, cmcTimeSeed());
    cuiMain::CloneWriteDone(code);
}

bool indMain::MapRevisionAccepted(int revision) {
    return revision == marloModel::mapRevision;
}

void indMain::StatusBarResize() {
    cuiStatusBar* bar = StatusBar();
    if (bar == nullptr || bar->PanelCount() == 0)
        return;
    int others = 0;
    for (int i = 1; i < bar->PanelCount(); ++i)
        others += bar->PanelAt(i).width;
    bar->SetPanelWidth(0, std::max(bar->width() - others, minimumMessageWidth));
}

void indMain::StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) {
    if (panel != modePanel_ || modePanel_ < 0) {
        cuiMain::StatusBarDrawPanel(painter, panel, rect);
        return;
    }
    painter.fillRect(rect, modePanelColour);
    painter.setPen(modeTextColour);
    painter.drawText(rect, Qt::AlignCenter, QString::fromStdString(ModeText()));
}

indMainCellContext& indMain::CellContext() {
    if (!cellContext_)
        cellContext_ = std::make_unique<indMainCellContext>(*this);
    return *cellContext_;
}

void indMain::CheckWarnings(int& errors, int& warnings) {
    indActiveCell engine(CellContext());
    lastCheck_ = cmcCheckWarnings(engine, cmcGTex::App());
    errors = lastCheck_.errors;
    warnings = lastCheck_.warnings;
    MarkTree();
}

void indMain::MarkTree() {
    cuiTree* tree = Tree();
    if (tree == nullptr)
        return;
    std::vector<std::string> withErrors;
    std::vector<std::string> withWarnings;
    for (const dstCheckLine& line : lastCheck_.lines) {
        if (line.mark == cmcCheckMark::Error)
            withErrors.push_back(line.key);
        else if (line.mark == cmcCheckMark::Warning)
            withWarnings.push_back(line.key);
    }
    tree->ClearMarks();
    // Errors last, so a node with both shows the error.
    tree->Mark(withWarnings, cuiTree::kWarningOverlay);
    tree->Mark(withErrors, cuiTree::kErrorOverlay);
}

int indMain::VariantCount() const {
    return marloModel::variantCount;
}

cmcRangeList indMain::CloneRange() const {
    return marloModel::cloneRange;
}

std::int32_t indMain::CatalogueExtent() const {
    return catalogueImageExtent;
}

int indMain::MapRevision() const {
    return marloModel::mapRevision;
}

std::unique_ptr<cuiSheet> indMain::CreateSheet(QWidget* parent, const std::string& descriptor) {
    const cmcSheetDescriptor parts = parseSheetDescriptor(descriptor);
    if (parts.className != "St_Common")
        return cuiMain::CreateSheet(parent, descriptor);
    cmcSheetSetup setup = SheetSetup();
    setup.factoryMode = FactoryMode();
    return SetUpSheet(std::make_unique<iuiSh_Common>(parent, nullptr, cuiSheet::StartCell{},
                                                     cmcGTex::App(), parts.key, &MarkImages()),
                      descriptor, setup);
}
