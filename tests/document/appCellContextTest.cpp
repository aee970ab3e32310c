// The engine in the program's own context: the controller's document and modes,
// the settings store, and the selection lists of the installed overlay.
#include "main/controllerFixture.h"

#include "document/appCellContext.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"

using namespace marlo;

using namespace CellLabel;

namespace {

class MainCellContextTest : public ControllerTest {
protected:
    CellRequest evaluate(AppCellContext& context, std::int32_t category, std::int32_t label,
                         std::int32_t index, std::int32_t action = 0,
                         const char* typedText = nullptr) {
        cell_ = CellModel();
        cell_.category = category;
        cell_.label = label;
        cell_.index = index;
        CellRequest request;
        request.cell = &cell_;
        request.grid = &cell_; // any handle stands for the grid
        request.action = action;
        if (typedText != nullptr) {
            request.inputMode = CellRequest::kEditedText;
            request.inputText = typedText;
        }
        CellEngine engine(context);
        evaluateCell(engine, request, false);
        return request;
    }

    CellModel cell_;
};

TEST_F(MainCellContextTest, EveryCommonSettingShowsAnItemOfTheInstalledOverlay) {
    RadioAppController& controller = makeController();
    AppCellContext context(controller);
    for (std::int32_t label = CL_Comm_CloneComm; label <= CL_Comm_CallTime; ++label) {
        const std::string text = evaluate(context, CT_Null, label, 0).text;
        EXPECT_NE(text, "error") << label;
        EXPECT_EQ(text.find("*Yet*"), std::string::npos) << label;
    }
}

TEST_F(MainCellContextTest, ExpertSwitchLiftsTheRestriction) {
    RadioAppController& plain = makeController();
    AppCellContext plainContext(plain);
    EXPECT_EQ(evaluate(plainContext, CT_Edge_Rx, CL_EdgeFreq_Low, 0, '5').fontColour,
              codec::kOlive);
    RadioAppController& expert = makeController({"marlo", "/expert"});
    AppCellContext expertContext(expert);
    EXPECT_EQ(evaluate(expertContext, CT_Edge_Rx, CL_EdgeFreq_Low, 0, '5').fontColour,
              std::nullopt);
}

TEST_F(MainCellContextTest, EditsMarkTheControllersDocumentModified) {
    RadioAppController& controller = makeController();
    controller.TakeSaved();
    AppCellContext context(controller);
    evaluate(context, CT_UserCh, CL_UCh_CH, 3, 0, "42");
    ListRecord slot(&controller.CurrentImage());
    slot.Load(listUserChannel, 3);
    EXPECT_EQ(slot.channelNumber, 42u);
    EXPECT_TRUE(controller.IsModified());
}

TEST_F(MainCellContextTest, MenuItemsChangeTheControllerAndTheSettings) {
    settings_->ModelType = 0;
    RadioAppController& controller = makeController();
    AppCellContext context(controller);

    evaluate(context, CT_Null, CL_Menu_Port_Com, 3, CellRequest::kEnter);
    EXPECT_EQ(settings_->ComPort, 3);
    EXPECT_TRUE(waitForMessage(evPortChanged));
    evaluate(context, CT_Null, CL_Menu_View_FontSize, 150, CellRequest::kEnter);
    EXPECT_EQ(settings_->FontSizePercentage, 150);
    EXPECT_TRUE(cell_.Flag(0)); // checked now

    prompter_.answerNext(PromptAnswer::Ok);
    evaluate(context, CT_Null, CL_Model, 1, CellRequest::kEnter);
    EXPECT_EQ(controller.ModelVariant(), 1);
}

} // namespace
