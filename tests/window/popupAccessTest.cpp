// What a screen reader hears of a popup menu opened by real input: that it
// opened, its items by name and state, the item the keyboard moves to, and
// that it closed. The context menu and the menu bar's menus alike.
#include "windowFixture.h"

#include "views/sheet.h"

#include <QAccessible>
#include <QMenu>

#include <algorithm>
#include <functional>
#include <vector>

using namespace marlo;

namespace {

struct Heard {
    QAccessible::Event type;
    QObject* object;
    int child;
    QString name;
};

std::vector<Heard> heard;

void listen(QAccessibleEvent* event) {
    QString name;
    if (QAccessibleInterface* a = event->accessibleInterface())
        name = a->text(QAccessible::Name);
    heard.push_back({event->type(), event->object(), event->child(), name});
}

long count(QAccessible::Event type, const QObject* object) {
    return std::count_if(heard.begin(), heard.end(),
                         [&](const Heard& h) { return h.type == type && h.object == object; });
}

class PopupAccess : public WindowTest {
protected:
    void SetUp() override { previous_ = QAccessible::installUpdateHandler(&listen); }
    void TearDown() override { QAccessible::installUpdateHandler(previous_); }

    // The last focus report: the menu and the item the keyboard is on.
    static void expectFocusOn(QMenu& menu) {
        const auto last = std::find_if(heard.rbegin(), heard.rend(),
                                       [](const Heard& h) { return h.type == QAccessible::Focus; });
        ASSERT_NE(last, heard.rend());
        ASSERT_NE(menu.activeAction(), nullptr);
        EXPECT_EQ(last->object, &menu);
        EXPECT_EQ(last->child, menu.actions().indexOf(menu.activeAction()));
        EXPECT_EQ(last->name, plain(menu.activeAction()->text()));
    }

private:
    QAccessible::UpdateHandler previous_ = nullptr;
};

TEST_F(PopupAccess, APopupIsAnnouncedWithItsItemsTheFocusedItemAndItsEnd) {
    struct Path {
        const char* name;
        std::function<void()> open;
    };
    const Path paths[] = {
        {"right-click", [this] { clickCell(1, 3, Qt::RightButton); }},
        {"Menu key", [] { key(Qt::Key_Menu); }},
        {"Shift+F10", [] { key(Qt::Key_F10, Qt::ShiftModifier); }},
        {"Alt+E", [] { key(Qt::Key_E, Qt::AltModifier); }},
    };
    open(Document::Full);
    showSheet("User Channels");
    clickCell(1, 3);
    ASSERT_TRUE(waitFor([] { return QAccessible::isActive(); }))
        << "no accessibility bus: run through withAccessBus.sh";

    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        heard.clear();
        path.open();
        QMenu* menu = waitForPopup();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(count(QAccessible::PopupMenuStart, menu), 1);

        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(menu);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::PopupMenu);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(a->childCount(), actions.size());
        QStringList names;
        int disabled = 0;
        for (int i = 0; i < actions.size(); ++i) {
            QAccessibleInterface* item = a->child(i);
            ASSERT_NE(item, nullptr);
            if (actions[i]->isSeparator()) {
                EXPECT_EQ(item->role(), QAccessible::Separator);
                continue;
            }
            EXPECT_EQ(item->role(), QAccessible::MenuItem);
            EXPECT_EQ(item->text(QAccessible::Name), plain(actions[i]->text()));
            EXPECT_EQ(item->state().disabled, !actions[i]->isEnabled()) << i;
            names << item->text(QAccessible::Name);
            disabled += item->state().disabled ? 1 : 0;
        }
        EXPECT_TRUE(names.contains("Copy Rows")) << names.join(", ").toStdString();
        EXPECT_GT(disabled, 0) << "nothing to paste yet";

        for (int step = 0; step < 2; ++step) {
            key(Qt::Key_Down);
            expectFocusOn(*menu);
        }

        key(Qt::Key_Escape);
        ASSERT_TRUE(waitForNoPopup());
        EXPECT_EQ(count(QAccessible::PopupMenuEnd, menu), 1);
        if (menu->parent() != sheet()->Grid())
            key(Qt::Key_Escape); // the menu bar hands the keyboard back too
        ASSERT_TRUE(waitFor([&] { return sheet()->Grid()->hasFocus(); }));
    }
}

} // namespace
