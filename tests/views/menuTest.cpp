#include "sheetFixture.h"

#include "views/menu.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace marlo;

using namespace CellLabel;

namespace {

// A main menu "M": File with New (Ctrl+N) and a recent-file item the engine
// captions itself, a separator, a sub-menu; and the Edit item of label 35.
class MenuTest : public SheetTest {
protected:
    MenuTest() {
        lines.insert(lines.end(),
                     {"#M_BasicCell", "{(%CT_Null.)}", "#M_Body", "+&File",
                      " +&New\t{(%CL_Menu_File_New:Ctrl+N)}",
                      " +Recent\t{(%CL_Menu_File_Recent[0]:Nonsense)}", " +-", " +&Port",
                      "  +COM1\t{(%CL_Menu_Port_Com[1])}", "  +COM2\t{(%CL_Menu_Port_Com[2])}",
                      " +E&xit\t{(%CL_Menu_File_Exit)}", "+&Edit\t{(%CL_Menu_Edit_Top)}", "#"});
    }

    // The items under `menu`, by caption ("-" for separators).
    static std::vector<std::string> captions(QWidget* menu) {
        std::vector<std::string> out;
        for (QAction* a : menu->actions())
            out.push_back(a->isSeparator() ? "-" : a->text().toStdString());
        return out;
    }
    static QMenu* subOf(QAction* item) { return item != nullptr ? item->menu() : nullptr; }

    std::unique_ptr<Menu> MainMenu(QWidget* root, Menu::ClickHandler handler = {}) {
        auto menu = std::make_unique<Menu>(root, root, Store(), "M", std::move(handler));
        menu->SetEngine([this](CellRequest& r, bool notify) { return engine(r, notify); });
        menu->Build();
        return menu;
    }
};

TEST_F(MenuTest, ItemsNestByLeadingCharactersWithSeparatorsAndShortcutsFromTheirParameter) {
    QMenuBar bar;
    auto menu = MainMenu(&bar);
    EXPECT_EQ(captions(&bar), (std::vector<std::string>{"&File", "&Edit"}));
    QMenu* file = subOf(bar.actions().at(0));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(captions(file), (std::vector<std::string>{"&New", "Recent", "-", "&Port", "E&xit"}));
    EXPECT_EQ(captions(subOf(file->actions().at(3))), (std::vector<std::string>{"COM1", "COM2"}));
    EXPECT_EQ(file->actions().at(0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_TRUE(file->actions().at(1)->shortcut().isEmpty());
    EXPECT_EQ(menu->FindByLabel(CL_Menu_Port_Com), subOf(file->actions().at(3))->actions().at(0));

    // The same body under a plain menu, and a rebuild leaves no stale items.
    QMenu popup;
    Menu again(&popup, &popup, Store(), "M");
    again.Build();
    again.Build();
    EXPECT_EQ(captions(&popup), (std::vector<std::string>{"&File", "&Edit"}));
    EXPECT_EQ(captions(subOf(popup.actions().at(0))).size(), 5u);
}

TEST_F(MenuTest, TheEngineDecidesCheckedHiddenDisabledAndCaptionOnEveryRefresh) {
    QMenuBar bar;
    auto menu = MainMenu(&bar);
    std::uint8_t flags = 0;
    engine.respond = nullptr;
    menu->SetEngine([&](CellRequest& r, bool) -> std::uint8_t {
        if (r.cell->label == CL_Menu_Port_Com && r.cell->index == 2)
            r.cell->behaviour |= flags;
        if (r.cell->label == CL_Menu_File_Recent) {
            // As the engine's recent-file cell answers: the caption is the
            // evaluated text; the item's own text stays the overlay's placeholder.
            r.cell->behaviour |= CellBehaviour::Flag0 << 3;
            r.text = "&1 radio.vcf";
        }
        return 0;
    });
    auto* port = qobject_cast<QMenu*>(menu->FindByLabel(CL_Menu_Port_Com)->parent());
    ASSERT_NE(port, nullptr);
    QAction* com2 = port->actions().at(1);
    ASSERT_NE(com2, nullptr);

    flags = CellBehaviour::Flag0; // checked
    hub.Send(evRefreshMenus);
    EXPECT_TRUE(com2->isChecked());
    EXPECT_TRUE(com2->isVisible());
    flags = CellBehaviour::Flag0 << 1; // hidden
    hub.Send(evRefreshMenus);
    EXPECT_FALSE(com2->isVisible());
    EXPECT_FALSE(com2->isChecked());
    flags = CellBehaviour::Flag0 << 2; // disabled
    menu->RefreshStates();
    EXPECT_TRUE(com2->isVisible());
    EXPECT_FALSE(com2->isEnabled());
    flags = 0; // nothing: visible, enabled, unchecked
    menu->RefreshStates();
    EXPECT_TRUE(com2->isVisible());
    EXPECT_TRUE(com2->isEnabled());
    EXPECT_FALSE(com2->isChecked());
    EXPECT_EQ(menu->FindByLabel(CL_Menu_File_Recent)->text(), "&1 radio.vcf");
}

TEST_F(MenuTest, TheEditItemFollowsTheFocusedSheetsContextMenuAndRunsItsCommands) {
    defineList(*this);
    QMenuBar bar;
    auto menu = MainMenu(&bar);
    QAction* edit = menu->FindByLabel(CL_Menu_Edit_Top);
    ASSERT_NE(edit, nullptr);
    Make("L");
    ASSERT_NE(subOf(edit), nullptr);
    EXPECT_EQ(captions(subOf(edit)),
              (std::vector<std::string>{"&Edit...", "-", "&Paste", "Nothing"}));

    // Choosing there is choosing in the sheet's own menu: a command on its cursor cell.
    QTest::keyClick(sheet->Grid(), Qt::Key_Down);
    engine.calls.clear();
    subOf(edit)->actions().at(2)->trigger();
    ASSERT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(engine.calls[0].command, CL_PMenu_Paste);
    EXPECT_EQ(engine.calls[0].label, CL_UCh_CH);
    EXPECT_EQ(engine.calls[0].index, 1);

    // Message 10 empties the item; message 11 fills it again from a key.
    hub.Send(evClearMenuItem, nullptr, CL_Menu_Edit_Top);
    EXPECT_TRUE(subOf(edit)->actions().isEmpty());
    hub.SendText(evFillMenuItem, sheet->ContextMenuBuilder(), CL_Menu_Edit_Top, "GI_PMenu_T");
    EXPECT_EQ(subOf(edit)->actions().size(), 4);

    // The grid losing the focus takes its items away.
    QWidget elsewhere(host.get());
    elsewhere.setFocusPolicy(Qt::StrongFocus);
    elsewhere.show();
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(subOf(edit)->actions().isEmpty());
    EXPECT_EQ(sheet->ContextMenuBuilder(), nullptr);
}

TEST_F(MenuTest, ADefaultClickRunsTheItemWithEnterOnTheFocusedSheetsCursorCell) {
    defineList(*this);
    Make("L");
    QMenuBar bar;
    auto menu = MainMenu(&bar);
    engine.calls.clear();
    menu->FindByLabel(CL_Menu_File_New)->trigger();
    ASSERT_FALSE(engine.calls.empty());
    EXPECT_EQ(engine.calls[0].label, CL_Menu_File_New);
    EXPECT_EQ(engine.calls[0].action, CellRequest::kEnter);
    EXPECT_TRUE(engine.calls[0].hasPartner) << "the sheet's cursor cell is the choice";

    // A handler given to the builder takes the clicks instead.
    std::vector<std::int32_t> handled;
    auto own = MainMenu(&bar, [&](Menu&, CellModel& m) { handled.push_back(m.label); });
    engine.calls.clear();
    own->FindByLabel(CL_Menu_File_Exit)->trigger();
    EXPECT_EQ(handled, std::vector<std::int32_t>{CL_Menu_File_Exit});
    EXPECT_TRUE(engine.calls.empty());
}

} // namespace
