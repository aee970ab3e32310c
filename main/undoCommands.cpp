#include "main/undoCommands.h"

#include "core/undoHistory.h"
#include "main/appController.h"
#include "overlay/overlayTexts.h"
#include "views/imageList.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

namespace marlo {

namespace {

// Lines: the two bare captions, the two captions with "%s" for the step's name,
// the two tooltips.
constexpr char kTextsKey[] = "GI_Menu_UndoRedo";

QString caption(bool redo, const std::string& step) {
    OverlayTexts& texts = OverlayTexts::App();
    const int line = redo ? 1 : 0;
    if (step.empty())
        return QString::fromStdString(texts.GetLine(kTextsKey, line));
    std::string text = texts.GetLine(kTextsKey, line + 2);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, step);
    return QString::fromStdString(text);
}

// The platform's keys, and both spellings of Redo that users bring from other
// desktops.
QList<QKeySequence> keysOf(QKeySequence::StandardKey standard,
                           std::initializer_list<QKeySequence> also) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    for (const QKeySequence& key : also)
        if (!keys.contains(key))
            keys.append(key);
    return keys;
}

} // namespace

UndoCommands::UndoCommands(QMainWindow& form, AppController& controller, QMenu* editMenu,
                           QToolBar* toolBar, const ImageList& images)
    : controller_(controller), editMenu_(editMenu) {
    OverlayTexts& texts = OverlayTexts::App();
    undo_ = new QAction(images.Icon(toolImage::Undo), caption(false, {}), &form);
    redo_ = new QAction(images.Icon(toolImage::Redo), caption(true, {}), &form);
    undo_->setShortcuts(keysOf(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    redo_->setShortcuts(keysOf(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                                    QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    undo_->setToolTip(QString::fromStdString(texts.GetLine(kTextsKey, 4)));
    redo_->setToolTip(QString::fromStdString(texts.GetLine(kTextsKey, 5)));
    separator_ = new QAction(&form);
    separator_->setSeparator(true);
    // On the window itself, the keys work while the Edit menu is being refilled.
    form.addAction(undo_);
    form.addAction(redo_);
    connect(undo_, &QAction::triggered, this, [this] { controller_.Undo(); });
    connect(redo_, &QAction::triggered, this, [this] { controller_.Redo(); });
    if (editMenu_)
        connect(editMenu_, &QMenu::aboutToShow, this, [this] { PlaceInEditMenu(); });
    if (toolBar != nullptr) {
        toolBar->addSeparator();
        toolBar->addAction(undo_);
        toolBar->addAction(redo_);
        // Read out by what they do, as the other buttons are, not by the
        // changing menu caption.
        for (QAction* action : {undo_.data(), redo_.data()})
            if (QWidget* button = toolBar->widgetForAction(action))
                button->setAccessibleName(action->toolTip());
    }
    Refresh();
}

UndoCommands::~UndoCommands() = default;

void UndoCommands::Refresh() {
    if (!undo_ || !redo_)
        return;
    const UndoHistory& history = controller_.History();
    undo_->setText(caption(false, history.UndoName()));
    redo_->setText(caption(true, history.RedoName()));
    undo_->setEnabled(history.CanUndo());
    redo_->setEnabled(history.CanRedo());
    PlaceInEditMenu();
}

void UndoCommands::PlaceInEditMenu() {
    if (!editMenu_ || !undo_ || !redo_ || !separator_)
        return;
    const QList<QAction*> items = editMenu_->actions();
    if (items.size() >= 3 && items[0] == undo_ && items[1] == redo_ && items[2] == separator_)
        return;
    for (QAction* ours : {undo_.data(), redo_.data(), separator_.data()})
        editMenu_->removeAction(ours);
    QAction* first = editMenu_->actions().value(0, nullptr);
    editMenu_->insertActions(first, {undo_, redo_, separator_});
}

} // namespace marlo
