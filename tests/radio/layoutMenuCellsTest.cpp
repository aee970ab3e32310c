#include "cellEngineFixture.h"

#include "platform/programPath.h"
#include "radio/cellLabels.h"
#include "radio/codecSteps.h"

using namespace marlo;

using namespace CellLabel;
using ::testing::_;
using ::testing::Return;

namespace {

constexpr std::int32_t kLastRow = 30832 / 16 - 1; // the last row of the difference span

// Raw bytes.

TEST_F(CellEngineTest, DifferenceSearchWrapsAndStopsAtTheFirstByte) {
    context_.current.SetByte(5, 0x11);
    context_.current.SetByte(30000, 0x22);
    const auto found = [&](std::int32_t row, std::int32_t label, std::int32_t action) {
        flushHub();
        const std::size_t before = delivered(evDifferenceFound).size();
        key(CT_Null, label, row, action);
        flushHub();
        const auto messages = delivered(evDifferenceFound);
        return messages.size() == before ? -1 : messages.back().value;
    };
    EXPECT_EQ(found(kLastRow, CL_EeDebugWin_F, CellRequest::kF3), 5); // on from byte 0
    EXPECT_EQ(found(1, CL_EeDebugWin_4, CellRequest::kF3), 30000);
    EXPECT_EQ(found(1, CL_EeDebugWin_4, CellRequest::kF4), 5);
    EXPECT_EQ(found(0, CL_EeDebugWin_5, CellRequest::kF4), -1); // nothing before byte 5
}

TEST_F(CellEngineTest, RawByteIsTypedInHexAndRedWhileChanged) {
    EXPECT_EQ(shown(CT_Null, CL_EeDebugWin_Adr, 2).text, "  20");
    const CellOutcome out = typed(CT_Null, CL_EeDebugWin_3, 2, "a5");
    EXPECT_EQ(byteAt(35), 0xA5);
    EXPECT_EQ(out.text, "A5");
    EXPECT_EQ(out.fontColour, codec::kRed);
    flushHub();
    EXPECT_EQ(delivered(evRepaintAll).size(), 1u);
    EXPECT_CALL(commands_, OpenBitEditor(_, 0xA5, _));
    EXPECT_EQ(key(CT_Null, CL_EeDebugWin_3, 2, CellRequest::kEnter).result, CellResult::ListOpened);
    // A row past the image's end has no bytes.
    EXPECT_EQ(typed(CT_Null, CL_EeDebugWin_0, 40000, "12").text, "");
}

TEST_F(CellEngineTest, FreeBytesAndSelfIdStayInsideTheImage) {
    typed(CT_Null, CL_Free_Byte_Dec, 100, "300");
    EXPECT_EQ(byteAt(100), 255);
    EXPECT_EQ(typed(CT_Null, CL_Free_Byte_Dec, 40000, "1").text, "");
    EXPECT_EQ(typed(CT_Null, CL_Free_DscId, 33266, "123456789").text, "");

    setByte(1000, 200);
    EXPECT_EQ(shown(CT_Null, CL_Free_DscId, 1000).text, "No ID");
    typed(CT_Null, CL_Free_DscId, 1000, "123456789");
    EXPECT_EQ(shown(CT_Null, CL_Free_DscId, 1000).text, "123456789");
    EXPECT_EQ(byteAt(1000), 12);
}

// Layout cells.

TEST_F(CellEngineTest, RowNumbers) {
    EXPECT_EQ(shown(CT_Null, CL_Misc_ChNo_0Base, 4).text, "4");
    EXPECT_EQ(shown(CT_Null, CL_Misc_ChNo_1Base, 4).text, "5");
    EXPECT_EQ(shown(CT_Null, CL_Misc_ChNo_1Base_Self, 4).text, "S5");
    EXPECT_EQ(shown(CT_Null, CL_Misc_ChNo_1Base_Tel, 99).text, "T100");
}

class RecordingCanvas : public CellCanvas {
public:
    void FillBox(const CellRect& box, Colour colour) override {
        boxes.push_back({box.left, box.top, box.right, box.bottom, static_cast<int>(colour)});
    }
    void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  Colour colour) override {
        lines.push_back({x1, y1, x2, y2, static_cast<int>(colour)});
    }
    std::vector<std::array<int, 5>> boxes;
    std::vector<std::array<int, 5>> lines;
};

TEST_F(CellEngineTest, PillarAndCannotEditPaintOnTheCanvas) {
    RecordingCanvas canvas;
    CellRequest pillar;
    pillar.canvas = &canvas;
    pillar.rect = CellRect{10, 100, 30, 120};
    evaluate(newCell(CT_Null, CL_Misc_QuarterPillar, 0), pillar);
    ASSERT_EQ(canvas.boxes.size(), 1u);
    EXPECT_EQ(canvas.boxes[0], (std::array<int, 5>{10, 114, 30, 120, 0x808080}));

    CellRequest struck;
    struck.canvas = &canvas;
    struck.rect = CellRect{10, 100, 30, 120};
    const CellOutcome out = evaluate(newCell(CT_Null, CL_CannotEdit, 0), struck);
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0], (std::array<int, 5>{29, 100, 10, 119, 0x808080}));
    EXPECT_EQ(out.fontColour, codec::kOlive);

    // Without a canvas nothing is painted (a query).
    shown(CT_Null, CL_Misc_QuarterPillar, 0);
    EXPECT_EQ(canvas.boxes.size(), 1u);
}

TEST_F(CellEngineTest, CloneInformationFromTheRadiosAnswer) {
    auto& block = context_.radioInfo.block;
    block[1] = 0x23;
    block[23] = 1;
    // The comment fills bytes 3..22, between the map revision and the variant.
    const std::string comment = "SIMULATED RADIO 0001";
    std::copy(comment.begin(), comment.end(), block.begin() + 3);
    block[4] = 0x07; // not printable
    EXPECT_EQ(shown(CT_Null, CL_CloneInfo_Model, 0).text, "Model B");
    EXPECT_EQ(shown(CT_Null, CL_CloneInfo_Revision, 0).text, "2.3");
    EXPECT_EQ(shown(CT_Null, CL_CloneInfo_Comment, 0).text, "S MULATED RADIO 0001");
    EXPECT_EQ(key(CT_Null, CL_CloneInfo_Comment, 0, '1').result, CellResult::None);
    block[23] = 7;
    EXPECT_EQ(shown(CT_Null, CL_CloneInfo_Model, 0).text, "");
}

// Checks of the warnings list.

TEST_F(CellEngineTest, ChecksReportTheirLists) {
    const auto check = [&](std::int32_t label) { return shown(CT_Null, label, 0); };
    putChannel(0, 1, 7'100'000, 7'100'000);
    putChannel(1, 2, 7'100'000, 7'100'000);
    EXPECT_FALSE(check(CL_Check_UserCh).invalid());
    EXPECT_FALSE(check(CL_Check_UserCh).duplicate());
    putChannel(499, 2, 7'100'000, 7'100'000);
    EXPECT_TRUE(check(CL_Check_UserCh).invalid());
    putAleAddress(0, "FOX");
    putAleAddress(1, "FOX");
    putChannel(300, 3, 7'100'000, 7'100'000, 6, 3, 1);
    EXPECT_TRUE(check(CL_Check_UserCh).duplicate());
    EXPECT_TRUE(check(CL_Check_AleId).duplicate());

    EXPECT_FALSE(check(CL_Check_SelCallId).duplicate());
    putSelCallId(10, {1, 2, 3});
    putSelCallId(99, {1, 2, 3});
    EXPECT_TRUE(check(CL_Check_SelCallId).duplicate());

    EXPECT_FALSE(check(CL_Check_FreqRange).invalid());
    putEdge(listTxEdge, 10, 9'000'000, 8'000'000);
    EXPECT_TRUE(check(CL_Check_FreqRange).invalid());
}

// Menu items: commands on Enter, states in the user flags.

enum { Checked = 0, Hidden = 1, Disabled = 2, OwnCaption = 3 };

TEST_F(CellEngineTest, SaveAsksForANameWhileTheDocumentHasNone) {
    EXPECT_CALL(commands_, FileSaveAs());
    EXPECT_CALL(commands_, FileSave());
    shown(CT_Null, CL_Menu_File_Save, 0); // a state query runs nothing
    key(CT_Null, CL_Menu_File_Save, 0, CellRequest::kEnter);
    context_.documentName = "/tmp/a.vcf";
    key(CT_Null, CL_Menu_File_Save, 0, CellRequest::kEnter);
}

TEST_F(CellEngineTest, PrintCurrentOnlyWhenThereIsASheetToPrint) {
    EXPECT_CALL(commands_, CanPrintCurrent()).WillRepeatedly(Return(false));
    EXPECT_CALL(commands_, PrintCurrent()).Times(0);
    EXPECT_TRUE(key(CT_Null, CL_Menu_File_Print_Current, 0, CellRequest::kEnter).flag(Disabled));
    ::testing::Mock::VerifyAndClearExpectations(&commands_);
    EXPECT_CALL(commands_, CanPrintCurrent()).WillRepeatedly(Return(true));
    EXPECT_CALL(commands_, PrintCurrent());
    EXPECT_FALSE(key(CT_Null, CL_Menu_File_Print_Current, 0, CellRequest::kEnter).flag(Disabled));
}

TEST_F(CellEngineTest, RecentFilesShowTheirNumberAndName) {
    context_.recent = {"a.vcf", "b.vcf"};
    CellOutcome out = shown(CT_Null, CL_Menu_File_Recent, 1);
    EXPECT_EQ(out.text, "&2 b.vcf");
    EXPECT_TRUE(out.flag(OwnCaption));
    EXPECT_FALSE(out.flag(Disabled));
    EXPECT_FALSE(out.flag(Hidden));
    context_.recent.clear();
    out = shown(CT_Null, CL_Menu_File_Recent, 0);
    EXPECT_TRUE(out.flag(Disabled));
    EXPECT_FALSE(out.flag(Hidden)); // the first stays, greyed
    out = shown(CT_Null, CL_Menu_File_Recent, 3);
    EXPECT_TRUE(out.flag(Disabled));
    EXPECT_TRUE(out.flag(Hidden));

    context_.recent = {"a.vcf", "b.vcf"};
    EXPECT_CALL(commands_, FileOpenRecent(1));
    key(CT_Null, CL_Menu_File_Recent, 1, CellRequest::kEnter);
    key(CT_Null, CL_Menu_File_Recent, 5, CellRequest::kEnter); // empty: nothing
}

TEST_F(CellEngineTest, SettingsItemsAreCheckedAndChangeTheirSetting) {
    context_.fontSize = 125;
    EXPECT_TRUE(shown(CT_Null, CL_Menu_View_FontSize, 125).flag(Checked));
    EXPECT_FALSE(shown(CT_Null, CL_Menu_View_FontSize, 100).flag(Checked));
    EXPECT_CALL(commands_, FontSizeChanged());
    key(CT_Null, CL_Menu_View_FontSize, 150, CellRequest::kEnter);
    EXPECT_EQ(context_.fontSize, 150);
    key(CT_Null, CL_Menu_View_FontSize, 5000, CellRequest::kEnter); // not a size
    EXPECT_EQ(context_.fontSize, 150);

    context_.comPort = 2;
    EXPECT_TRUE(shown(CT_Null, CL_Menu_Port_Com, 2).flag(Checked));
    EXPECT_FALSE(shown(CT_Null, CL_Menu_Port_Usb, 0).flag(Checked));
    key(CT_Null, CL_Menu_Port_Com, 3, CellRequest::kClick);
    EXPECT_EQ(context_.comPort, 3);
    EXPECT_EQ(delivered(evPortChanged).size(), 1u); // sent at once
    context_.comPort = 5;
    EXPECT_TRUE(shown(CT_Null, CL_Menu_Port_Usb, 0).flag(Checked));
    EXPECT_CALL(commands_, PortDialog());
    key(CT_Null, CL_Menu_Port_Usb, 0, CellRequest::kEnter);

    context_.toolBar = false;
    EXPECT_FALSE(shown(CT_Null, CL_Menu_View_ToolBar, 0).flag(Checked));
    EXPECT_CALL(commands_, ToggleToolBar());
    key(CT_Null, CL_Menu_View_ToolBar, 0, CellRequest::kEnter);

    context_.variant = 1;
    EXPECT_TRUE(shown(CT_Null, CL_Model, 1).flag(Checked));
    EXPECT_FALSE(shown(CT_Null, CL_Model, 0).flag(Checked));
    key(CT_Null, CL_Model, 0, CellRequest::kEnter);
    key(CT_Null, CL_Model, 9, CellRequest::kEnter); // no such variant
    EXPECT_EQ(context_.changedModelTo, std::vector<int>{0});
}

TEST_F(CellEngineTest, HelpAboutAndSheetItems) {
    EXPECT_CALL(commands_, OpenHelp(programFilesDir() + "Marlo.html"));
    key(CT_Null, CL_Help_Contents, 0, CellRequest::kEnter);
    key(CT_Null, CL_Help_About, 0, CellRequest::kEnter);
    flushHub();
    EXPECT_EQ(delivered(evShowAbout).size(), 1u);

    CellModel& sheet = newCell(CT_Null, CallSheet, 0);
    sheet.parameter = "GI_Sheet_UserCh";
    EXPECT_CALL(commands_, CallSheet(std::string("GI_Sheet_UserCh")));
    runCell(engine_, sheet, CellRequest::kEnter);
}

TEST_F(CellEngineTest, EditMenuGetsTheNoItemEntry) {
    int menu = 0;
    EXPECT_CALL(commands_, MainMenu()).WillRepeatedly(Return(&menu));
    // Only an empty Edit menu gets the entry: it never trails a sheet's items.
    EXPECT_CALL(commands_, MainMenuSubItems(CL_Menu_Edit_Top)).WillRepeatedly(Return(3));
    shown(CT_Null, CL_Menu_Edit_Top, 0);
    flushHub();
    EXPECT_TRUE(delivered(evFillMenuItem).empty());
    EXPECT_CALL(commands_, MainMenuSubItems(CL_Menu_Edit_Top)).WillRepeatedly(Return(0));
    shown(CT_Null, CL_Menu_Edit_Top, 0);
    flushHub();
    const auto fills = delivered(evFillMenuItem);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].object, &menu);
    EXPECT_EQ(fills[0].value, CL_Menu_Edit_Top);
    EXPECT_EQ(fills[0].Text(), "GI_PMenu_NoItem");

    EXPECT_CALL(commands_, MainMenuSubItems(CL_Menu_Edit_Top)).WillRepeatedly(Return(1));
    CellOutcome noItem = shown(CT_PopupMenu, CL_PMenu_NoItem, 0);
    EXPECT_TRUE(noItem.flag(Disabled));
    EXPECT_FALSE(noItem.flag(Hidden));
    EXPECT_CALL(commands_, MainMenuSubItems(CL_Menu_Edit_Top)).WillRepeatedly(Return(4));
    EXPECT_TRUE(shown(CT_PopupMenu, CL_PMenu_NoItem, 0).flag(Hidden));
}

TEST_F(CellEngineTest, ContextItemsFollowTheListOfTheClickedRow) {
    context_.clipboard.CopyFrom(context_.current, listSelCallId, 0, 2);
    const auto itemFor = [&](std::int32_t label, std::int32_t rowCategory) {
        CellModel& row = newCell(rowCategory, CL_Misc_ChNo_1Base, 3);
        CellRequest rowRequest;
        rowRequest.cell = &row;
        CellRequest request;
        request.partner = &rowRequest;
        return evaluate(newCell(CT_PopupMenu, label, 0), request);
    };
    EXPECT_FALSE(itemFor(CL_PMenu_Paste, CT_SelCallID).flag(Disabled));
    EXPECT_TRUE(itemFor(CL_PMenu_Paste, CT_UserCh).flag(Disabled));
    EXPECT_TRUE(shown(CT_PopupMenu, CL_PMenu_Paste, 0).flag(Disabled)); // no row
    for (std::int32_t label = CL_PMenu_CarryUp; label <= CL_PMenu_Insert; ++label) {
        EXPECT_FALSE(itemFor(label, CT_UserCh).flag(Disabled));
        EXPECT_TRUE(itemFor(label, CT_ModeReg).flag(Disabled));
    }
}

} // namespace
