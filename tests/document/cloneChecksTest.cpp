#include "document/cloneChecks.h"
#include "../main/cloneChainFixture.h"
#include "clone/cloneResult.h"
#include "core/modelIdentity.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace marlo;

namespace {

using R = CloneResult;
using Block = std::vector<std::uint8_t>;

// A block as the radio sends it: its length, revision 1.0, map revision 6,
// variant 0 and firmware "3399".
Block radioBlock(std::size_t length = 32) {
    Block block(length, 0);
    block[0] = static_cast<std::uint8_t>(length);
    block[1] = 0x10;
    block[2] = 6;
    block[23] = 0;
    const char firmware[] = "3399";
    std::copy(firmware, firmware + 4, block.begin() + 24);
    return block;
}

using InformationCheckTest = CloneChainTest;

TEST_F(InformationCheckTest, CodesForEachMismatch) {
    const struct {
        const char* name;
        std::function<void(R&, Block&)> change;
        std::uint8_t code;
    } rows[] = {
        {"the radio of the document", [](R&, Block&) {}, 0},
        {"a longer block", [](R&, Block& b) { b = radioBlock(40); }, 0},
        {"engine failure stays", [](R& r, Block&) { r.code = R::codeNoAnswer; }, 5},
        {"another model code", [](R& r, Block&) { r.identification1 = 0x2621; }, 11},
        {"second value other than 1", [](R& r, Block&) { r.identification2 = 2; }, 11},
        {"31-byte block", [](R&, Block& b) { b = radioBlock(31); }, 11},
        {"first byte not its length", [](R&, Block& b) { b[0] = 33; }, 11},
        {"map revision 5", [](R&, Block& b) { b[2] = 5; }, 14},
        {"other variant", [](R&, Block& b) { b[23] = 1; }, 13},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        R result(R::opInformation, 0x2620, 1, 0);
        result.code = R::codeSuccess;
        Block block = radioBlock();
        row.change(result, block);
        result.information.AppendBytes(block.data(), static_cast<std::int32_t>(block.size()));
        controller_->LastRadioInfo = {};
        checkInformationResult(*controller_, result);
        EXPECT_EQ(result.code, row.code);
        if (row.code == 0) {
            EXPECT_EQ(controller_->LastRadioInfo.value1, 0x2620);
            EXPECT_EQ(controller_->LastRadioInfo.value2, 1);
            EXPECT_TRUE(std::equal(block.begin(), block.begin() + 32,
                                   controller_->LastRadioInfo.block.begin()));
        }
    }
}

TEST_F(InformationCheckTest, ReadCheckRejectsForeignImages) {
    const struct {
        const char* name;
        std::function<void(R&)> change;
        std::uint8_t code;
    } rows[] = {
        {"the radio's image", [](R&) {}, 0},
        {"signature differs in one letter", [](R& r) { r.image.SetByte(0x6C2C + 4, 'i'); }, 15},
        {"map revision 5", [](R& r) { r.image.SetByte(0x02B0, 5); }, 15},
        {"engine failure stays", [](R& r) { r.code = R::codeBadFrame; }, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        R result(R::opRead, 0x2620, 0, marloModel::imageSize);
        result.code = R::codeSuccess;
        makeRadioImage(result.image, 0);
        row.change(result);
        checkReadResult(*controller_, result);
        EXPECT_EQ(result.code, row.code);
    }
}

} // namespace
