#include "main/indMain.h"

#include "core/modelIdentity.h"
#include "document/indMainCellContext.h"
#include "main/cuiStatusBar.h"
#include "main/indMainCommands.h"
#include "overlay/cmcGTex.h"
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

namespace {

constexpr int minimumMessageWidth = 100;
const QColor modePanelColour(0x00, 0x80, 0x80); // teal
const QColor modeTextColour(0xFF, 0xFF, 0xFF);

} // namespace

indMain::indMain(std::vector<std::string> args)
    : cmcDocument(marloModel::imageSize, marloModel::overlayBaseName),
      cuiMain(marloModel::imageSize, marloModel::overlayBaseName), indDocument(std::move(args)) {}

indMain::~indMain() {
    if (contextInstalled_)
        cmcCellContext::SetApp(nullptr);
    if (commands_)
        CellContext().SetCommands(nullptr);
}

void indMain::BuildWindow(QMainWindow& form) {
    // The menus, the toolbar, the tree and the sheets evaluate their cells in
    // this controller's context, and its commands are the window's.
    commands_ = std::make_unique<indMainCommands>(*this);
    CellContext().SetCommands(commands_.get());
    cmcCellContext::SetApp(&CellContext());
    contextInstalled_ = true;
    cuiMain::BuildWindow(form);
    commands_->AddCompareCommands(form);
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

cuiCompareCommands* indMain::CompareCommands() const {
    return commands_ ? commands_->Compare() : nullptr;
}

void indMain::OpenCommandLineFile(QMainWindow& form) {
    const std::string file = cmcCommandLineFile(Arguments());
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

void indMain::CheckWarnings(int& errors, int& warnings) {
    indDocument::CheckWarnings(errors, warnings);
    MarkTree();
}

void indMain::MarkTree() {
    cuiTree* tree = Tree();
    if (tree == nullptr)
        return;
    std::vector<std::string> withErrors;
    std::vector<std::string> withWarnings;
    for (const dstCheckLine& line : LastWarningCheck().lines) {
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
