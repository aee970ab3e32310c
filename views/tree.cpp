#include "views/tree.h"

#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "sheets/cellParser.h"
#include "sheets/cellQtMapping.h"
#include "views/imageList.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace marlo {

namespace {

constexpr int kModelRole = Qt::UserRole;
constexpr int kMarkRole = Qt::UserRole + 1;

// The node's depth: the characters before its first '+'; a line without one is
// all depth and no cell.
std::size_t depthOf(std::string_view line) {
    const std::size_t plus = line.find('+');
    return plus == std::string_view::npos ? line.size() : plus;
}

std::string_view cellOf(std::string_view line) {
    const std::size_t plus = line.find('+');
    return plus == std::string_view::npos ? std::string_view() : line.substr(plus + 1);
}

// Overlay 0 shows the error image, overlay 1 the warning image.
int overlayImage(int overlay) {
    return overlay == Tree::kErrorOverlay ? 5 : overlay == Tree::kWarningOverlay ? 4 : -1;
}

} // namespace

Tree::Tree(QWidget* host, OverlayTexts& store, std::string key, const ImageList& images,
           NotificationHub& hub)
    : host_(host), store_(store), key_(std::move(key)), images_(images), hub_(hub) {
    view_ = new QTreeWidget(host);
    view_->setObjectName(QString::fromStdString(key_));
    view_->setHeaderHidden(true);
    view_->setColumnCount(1);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setIconSize(QSize(images.Size(), images.Size()));
    delay_ = new QTimer(view_);
    delay_->setSingleShot(true);
    delay_->setInterval(0);
    QObject::connect(delay_, &QTimer::timeout, view_, [this] { SelectionRested(); });
    QObject::connect(view_, &QTreeWidget::currentItemChanged, view_, [this] { delay_->start(); });
    const auto expandedOrCollapsed = [this] {
        if (onExpand_)
            onExpand_();
    };
    QObject::connect(view_, &QTreeWidget::itemExpanded, view_, expandedOrCollapsed);
    QObject::connect(view_, &QTreeWidget::itemCollapsed, view_, expandedOrCollapsed);
    hub_.Subscribe(&Tree::OnMessage, this);
}

Tree::~Tree() {
    hub_.Unsubscribe(&Tree::OnMessage, this);
    delete view_.data();
}

void Tree::OnMessage(void* self, const HubMessage& message) {
    auto* tree = static_cast<Tree*>(self);
    if (message.AnnouncesGone(tree->host_))
        tree->GiveUp();
}

void Tree::GiveUp() {
    hub_.Unsubscribe(&Tree::OnMessage, this);
    if (view_) {
        view_->hide();
        delete view_.data();
    }
    onSelect_ = nullptr;
    onExpand_ = nullptr;
    models_.clear();
    bodyLines_.clear();
    base_ = CellModel();
    key_.clear();
}

void Tree::Build() {
    if (!view_)
        return;
    const QSignalBlocker quiet(view_.data());
    delay_->stop();
    view_->clear();
    models_.clear();
    bodyLines_.clear();

    const CellParser parser(store_);
    parser.SplitCell(store_.GetLine(key_ + "_BasicCell"), base_, nullptr, nullptr);
    if (base_.font)
        view_->setFont(toQFont(*base_.font));
    QPalette palette = view_->palette();
    palette.setColor(QPalette::Base, toQColor(base_.colour));
    view_->setPalette(palette);

    const std::string body = key_ + "_Body";
    for (int n = 0;; ++n) {
        std::string line = store_.GetLine(body, n);
        if (!line.empty() && line[0] == '#')
            break;
        bodyLines_.push_back(std::move(line));
    }
    ReadLevel(nullptr, 0);
    if (QTreeWidgetItem* first = FirstNode())
        first->setExpanded(true);
}

int Tree::ReadLevel(QTreeWidgetItem* parent, int start) {
    const int count = static_cast<int>(bodyLines_.size());
    int n = start;
    std::size_t depth = 0;
    QTreeWidgetItem* last = nullptr;
    while (n < count) {
        const std::string_view line = bodyLines_[static_cast<std::size_t>(n)];
        const std::size_t d = depthOf(line);
        if (last != nullptr && d > depth) {
            n += ReadLevel(last, n);
            continue;
        }
        if (last != nullptr && d < depth)
            break;
        depth = d;
        last = AddNode(parent, cellOf(line));
        ++n;
    }
    return n - start;
}

QTreeWidgetItem* Tree::AddNode(QTreeWidgetItem* parent, std::string_view cellText) {
    const CellParser parser(store_);
    CellModel& model = models_.emplace_back();
    parser.SplitCell(cellText, model, &base_, nullptr);
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(view_);
    node->setText(0, QString::fromStdString(model.Text()));
    node->setData(0, kModelRole, QVariant::fromValue(reinterpret_cast<quintptr>(&model)));
    ShowMark(node, -1);
    return node;
}

int Tree::NaturalWidth() const {
    if (!view_)
        return 0;
    QStyle& style = *view_->style();
    QStyleOptionViewItem option;
    option.initFrom(view_);
    option.font = view_->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.decorationSize = view_->iconSize();
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    int widest = 0;
    for (QTreeWidgetItemIterator it(view_); *it != nullptr; ++it) {
        int depth = view_->rootIsDecorated() ? 1 : 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent())
            ++depth;
        option.text = (*it)->text(0);
        option.icon = (*it)->icon(0);
        const QSize item = style.sizeFromContents(QStyle::CT_ItemViewItem, &option, {}, view_);
        widest = std::max(widest, depth * view_->indentation() + item.width());
    }
    const int scrollBar = style.pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
    return widest + 2 * view_->frameWidth() + scrollBar;
}

const CellModel* Tree::ModelOf(const QTreeWidgetItem* node) const {
    if (node == nullptr)
        return nullptr;
    return reinterpret_cast<const CellModel*>(node->data(0, kModelRole).value<quintptr>());
}

const CellModel* Tree::SelectedModel() const {
    return view_ ? ModelOf(view_->currentItem()) : nullptr;
}

QTreeWidgetItem* Tree::FirstNode() const {
    return view_ && view_->topLevelItemCount() > 0 ? view_->topLevelItem(0) : nullptr;
}

void Tree::SelectFirst() {
    if (QTreeWidgetItem* first = FirstNode())
        view_->setCurrentItem(first);
}

bool Tree::SelectDescriptor(const std::string& descriptor) {
    if (!view_)
        return false;
    for (QTreeWidgetItemIterator it(view_); *it != nullptr; ++it) {
        const CellModel* model = ModelOf(*it);
        if (model != nullptr && model->parameter && *model->parameter == descriptor) {
            view_->setCurrentItem(*it);
            view_->scrollToItem(*it);
            return true;
        }
    }
    return false;
}

void Tree::SetChangeDelay(int milliseconds) {
    if (delay_)
        delay_->setInterval(std::max(0, milliseconds));
}

void Tree::SelectionRested() {
    const CellModel* model = SelectedModel();
    if (model != nullptr && onSelect_)
        onSelect_(*model);
}

void Tree::ShowMark(QTreeWidgetItem* node, int overlay) {
    const CellModel* model = ModelOf(node);
    const int image = model ? model->imageIndex : -1;
    node->setData(0, kMarkRole, overlayImage(overlay) < 0 ? -1 : overlay);
    node->setIcon(0, images_.Overlaid(image, overlayImage(overlay)));
}

int Tree::MarkOf(const QTreeWidgetItem* node) {
    const QVariant mark = node ? node->data(0, kMarkRole) : QVariant();
    return mark.isValid() ? mark.toInt() : -1;
}

void Tree::ClearMarks() {
    if (!view_)
        return;
    for (QTreeWidgetItemIterator it(view_); *it; ++it) {
        if (MarkOf(*it) >= 0)
            ShowMark(*it, -1);
    }
}

int Tree::Mark(const std::vector<std::string>& names, int overlay) {
    int matches = 0;
    if (!view_ || overlayImage(overlay) < 0)
        return 0;
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        MarkBelow(view_->topLevelItem(i), names, overlay, matches);
    return matches;
}

// Marks the node and its subtree; true when a node of it was named.
bool Tree::MarkBelow(QTreeWidgetItem* node, const std::vector<std::string>& names, int overlay,
                     int& matches) {
    bool below = false;
    for (int i = 0; i < node->childCount(); ++i)
        below = MarkBelow(node->child(i), names, overlay, matches) || below;
    const CellModel* model = ModelOf(node);
    const bool named = model != nullptr && model->parameter &&
                       std::find(names.begin(), names.end(), *model->parameter) != names.end();
    if (named)
        ++matches;
    // A collapsed branch shows what it hides.
    if (named || (below && !node->isExpanded()))
        ShowMark(node, overlay);
    return named || below;
}

} // namespace marlo
