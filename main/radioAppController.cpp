#include "main/radioAppController.h"

#include "core/modelIdentity.h"
#include "document/appCellContext.h"
#include "main/mainWindowCommands.h"
#include "main/statusBar.h"
#include "overlay/overlayTexts.h"
#include "sheets/sheetDescriptor.h"
#include "views/sheet.h"
#include "views/tree.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace marlo {

namespace {

constexpr int minimumMessageWidth = 100;
const QColor modePanelColour(0x00, 0x80, 0x80); // teal
const QColor modeTextColour(0xFF, 0xFF, 0xFF);

} // namespace

RadioAppController::RadioAppController(std::vector<std::string> args)
    : Document(marloModel::imageSize, marloModel::overlayBaseName),
      AppController(marloModel::imageSize, marloModel::overlayBaseName),
      RadioDocument(std::move(args)) {}

RadioAppController::~RadioAppController() {
    if (contextInstalled_)
        CellContext::SetApp(nullptr);
    if (commands_)
        CellContext().SetCommands(nullptr);
}

void RadioAppController::BuildWindow(QMainWindow& form) {
    // The menus, the toolbar, the tree and the sheets evaluate their cells in
    // this controller's context, and its commands are the window's.
    commands_ = std::make_unique<MainWindowCommands>(*this);
    CellContext().SetCommands(commands_.get());
    CellContext::SetApp(&CellContext());
    contextInstalled_ = true;
    AppController::BuildWindow(form);
    commands_->AddCompareCommands(form);
    marlo::StatusBar* bar = StatusBar();
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

marlo::CompareCommands* RadioAppController::CompareCommands() const {
    return commands_ ? commands_->Compare() : nullptr;
}

void RadioAppController::OpenCommandLineFile(QMainWindow& form) {
    const std::string file = commandLineFile(Arguments());
    if (file.empty())
        return;
    // Once the window stands, as the Open command would, with its messages.
    const std::string path =
        QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString();
    QTimer::singleShot(0, &form, [this, path] { OpenFile(path); });
}

void RadioAppController::RebuildTree() {
    AppController::RebuildTree();
    if (Tree() == nullptr)
        return;
    if (QTreeWidgetItem* first = Tree()->FirstNode())
        first->setText(0, first->text(0) + QString::fromStdString(VariantName()));
}

void RadioAppController::StatusBarResize() {
    marlo::StatusBar* bar = StatusBar();
    if (bar == nullptr || bar->PanelCount() == 0)
        return;
    int others = 0;
    for (int i = 1; i < bar->PanelCount(); ++i)
        others += bar->PanelAt(i).width;
    bar->SetPanelWidth(0, std::max(bar->width() - others, minimumMessageWidth));
}

void RadioAppController::StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) {
    if (panel != modePanel_ || modePanel_ < 0) {
        AppController::StatusBarDrawPanel(painter, panel, rect);
        return;
    }
    painter.fillRect(rect, modePanelColour);
    painter.setPen(modeTextColour);
    painter.drawText(rect, Qt::AlignCenter, QString::fromStdString(ModeText()));
}

void RadioAppController::CheckWarnings(int& errors, int& warnings) {
    RadioDocument::CheckWarnings(errors, warnings);
    MarkTree();
}

void RadioAppController::MarkTree() {
    marlo::Tree* tree = Tree();
    if (tree == nullptr)
        return;
    std::vector<std::string> withErrors;
    std::vector<std::string> withWarnings;
    for (const CheckLine& line : LastWarningCheck().lines) {
        if (line.mark == CheckMark::Error)
            withErrors.push_back(line.key);
        else if (line.mark == CheckMark::Warning)
            withWarnings.push_back(line.key);
    }
    tree->ClearMarks();
    // Errors last, so a node with both shows the error.
    tree->Mark(withWarnings, marlo::Tree::kWarningOverlay);
    tree->Mark(withErrors, marlo::Tree::kErrorOverlay);
}

std::unique_ptr<Sheet> RadioAppController::CreateSheet(QWidget* parent,
                                                       const std::string& descriptor) {
    const SheetDescriptor parts = parseSheetDescriptor(descriptor);
    if (parts.className != "St_Common")
        return AppController::CreateSheet(parent, descriptor);
    marlo::SheetSetup setup = SheetSetup();
    setup.factoryMode = FactoryMode();
    return SetUpSheet(std::make_unique<CommonSettingsSheet>(parent, nullptr, Sheet::StartCell{},
                                                            OverlayTexts::App(), parts.key,
                                                            &MarkImages()),
                      descriptor, setup);
}

} // namespace marlo
