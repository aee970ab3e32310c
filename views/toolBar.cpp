#include "views/toolBar.h"

#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "radio/cellContext.h"
#include "radio/cellEngine.h"
#include "radio/cellRequest.h"
#include "sheets/cellParser.h"
#include "views/imageList.h"

#include <QBoxLayout>
#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>

namespace marlo {

namespace {

constexpr int kGapWidth = 8;
constexpr int kIndent = 4;

} // namespace

ToolBar::ToolBar(QWidget* owner, OverlayTexts& store, std::string key, const ImageList& images,
                 NotificationHub& hub, CellContext* context)
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
    hub_.Subscribe(&ToolBar::OnMessage, this);
}

ToolBar::~ToolBar() {
    *alive_ = false;
    hub_.Unsubscribe(&ToolBar::OnMessage, this);
    // The destruction may come from one of its own buttons' commands.
    if (toolBar_) {
        toolBar_->hide();
        toolBar_->deleteLater();
    }
}

void ToolBar::OnMessage(void* self, const HubMessage& message) {
    if (message.type == evRefreshToolBar)
        static_cast<ToolBar*>(self)->Refresh();
}

void ToolBar::Clear() {
    lines_.clear();
    if (!toolBar_)
        return;
    toolBar_->clear();
}

void ToolBar::Build(ClickHandler handler) {
    Clear();
    handler_ = std::move(handler);
    if (!toolBar_)
        return;
    const CellParser parser(store_);
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
        line.model = std::make_unique<CellModel>();
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

void ToolBar::Evaluate(CellModel& model, int action) {
    CellEngine engine = context_ ? CellEngine(*context_) : CellEngine();
    CellRequest request;
    request.form = owner_;
    request.cell = &model;
    request.action = action;
    evaluateCell(engine, request, false);
}

void ToolBar::Refresh() {
    for (Line& line : lines_) {
        if (!line.button)
            continue;
        CellModel& model = *line.model;
        model.behaviour &= static_cast<std::uint8_t>(~CellBehaviour::FlagMask);
        Evaluate(model, CellRequest::kNoAction);
        // A pressed toggle while Flag0 is set, a plain button otherwise.
        line.button->setCheckable(model.Flag(0));
        line.button->setChecked(model.Flag(0));
        line.button->setEnabled(!model.Flag(2));
    }
}

void ToolBar::Click(int index) {
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
    CellModel clicked(*line.model);
    Evaluate(clicked, CellRequest::kEnter);
}

QToolButton* ToolBar::Button(int line) const {
    if (line < 0 || line >= LineCount())
        return nullptr;
    return lines_[static_cast<std::size_t>(line)].button;
}

const CellModel& ToolBar::Model(int line) const {
    return *lines_.at(static_cast<std::size_t>(line)).model;
}

} // namespace marlo
