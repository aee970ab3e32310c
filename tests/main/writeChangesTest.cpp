#include "cloneChainFixture.h"
#include "document/radioBase.h"
#include "radio/listRecord.h"
#include "radio/rowOperations.h"
#include "support/eventLoop.h"

#include <gtest/gtest.h>

#include <functional>

using namespace marlo;

namespace {

using C = CloneCommands;

// Write Changes against the simulated radio, after a full write made the radio
// and the base agree.
class WriteChanges : public CloneChainTest {
protected:
    WriteChanges() {
        // No time-outs are provoked here: the wall clock keeps a loaded machine
        // from ending these writes early.
        manager().SetClock(nullptr);
        sim_.SetClock(nullptr, 1);
        // The radio's identity differs from the document's: no write may touch it.
        MemoryImage radio;
        radio.Assign(sim_.Image());
        for (std::int32_t a = 0x6C1A; a <= 0x6C24; ++a)
            radio.SetByte(a, 0x5A);
        sim_.SetImage(radio);
        EXPECT_EQ(run(&C::Write), 0);
    }

    int writeChanges() {
        int code = -2;
        bool ended = false;
        const bool started = commands_->WriteChanges(
            [this](const ChangedBlocks& changes) {
                confirmed = changes;
                return true;
            },
            [&](int result) {
                code = result;
                ended = true;
            });
        if (!started || !runEventLoopUntil([&] { return ended; }, 60000))
            return -2;
        return code;
    }

    void editEntry(std::uint8_t list, int slot, const std::function<void(ListRecord&)>& edit) {
        ListRecord entry(&controller_->CurrentImage());
        entry.Load(list, slot);
        edit(entry);
        entry.Store(list, slot);
    }

    ChangedBlocks confirmed;
};

TEST_F(WriteChanges, LeavesTheRadioAsAFullWriteWould) {
    const struct {
        const char* name;
        std::function<void()> edit;
        int maxBlocks;
    } rows[] = {
        {"one channel's frequency",
         [&] {
             editEntry(listUserChannel, 7, [](ListRecord& e) {
                 e.state = ListRecord::stateUsed;
                 e.channelNumber = 8;
                 e.rxFrequency = 7100000;
             });
         },
         2},
        {"several lists",
         [&] {
             editEntry(listUserChannel, 3, [](ListRecord& e) {
                 e.state = ListRecord::stateUsed;
                 e.channelNumber = 4;
                 e.scanGroup = 2;
             });
             editEntry(listSelCallId, 2, [](ListRecord& e) { e.callId = {1, 2, 3}; });
             editEntry(listAleId, 5, [](ListRecord& e) { e.aleAddress.fill('R'); });
             editEntry(listTelNumber, 1, [](ListRecord& e) { e.telNumber.fill(0x12); });
         },
         8},
        {"a sort that moves every channel",
         [&] {
             for (int slot = 0; slot < 500; ++slot)
                 editEntry(listUserChannel, slot, [slot](ListRecord& e) {
                     e.state |= ListRecord::stateUsed;
                     e.channelNumber = static_cast<std::uint32_t>(500 - slot);
                 });
             sortUserChannels(controller_->CurrentImage());
         },
         2000},
        {"the blocks cut by the identity bytes",
         [&] {
             MemoryImage& image = controller_->CurrentImage();
             image.SetByte(0x6C19, image.GetByte(0x6C19) ^ 0x01);
             image.SetByte(0x6C25, image.GetByte(0x6C25) ^ 0x01);
         },
         2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryImage before;
        before.Assign(sim_.Image());
        row.edit();
        const int accepted = sim_.Stats().framesAccepted;
        EXPECT_EQ(writeChanges(), 0);
        EXPECT_EQ(sim_.Stats().framesAccepted - accepted, confirmed.blocks);
        EXPECT_GE(confirmed.blocks, 1);
        EXPECT_LE(confirmed.blocks, row.maxBlocks);
        EXPECT_TRUE(sim_.Image().Differs(before));
        // The base follows what the radio now holds.
        ASSERT_NE(controller_->RadioBase(), nullptr);
        EXPECT_TRUE(
            controller_->RadioBase()->image.Equals(*controller_->MakeCloneWriteImage().image));

        // The same radio as it was, written in full.
        RadioSim full;
        full.SetImage(before);
        ASSERT_TRUE(full.Start());
        manager().SetPort({0, full.DevicePath()});
        ASSERT_EQ(run(&C::Write), 0);
        manager().SetPort({0, sim_.DevicePath()});
        for (std::int32_t a = 0; a < before.Size(); ++a)
            ASSERT_EQ(sim_.Image().GetByte(a), full.Image().GetByte(a)) << "at " << a;
    }
}

TEST_F(WriteChanges, RefusesAnotherRadioAndSendsNothingWhenNothingDiffers) {
    const struct {
        const char* name;
        bool edited;
        std::function<void()> arrange;
        int code;
    } rows[] = {
        {"nothing differs", false, [] {}, C::nothingToSend},
        {"other firmware", true, [&] { sim_.SetFirmware("3500"); }, C::otherRadio},
        {"other identity bytes", true, [&] { controller_->CurrentImage().SetByte(0x6C1B, 0x42); },
         C::otherRadio},
        {"other variant", true, [&] { sim_.SetVariant(1); }, 13},
        {"no base", true, [&] { controller_->ForgetRadioBase(); }, -2},
    };
    MemoryImage document;
    document.Assign(controller_->CurrentImage());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        controller_->CurrentImage().Assign(document);
        if (row.edited)
            controller_->CurrentImage().SetByte(0x0400, document.GetByte(0x0400) ^ 0xFF);
        row.arrange();
        const int writes = sim_.Stats().writeRequests;
        EXPECT_EQ(writeChanges(), row.code);
        EXPECT_EQ(sim_.Stats().writeRequests, writes);
        sim_.SetFirmware("3400");
        sim_.SetVariant(0);
    }
}

} // namespace
