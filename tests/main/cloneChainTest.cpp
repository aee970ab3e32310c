#include "clone/cloneMessages.h"
#include "clone/cloneOutcome.h"
#include "clone/cloneResult.h"
#include "cloneChainFixture.h"
#include "core/modelIdentity.h"
#include "document/radioBase.h"
#include "overlay/overlayTexts.h"
#include "radio/cloneWriteImage.h"
#include "support/eventLoop.h"

#include <gtest/gtest.h>

#include <functional>

using namespace marlo;

namespace {

using R = CloneResult;
using Fault = RadioSim::Fault;
using C = CloneCommands;

const std::string title() {
    return OverlayTexts::App().GetLine("GI_Sys_AppTitle", 0);
}

TEST_F(CloneChainTest, InfoIdentifiesTheRadio) {
    ASSERT_EQ(run(&C::Info), 0);
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(controller_->LastRadioInfo.value1, 0x2620);
    EXPECT_EQ(controller_->LastRadioInfo.value2, 1);
    const std::vector<std::uint8_t> reply = sim_.InformationReply();
    EXPECT_TRUE(std::equal(reply.begin() + 9, reply.begin() + 41,
                           controller_->LastRadioInfo.block.begin()));
    EXPECT_EQ(progress_.events, (std::vector<std::string>{"start", "end"}));
    EXPECT_FALSE(manager().IsBusy());
    EXPECT_TRUE(portIsFree(sim_.DevicePath()));
}

TEST_F(CloneChainTest, InfoFailuresEndWithTheirCodeAndMessage) {
    const struct {
        const char* name;
        std::function<void(RadioSim&)> setUp;
        int code;
    } rows[] = {
        {"no answer", [](RadioSim& s) { s.SetFault(Fault::EchoOnly); }, 5},
        {"second value 2", [](RadioSim& s) { s.SetFault(Fault::WrongSecond); }, 11},
        {"31-byte block", [](RadioSim& s) { s.SetFault(Fault::ShortInfo); }, 11},
        {"other variant", [](RadioSim& s) { s.SetVariant(1); }, 13},
        {"map revision 5", [](RadioSim& s) { s.SetMapRevision(5); }, 14},
        {"garbage flood", [](RadioSim& s) { s.SetFault(Fault::Flood); }, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RadioSim sim;
        row.setUp(sim);
        ASSERT_TRUE(sim.Start());
        manager().SetPort({0, sim.DevicePath()});
        prompter_.clear();
        progress_.events.clear();

        EXPECT_EQ(run(&C::Read), row.code);
        ASSERT_EQ(prompter_.shown().size(), 1u);
        const ScriptedPrompter::Shown& box = prompter_.shown()[0];
        EXPECT_EQ(box.caption, title());
        EXPECT_EQ(box.icon, PromptIcon::Error);
        EXPECT_EQ(box.text, cloneMessage(static_cast<std::uint8_t>(row.code), ""));
        // The read never started: no progress was shown and the document is as new.
        EXPECT_EQ(progress_.events, (std::vector<std::string>{"start", "end"}));
        EXPECT_EQ(sim.Stats().readRequests, 0);
        EXPECT_FALSE(controller_->IsModified());
    }
}

TEST_F(CloneChainTest, NoSecondChainStartsWhileOneRuns) {
    int calls = 0;
    const auto count = [&](int) { ++calls; };
    ASSERT_TRUE(commands_->Read(count));
    EXPECT_FALSE(commands_->Info(count));
    EXPECT_FALSE(commands_->Read(count));
    EXPECT_FALSE(commands_->Write(count));
    // And still once the chain has moved on to its read.
    ASSERT_TRUE(runEventLoopUntil([&] { return sim_.Stats().readRequests == 1; }));
    EXPECT_FALSE(commands_->Info(count));
    EXPECT_FALSE(manager().StartInformation([&](R&) { ++calls; }));
    ASSERT_TRUE(runEventLoopUntil([&] { return calls > 0; }, 60000));
    runEventLoopFor(100);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sim_.Stats().informationRequests, 1);
    EXPECT_EQ(sim_.Stats().writeRequests, 0);
}

TEST_F(CloneChainTest, PortThatCannotBeOpenedNamesTheDeviceAndWhy) {
    manager().SetPort({0, "/dev/marlo-no-such-port"});
    EXPECT_EQ(run(&C::Info), R::codePortError);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    const std::string text = prompter_.lastText();
    const std::string first = text.substr(0, text.find('\n'));
    EXPECT_EQ(first, formatPortLine(OverlayTexts::App().GetLine("GI_Mess_CloneErr_Head", 2),
                                    "/dev/marlo-no-such-port"));
    EXPECT_NE(text.find("\"/dev/marlo-no-such-port\" does not exist"), std::string::npos) << text;
    // Then what the serial doctor found.
    EXPECT_NE(text.find("\n\nThe serial port /dev/marlo-no-such-port:\n"
                        "/dev/marlo-no-such-port does not exist.\n"),
              std::string::npos)
        << text;
}

TEST_F(CloneChainTest, ReadMakesTheRadioTheUntitledModifiedDocument) {
    controller_->SetDocumentName("/somewhere/old.vcf");
    ASSERT_EQ(run(&C::Read), 0);
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_TRUE(controller_->IsModified());
    EXPECT_EQ(controller_->DocumentName(), "");
    const MemoryImage& document = controller_->CurrentImage();
    for (std::int32_t a = 0x02B0; a <= 0x6C3F; ++a)
        ASSERT_EQ(document.GetByte(a), sim_.Image().GetByte(a)) << "at " << a;
    // The radio base is the radio's memory as it arrived, before AfterLoad.
    ASSERT_NE(controller_->RadioBase(), nullptr);
    EXPECT_TRUE(controller_->RadioBase()->image.Equals(sim_.Image()));
    ASSERT_TRUE(controller_->RadioBase()->radio.has_value());
    EXPECT_EQ(controller_->RadioBase()->radio->block, controller_->LastRadioInfo.block);
    ASSERT_GE(progress_.events.size(), 5u);
    EXPECT_EQ(progress_.events[2], "transfer 27024");
    EXPECT_EQ(progress_.events[progress_.events.size() - 2], "progress 27024");
    EXPECT_EQ(progress_.events.back(), "end");
}

TEST_F(CloneChainTest, FailedReadsLeaveTheDocumentAlone) {
    MemoryImage before;
    before.Assign(controller_->CurrentImage());
    const struct {
        const char* name;
        std::function<void()> setUp;
        int code;
    } rows[] = {
        {"signature differs",
         [&] {
             MemoryImage i;
             makeRadioImage(i, 0);
             i.SetByte(0x6C2C, 'v');
             sim_.SetImage(i);
         },
         15},
        {"cable pulled mid-read",
         [&] {
             sim_.SetImage(before);
             progress_.onStart = [&](bool transfer) {
                 if (transfer)
                     sim_.SetFault(Fault::HangUp);
             };
         },
         17},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.setUp();
        prompter_.clear();
        EXPECT_EQ(run(&C::Read), row.code);
        EXPECT_EQ(prompter_.shown().size(), 1u);
        EXPECT_TRUE(controller_->CurrentImage().Equals(before));
        EXPECT_FALSE(controller_->IsModified());
        EXPECT_FALSE(manager().IsBusy());
    }
    // The engine is ready again once the line is back.
    EXPECT_EQ(sim_.Stats().hangUps, 1);
    progress_.onStart = nullptr;
    sim_.SetFault(Fault::None);
    manager().SetPort({0, sim_.DevicePath()});
    prompter_.clear();
    EXPECT_EQ(run(&C::Info), 0);
}

TEST_F(CloneChainTest, WriteSendsThePreparedDocumentButNotTheIdentityBytes) {
    MemoryImage radio;
    radio.Assign(sim_.Image());
    for (std::int32_t a = 0x6C1A; a <= 0x6C24; ++a)
        radio.SetByte(a, 0x5A);
    sim_.SetImage(radio);
    makeRadioImage(controller_->CurrentImage(), 0, "NEW NAME");
    controller_->TakeSaved();

    prompter_.answerNext(PromptAnswer::Ok);
    ASSERT_TRUE(commands_->WriteCommand([](int) {}));
    ASSERT_TRUE(runEventLoopUntil([&] { return prompter_.shown().size() == 2; }, 60000));
    EXPECT_EQ(prompter_.shown()[0].text, OverlayTexts::App().GetText("GI_Mess_Confirm_CloneWrite"));
    EXPECT_EQ(prompter_.shown()[1].text,
              OverlayTexts::App().GetText("GI_Mess_CloneWrite_Succeeded"));

    const MemoryImage& sent = controller_->CurrentImage(); // as prepared for sending
    for (std::int32_t a = 0x02B0; a <= 0x6C3F; ++a) {
        const bool identity = a >= 0x6C1A && a <= 0x6C24;
        ASSERT_EQ(sim_.Image().GetByte(a), identity ? 0x5A : sent.GetByte(a)) << "at " << a;
    }
    EXPECT_EQ(sim_.Stats().lastWriteResult, 0);
    EXPECT_FALSE(controller_->IsModified()); // the preparation alone changes nothing
    ASSERT_NE(controller_->RadioBase(), nullptr);
    EXPECT_TRUE(controller_->RadioBase()->image.Equals(sent));
}

TEST_F(CloneChainTest, WriteEndsWithTheWritesCode) {
    controller_->SetRadioBase(sim_.Image(), controller_->LastRadioInfo);
    sim_.SetFault(Fault::RefusedWrite);
    EXPECT_EQ(run(&C::Write), R::codeWriteRefused);
    EXPECT_EQ(prompter_.lastText(), cloneMessage(R::codeWriteRefused, ""));
    // The radio may now hold anything: nothing may be sent as a difference to it.
    EXPECT_EQ(controller_->RadioBase(), nullptr);
}

// A controller whose warnings check finds an error.
class ErrorsController : public RadioAppController {
public:
    ErrorsController() : RadioAppController({"marlo"}) {}
    void CheckWarnings(int& errors, int& warnings) override {
        errors = 1;
        warnings = 0;
    }
};

TEST_F(CloneChainTest, WriteCommandSendsNothingWithErrorsOrWithoutConfirmation) {
    prompter_.answerNext(PromptAnswer::Cancel);
    EXPECT_FALSE(commands_->WriteCommand([](int) {}));
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].icon, PromptIcon::Warning);

    useController(std::make_unique<ErrorsController>());
    prompter_.clear();
    EXPECT_FALSE(commands_->WriteCommand([](int) {}));
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_DataError"));
    controller_->SetRadioBase(sim_.Image());
    EXPECT_FALSE(commands_->WriteChangesCommand([](int) {}));
    ASSERT_EQ(prompter_.shown().size(), 2u);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_DataError"));

    runEventLoopFor(200);
    EXPECT_EQ(sim_.Stats().informationRequests, 0);
    EXPECT_EQ(sim_.Stats().writeRequests, 0);
}

} // namespace
