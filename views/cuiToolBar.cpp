#include "views/cuiToolBar.h"

#include "overlay/cmcGTex.h"
#include "radio/cmcCellCapsule.h"
#include "radio/cmcCellContext.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcCellParser.h"
#include "sheets/cmcEvMan.h"
#include "views/cuiImageList.h"

#include <QBoxLayout>
#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kGapWidth = 8;
constexpr int kIndent = 4;

} // namespace

cuiToolBar::cuiToolBar(QWidget* owner, cmcGTex& store, std::string key, const cuiImageList& images,
                       cmcEvMan& hub, cmcCellContext* context)
    : owner_(owner), store_(store), key_(std::move(key)), images_(images), hub_(hub),
      context_(context) {
    toolBar_ = new QToolBar(owner);
    toolBar_->setObjectName(QString::fromStdString(key_));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    toolBar_->setIconSize(QSize(images.Size(), images.Size()));
    toolBar_->setStyleSheet(QStringLiteral("QToolBar { border: none; border-top: 1px solid "
                                           "palette(mid); }"));
    if (auto* window = qobject_cast<QMainWindow*>(owner))
        window->addToolBar(Qt::TopToolBarArea, toolBar_);
    hub_.Subscribe(&cuiToolBar::onMessage, this);
}

cuiToolBar::~cuiToolBar() {
    *alive_ = false;
    hub_.Unsubscribe(&cuiToolBar::onMessage, this);
    // The destruction may come from one of its own buttons' commands.
    if (toolBar_) {
        toolBar_->hide();
        toolBar_->deleteLater();
    }
}

void cuiToolBar::onMessage(void* self, const cmcEvMessage& message) {
    if (message.type == evRefreshToolBar)
        static_cast<cuiToolBar*>(self)->Refresh();
}

void cuiToolBar::Clear() {
    lines_.clear();
    if (!toolBar_)
        return;
    toolBar_->clear();
}

void cuiToolBar::Build(ClickHandler handler) {
    Clear();
    handler_ = std::move(handler);
    if (!toolBar_)
        return;
    const cmcCellParser parser(store_);
    parser.SplitCell(store_.GetLine(key_ + "_BasicCell"), base_, nullptr, nullptr);

    // The rows sit in one widget of the toolbar, so that a row break starts a
    // new row below instead of the toolbar's own wrapping.
    auto* rows = new QWidget;
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(kIndent, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    column->addLayout(row);

    const std::string body = key_ + "_Body";
    for (int n = 0;; ++n) {
        const std::string text = store_.GetLine(body, n);
        if (!text.empty() && text[0] == '#')
            break;
        Line line;
        line.model = std::make_unique<cmcCellObj>();
        parser.SplitCell(text, *line.model, &base_, nullptr);
        const std::string& shown = line.model->Text();
        if (shown == "-") {
            line.kind = Kind::Gap;
            row->addSpacing(kGapWidth);
        } else if (shown == "/") {
            line.kind = Kind::RowBreak;
            row->addSpacing(1);
            row->addStretch();
            row = new QHBoxLayout;
            row->setSpacing(0);
            column->addLayout(row);
        } else {
            auto* button = new QToolButton(rows);
            button->setAutoRaise(false);
            button->setFocusPolicy(Qt::NoFocus);
            button->setToolTip(QString::fromStdString(shown));
            // An icon-only button is read out by its name, not its tooltip.
            button->setAccessibleName(QString::fromStdString(shown));
            button->setIconSize(toolBar_->iconSize());
            button->setIcon(images_.Icon(line.model->imageIndex));
            const int index = static_cast<int>(lines_.size());
            std::weak_ptr<bool> alive = alive_;
            QObject::connect(button, &QToolButton::clicked, button, [this, alive, index] {
                if (!alive.expired() && *alive.lock())
                    Click(index);
            });
            row->addWidget(button);
            line.button = button;
        }
        lines_.push_back(std::move(line));
    }
    row->addStretch();
    toolBar_->addWidget(rows);
    Refresh();
}

void cuiToolBar::Evaluate(cmcCellObj& model, int action) {
    indActiveCell engine = context_ ? indActiveCell(*context_) : indActiveCell();
    cmcCellCapsule request;
    request.form = owner_;
    request.cell = &model;
    request.action = action;
    evaluateCell(engine, request, false);
}

void cuiToolBar::Refresh() {
    for (Line& line : lines_) {
        if (!line.button)
            continue;
        cmcCellObj& model = *line.model;
        model.behaviour &= static_cast<std::uint8_t>(~cmcBehaviour::FlagMask);
        Evaluate(model, cmcCellCapsule::kNoAction);
        // A pressed toggle while Flag0 is set, a plain button otherwise.
        line.button->setCheckable(model.Flag(0));
        line.button->setChecked(model.Flag(0));
        line.button->setEnabled(!model.Flag(2));
    }
}

void cuiToolBar::Click(int index) {
    Line& line = lines_.at(static_cast<std::size_t>(index));
    // The button's own toggle is not the state: the engine reports it on the
    // next refresh.
    if (line.button)
        line.button->setChecked(line.model->Flag(0));
    if (handler_) {
        handler_(*line.model);
        return;
    }
    // The command may take the toolbar away, lines and all: it runs on a copy of
    // the cell, whose state the next refresh reads again anyway.
    cmcCellObj clicked(*line.model);
    Evaluate(clicked, cmcCellCapsule::kEnter);
}

QToolButton* cuiToolBar::Button(int line) const {
    if (line < 0 || line >= LineCount())
        return nullptr;
    return lines_[static_cast<std::size_t>(line)].button;
}

const cmcCellObj& cuiToolBar::Model(int line) const {
    return *lines_.at(static_cast<std::size_t>(line)).model;
}
