// Who holds the serial line while a command's operations follow each other:
// from identifying the radio to the end of the read or write the port stays
// ours (no reopening, no gap in which another program could take the line),
// and once the command has ended, however it ended, it is free again; nor does
// a message box keep it while it waits for the user.
#include "../clone/cloneOutcome.h"
#include "cloneChainFixture.h"

using namespace marlo;

namespace {

using Fault = RadioSim::Fault;
using ClonePortHold = CloneChainTest;

TEST_F(ClonePortHold, AChainKeepsTheLineUntilItsLastOperationEnds) {
    const struct {
        const char* name;
        bool (CloneCommands::*start)(CloneCommands::Done);
        std::function<void()> arrange;
        int code;
        bool transfer; // a read or write follows the identification
    } rows[] = {
        {"read", &CloneCommands::Read, [] {}, 0, true},
        {"write", &CloneCommands::Write, [] {}, 0, true},
        {"info", &CloneCommands::Info, [] {}, 0, false},
        {"other variant", &CloneCommands::Read, [&] { sim_.SetVariant(1); }, 13, false},
        {"read cut short", &CloneCommands::Read, [&] { sim_.SetFault(Fault::MissingFrame); }, 8,
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim_.SetVariant(0);
        sim_.SetFault(Fault::None);
        row.arrange();
        int heldAtTransfer = -1;
        progress_.onStart = [&](bool transfer) {
            if (transfer)
                heldAtTransfer = portIsFree(sim_.DevicePath()) ? 0 : 1;
        };
        int boxes = 0;
        int boxesWhileHeld = 0;
        prompter_.onShown = [&](const ScriptedPrompter::Shown&) {
            ++boxes;
            boxesWhileHeld += portIsFree(sim_.DevicePath()) ? 0 : 1;
        };
        EXPECT_EQ(run(row.start), row.code) << prompter_.lastText();
        EXPECT_EQ(heldAtTransfer, row.transfer ? 1 : -1);
        EXPECT_EQ(boxesWhileHeld, 0) << "of " << boxes << " boxes";
        EXPECT_TRUE(portIsFree(sim_.DevicePath()));
    }
}

} // namespace
