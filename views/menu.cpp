#include "views/menu.h"

#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "sheets/cellParser.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace marlo {

namespace {

constexpr std::int32_t kEnter = CellRequest::kEnter;

// A key name of the platform's shortcut texts, or nothing.
QKeySequence shortcutOf(const std::optional<std::string>& parameter) {
    if (!parameter || parameter->empty())
        return {};
    const QKeySequence sequence =
        QKeySequence::fromString(QString::fromStdString(*parameter), QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return {};
    return sequence;
}

QString captionOf(const CellModel& model) {
    return QString::fromStdString(model.Text());
}

void addToRoot(QWidget* under, QAction* action) {
    under->addAction(action);
}

// The menu that holds an item's sub-items, made on first use.
QMenu* subMenuOf(QAction* item) {
    if (QMenu* menu = item->menu())
        return menu;
    auto* menu = new QMenu(qobject_cast<QWidget*>(item->parent()));
    menu->setTitle(item->text());
    item->setMenu(menu);
    return menu;
}

} // namespace

std::optional<MenuLine> splitMenuLine(std::string_view line) {
    const auto plus = line.find('+');
    if (plus == std::string_view::npos)
        return std::nullopt;
    return MenuLine{static_cast<int>(plus), line.substr(plus + 1)};
}

Menu::Menu(QWidget* owner, QWidget* root, OverlayTexts& store, std::string key,
           ClickHandler handler, OverlayTexts* models)
    : owner_(owner), root_(root), store_(store), models_(models ? *models : store),
      key_(std::move(key)), handler_(std::move(handler)) {
    NotificationHub::App().Subscribe(&Menu::OnHub, this);
}

Menu::~Menu() {
    if (subscribed_)
        NotificationHub::App().Unsubscribe(&Menu::OnHub, this);
    // The items belong to the menu; only their link to this builder goes.
    for (auto& [action, item] : items_)
        QObject::disconnect(action, nullptr, this, nullptr);
}

void Menu::Build() {
    if (root_ == nullptr)
        return;
    RemoveItems(root_);
    CellParser(models_).SplitCell(store_.GetLine(key_ + "_BasicCell", 0), base_, nullptr, nullptr);
    BuildItems(root_, key_, this);
}

// Lines of `key`_Body under `under`; a deeper line nests under the item above
// it, a shallower one than the first ends the reading. Returns the items made
// directly under `under`.
std::vector<QAction*> Menu::BuildItems(QWidget* under, const std::string& key, Menu* target) {
    const CellParser parser(models_);
    struct Level {
        int depth;
        QWidget* menu;
    };
    std::vector<Level> levels;
    std::vector<QAction*> made;
    QAction* last = nullptr;
    const std::string body = key + "_Body";
    for (int n = 0;; ++n) {
        const std::string line = store_.GetLine(body, n);
        if (line.starts_with('#'))
            break;
        const auto item = splitMenuLine(line);
        if (!item)
            continue;
        if (levels.empty())
            levels.push_back({item->depth, under});
        if (item->depth < levels.front().depth)
            break;
        while (item->depth < levels.back().depth)
            levels.pop_back();
        if (item->depth > levels.back().depth && last != nullptr)
            levels.push_back({item->depth, subMenuOf(last)});
        auto model = std::make_unique<CellModel>();
        parser.SplitCell(item->cell, *model, &base_, nullptr);
        last = AddItem(levels.back().menu, std::move(model), target, key);
        if (levels.back().menu == under)
            made.push_back(last);
    }
    return made;
}

// Hub fills come from sheets and from the engine's Edit item, the latter posted
// and so possibly late: an entry already under the item is not added twice, and
// the new items show their state at once instead of waiting for the next
// refresh (a late "No item" must hide behind a sheet's items).
void Menu::FillItem(QAction* item, const std::string& key, Menu* target) {
    QMenu* under = subMenuOf(item);
    const auto actions = under->actions();
    for (QAction* action : actions)
        if (const auto it = items_.find(action); it != items_.end() && it->second.key == key)
            return;
    for (QAction* made : BuildItems(under, key, target))
        RefreshItem(made);
}

QAction* Menu::AddItem(QWidget* under, std::unique_ptr<CellModel> model, Menu* target,
                       const std::string& key) {
    auto* action = new QAction(under);
    if (model->Text() == "-") {
        action->setSeparator(true);
    } else {
        action->setText(captionOf(*model));
        action->setShortcut(shortcutOf(model->parameter));
        if (model->imageIndex >= 0 && model->imageIndex < static_cast<int>(images_.size()))
            action->setIcon(images_[static_cast<std::size_t>(model->imageIndex)]);
    }
    addToRoot(under, action);
    items_[action] = Item{std::shared_ptr<CellModel>(std::move(model)), target, key};
    connect(action, &QObject::destroyed, this, [this, action] { items_.erase(action); });
    connect(action, &QAction::triggered, this, [this, action] { Click(action); });
    return action;
}

// Items leave their menu at once but are deleted later: removal may come while
// Qt is still delivering the click or key that chose one of them. An item keeps
// its model until it is gone, for the same reason.
void Menu::RemoveItems(QWidget* under) {
    const auto actions = under->actions();
    for (QAction* action : actions) {
        under->removeAction(action);
        if (QMenu* sub = action->menu()) {
            RemoveItems(sub);
            sub->deleteLater();
        }
        if (items_.contains(action) || action->parent() == under)
            action->deleteLater();
    }
}

void Menu::Retire(std::unique_ptr<Menu> builder) {
    if (!builder)
        return;
    NotificationHub::App().Unsubscribe(&Menu::OnHub, builder.get());
    builder->subscribed_ = false;
    builder->root_ = nullptr;
    builder.release()->deleteLater();
}

CellModel* Menu::ModelOf(QAction* item) const {
    const auto it = items_.find(item);
    return it == items_.end() ? nullptr : it->second.model.get();
}

QAction* Menu::FindByLabel(std::int32_t label) const {
    if (root_ == nullptr)
        return nullptr;
    std::function<QAction*(QWidget*)> search = [&](QWidget* under) -> QAction* {
        for (QAction* action : under->actions()) {
            const CellModel* model = ModelOf(action);
            if (model != nullptr && model->label == label)
                return action;
            if (QMenu* sub = action->menu())
                if (QAction* found = search(sub))
                    return found;
        }
        return nullptr;
    };
    return search(root_);
}

void Menu::Click(QAction* item) {
    const auto it = items_.find(item);
    if (it == items_.end())
        return;
    const std::shared_ptr<CellModel> model = it->second.model; // the handler may rebuild
    Menu* target = it->second.target;
    if (target == nullptr)
        return; // the builder that took these clicks is gone
    if (target->handler_)
        target->handler_(*target, *model);
    else
        target->DefaultClick(*model);
}

std::uint8_t Menu::Evaluate(CellRequest& request) {
    if (engine_)
        return engine_(request, false);
    CellEngine engine;
    return evaluateCell(engine, request, false);
}

void Menu::AskServedCell() {
    servedCell_.reset();
    servedRequest_.Reset();
    // The menu bar's items act on the sheet that holds the keyboard or lent it to
    // the menu bar, as its own context menu does; a context menu asks its sheet.
    QWidget* asking = qobject_cast<QMenuBar*>(root_.data()) != nullptr ? nullptr : root_.data();
    const auto reply = NotificationHub::App().Ask(evAskMenuCell, asking);
    if (reply && reply->object != nullptr) {
        servedCell_ = std::make_unique<CellModel>(*static_cast<const CellModel*>(reply->object));
        servedRequest_.form = owner_;
        servedRequest_.cell = servedCell_.get();
    }
}

void Menu::DefaultClick(CellModel& model) {
    CellRequest request;
    request.form = owner_;
    request.cell = &model;
    request.action = kEnter;
    std::unique_ptr<CellModel> served;
    CellRequest servedRequest;
    if (const auto reply = NotificationHub::App().Ask(evAskMenuCell, nullptr);
        reply && reply->object != nullptr) {
        served = std::make_unique<CellModel>(*static_cast<const CellModel*>(reply->object));
        servedRequest.form = owner_;
        servedRequest.cell = served.get();
        request.partner = &servedRequest;
    }
    Evaluate(request);
    RefreshStates();
}

void Menu::RefreshStates() {
    if (root_ == nullptr)
        return;
    AskServedCell();
    const auto actions = root_->actions();
    for (QAction* action : actions)
        RefreshItem(action);
}

void Menu::RefreshItem(QAction* item) {
    CellModel* model = ModelOf(item);
    if (model == nullptr) {
        item->setChecked(false);
    } else if (!item->isSeparator()) {
        state_.Reset();
        state_.form = owner_;
        state_.cell = model;
        state_.partner = servedCell_ ? &servedRequest_ : nullptr;
        model->behaviour &= static_cast<std::uint8_t>(~CellBehaviour::FlagMask);
        Evaluate(state_);
        item->setCheckable(model->Flag(0));
        item->setChecked(model->Flag(0));
        item->setVisible(!model->Flag(1));
        item->setEnabled(!model->Flag(2));
        // An item with its own caption (a recent file's name) says it in the
        // evaluated text; the model keeps the overlay's placeholder.
        if (model->Flag(3)) {
            const QString caption = QString::fromStdString(state_.text);
            if (item->text() != caption)
                item->setText(caption);
        }
        if (model->imageIndex >= 0 && model->imageIndex < static_cast<int>(images_.size()))
            item->setIcon(images_[static_cast<std::size_t>(model->imageIndex)]);
    }
    if (QMenu* sub = item->menu()) {
        const auto actions = sub->actions();
        for (QAction* action : actions)
            RefreshItem(action);
    }
}

void Menu::OnHub(void* self, const HubMessage& message) {
    auto& menu = *static_cast<Menu*>(self);
    switch (message.type) {
    case evRefreshMenus:
        menu.RefreshStates();
        break;
    case evClearMenuItem:
        if (QAction* item = menu.FindByLabel(message.value); item && item->menu())
            menu.RemoveItems(item->menu());
        break;
    case evFillMenuItem:
        if (QAction* item = menu.FindByLabel(message.value)) {
            auto* target = static_cast<Menu*>(message.object);
            menu.FillItem(item, std::string(message.Text()), target != nullptr ? target : &menu);
        }
        break;
    default:
        break;
    }
}

} // namespace marlo
