// The engine in the program's own context: the controller's document and modes,
// the settings store, and the selection lists of the installed overlay.
#include "main/controllerFixture.h"

#include "document/indMainCellContext.h"
#include "radio/ListEntry.h"
#include "radio/cellLabels.h"
#include "radio/cmcCellCapsule.h"
#include "radio/codecSteps.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcCellObj.h"

using namespace cmcCells;

namespace {

class MainCellContextTest : public ControllerTest {
protected:
    cmcCellCapsule evaluate(indMainCellContext& context, std::int32_t category, std::int32_t label,
                            std::int32_t index, std::int32_t action = 0,
                            const char* typedText = nullptr) {
        cell_ = cmcCellObj();
        cell_.category = category;
        cell_.label = label;
        cell_.index = index;
        cmcCellCapsule request;
        request.cell = &cell_;
        request.grid = &cell_; // any handle stands for the grid
        request.action = action;
        if (typedText != nullptr) {
            request.inputMode = cmcCellCapsule::kEditedText;
            request.inputText = typedText;
        }
        indActiveCell engine(context);
        evaluateCell(engine, request, false);
        return request;
    }

    cmcCellObj cell_;
};

TEST_F(MainCellContextTest, EveryCommonSettingShowsAnItemOfTheInstalledOverlay) {
    indMain& controller = makeController();
    indMainCellContext context(controller);
    for (std::int32_t label = CL_Comm_CloneComm; label <= CL_Comm_CallTime; ++label) {
        const std::string text = evaluate(context, CT_Null, label, 0).text;
        EXPECT_NE(text, "error") << label;
        EXPECT_EQ(text.find("*Yet*"), std::string::npos) << label;
    }
}

TEST_F(MainCellContextTest, ExpertSwitchLiftsTheRestriction) {
    indMain& plain = makeController();
    indMainCellContext plainContext(plain);
    EXPECT_EQ(evaluate(plainContext, CT_Edge_Rx, CL_EdgeFreq_Low, 0, '5').fontColour,
              cmcCodec::kOlive);
    indMain& expert = makeController({"marlo", "/expert"});
    indMainCellContext expertContext(expert);
    EXPECT_EQ(evaluate(expertContext, CT_Edge_Rx, CL_EdgeFreq_Low, 0, '5').fontColour,
              std::nullopt);
}

TEST_F(MainCellContextTest, EditsMarkTheControllersDocumentModified) {
    indMain& controller = makeController();
    controller.TakeSaved();
    indMainCellContext context(controller);
    evaluate(context, CT_UserCh, CL_UCh_CH, 3, 0, "42");
    ListEntry slot(&controller.CurrentImage());
    slot.load(listUserChannel, 3);
    EXPECT_EQ(slot.channelNumber, 42u);
    EXPECT_TRUE(controller.IsModified());
}

TEST_F(MainCellContextTest, MenuItemsChangeTheControllerAndTheSettings) {
    settings_->ModelType = 0;
    indMain& controller = makeController();
    indMainCellContext context(controller);

    evaluate(context, CT_Null, CL_Menu_Port_Com, 3, cmcCellCapsule::kEnter);
    EXPECT_EQ(settings_->ComPort, 3);
    EXPECT_TRUE(waitForMessage(evPortChanged));
    evaluate(context, CT_Null, CL_Menu_View_FontSize, 150, cmcCellCapsule::kEnter);
    EXPECT_EQ(settings_->FontSizePercentage, 150);
    EXPECT_TRUE(cell_.Flag(0)); // checked now

    prompter_.answerNext(PromptAnswer::Ok);
    evaluate(context, CT_Null, CL_Model, 1, cmcCellCapsule::kEnter);
    EXPECT_EQ(controller.ModelVariant(), 1);
}

} // namespace
