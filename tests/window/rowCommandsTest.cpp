// The row commands of a list sheet, reached as a person reaches them: the
// context menu by mouse and by keys, the Edit menu of the menu bar, and the
// shortcuts on the sheet. The same command must act alike on every path.
#include "windowFixture.h"

#include "views/sheet.h"

#include <QApplication>
#include <QMenu>

using namespace marlo;

namespace {

// How a command is chosen.
enum class Path { PopupMouse, PopupKeys, EditMenu, Shortcut };

struct RowCase {
    const char* item;     // the context menu's caption
    const char* mnemonic; // the caption with its marker, for the Edit menu
    int key;              // the shortcut
    Qt::KeyboardModifiers modifiers;
    bool asks; // a question comes first, answered OK
    // The channel numbers shown on rows 2..5 afterwards, with the cursor on row
    // 3 before (channel 3).
    const char* expected[4];
};

const RowCase kRowCases[] = {
    {"Move Down", "Move &Down", Qt::Key_Down, Qt::AltModifier, false, {"2", "4", "3", "5"}},
    {"Move Up", "Move &Up", Qt::Key_Up, Qt::AltModifier, false, {"3", "2", "4", "5"}},
    {"Insert Empty Rows",
     "&Insert Empty Rows",
     Qt::Key_Plus,
     Qt::ControlModifier,
     true,
     {"2", " ", "3", "4"}},
    {"Delete Rows", "De&lete Rows", Qt::Key_Minus, Qt::ControlModifier, true, {"2", "4", "5", "6"}},
    {"Clear Rows...", "Clea&r Rows...", Qt::Key_Delete, Qt::NoModifier, true, {"2", " ", "4", "5"}},
};

using RowParam = std::tuple<Path, std::size_t>;

class RowCommands : public WindowTest, public ::testing::WithParamInterface<RowParam> {
protected:
    // Chooses `c`'s command on the path under test; false when the path did not
    // offer it.
    bool choose(const RowCase& c) {
        switch (std::get<0>(GetParam())) {
        case Path::PopupMouse:
            clickCell(1, 3, Qt::RightButton);
            return clickPopupItem(c.item);
        case Path::PopupKeys:
            clickCell(1, 3, Qt::RightButton);
            return pickPopupItemByKeys(c.item);
        case Path::EditMenu:
            menuPath({"&Edit", c.mnemonic});
            return waitForNoPopup();
        case Path::Shortcut:
            key(c.key, c.modifiers);
            return true;
        }
        return false;
    }

    std::vector<std::string> channels() const {
        std::vector<std::string> shown;
        for (int row = 2; row <= 5; ++row)
            shown.push_back(cellText(1, row));
        return shown;
    }
};

TEST_P(RowCommands, ActOnTheCursorRowOnEveryPath) {
    const RowCase& c = kRowCases[std::get<1>(GetParam())];
    open(Document::Full);
    showSheet("User Channels");
    clickCell(1, 3);
    ASSERT_TRUE(waitFor([&] { return sheet()->Grid()->Row() == 3; }));

    if (c.asks)
        prompter_.answerNext(PromptAnswer::Ok);
    ASSERT_TRUE(choose(c)) << "not offered";
    const std::vector<std::string> expected(std::begin(c.expected), std::end(c.expected));
    EXPECT_TRUE(waitFor([&] { return channels() == expected; }))
        << channels()[0] << "," << channels()[1] << "," << channels()[2] << "," << channels()[3];
    EXPECT_TRUE(controller_->IsModified());
    EXPECT_TRUE(prompter_.scriptUsed());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    // Still usable: the next command on the same row works too.
    EXPECT_TRUE(form_->isEnabled());
    EXPECT_TRUE(sheet()->Grid()->hasFocus());
}

// The context menu by keyboard at the cursor cell, and the clipboard through
// the Edit menu's shortcuts while the sheet has the keyboard.
TEST_F(WindowTest, KeysOpenTheContextMenuAtTheCursorAndCopyAndPasteRows) {
    open(Document::Full);
    showSheet("User Channels");
    clickCell(1, 3);
    const QPoint cell = sheet()->Grid()->viewport()->mapToGlobal(cellCentre(1, 3));
    for (const auto& [k, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        key(k, modifiers);
        QMenu* menu = waitForPopup();
        ASSERT_NE(menu, nullptr) << k;
        EXPECT_LT((menu->geometry().topLeft() - cell).manhattanLength(), 60) << k;
        key(Qt::Key_Escape);
        ASSERT_TRUE(waitForNoPopup());
    }
    EXPECT_FALSE(controller_->IsModified());

    key(Qt::Key_C, Qt::ControlModifier);
    clickCell(1, 6);
    prompter_.answerNext(PromptAnswer::Ok); // pasting over a used row asks
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return cellText(1, 6) == "3"; })) << cellText(1, 6);
    EXPECT_EQ(cellText(1, 3), "3");
    EXPECT_EQ(cellText(1, 7), "7");
    EXPECT_TRUE(prompter_.scriptUsed());

    // The Edit menu offers what the context menu offers, enabled alike.
    menuPath({"&Edit"});
    QMenu* edit = waitForPopup();
    ASSERT_NE(edit, nullptr);
    for (const char* item : {"Copy Rows", "Paste Rows", "Move Up", "Move Down", "Delete Rows"}) {
        const auto actions = edit->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [&](QAction* a) { return plain(a->text()) == item; });
        ASSERT_NE(found, actions.end()) << item;
        EXPECT_TRUE((*found)->isEnabled()) << item;
    }
    key(Qt::Key_Escape);
    EXPECT_TRUE(waitForNoPopup());
}

std::string rowParamName(const ::testing::TestParamInfo<RowParam>& info) {
    static const char* paths[] = {"PopupMouse", "PopupKeys", "EditMenu", "Shortcut"};
    std::string item = kRowCases[std::get<1>(info.param)].item;
    std::erase_if(item, [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); });
    return std::string(paths[static_cast<int>(std::get<0>(info.param))]) + "_" + item;
}

INSTANTIATE_TEST_SUITE_P(Paths, RowCommands,
                         ::testing::Combine(::testing::Values(Path::PopupMouse, Path::PopupKeys,
                                                              Path::EditMenu, Path::Shortcut),
                                            ::testing::Range<std::size_t>(0, std::size(kRowCases))),
                         rowParamName);

} // namespace
