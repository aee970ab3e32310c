#include "radio/cloneWriteImage.h"
#include "core/memoryImage.h"
#include "radio/entryTestImage.h"
#include "radio/listRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

RadioInfo radioWithFirmware(const std::string& version) {
    RadioInfo info;
    for (std::size_t i = 0; i < 4 && i < version.size(); ++i)
        info.block[24 + i] = static_cast<std::uint8_t>(version[i]);
    return info;
}

std::vector<std::pair<int, int>> blocksOf(RangeList list) {
    std::vector<std::pair<int, int>> blocks;
    forEachRange(list, 0x81F4, [&](int first, int last) { blocks.emplace_back(first, last); });
    return blocks;
}

int scanGroupByte(const MemoryImage& image, int channel) {
    return image.GetByte(14715 + channel);
}

TEST(CloneWriteImage, FirmwareBeforeTheFixIsComparedAsFourCharacters) {
    struct Case {
        std::string version;
        bool before;
    };
    const Case cases[] = {{"3399", true},  {"3400", false}, {"3401", false},
                          {"4000", false}, {"2999", true},  {"33A0", true},
                          {"3A00", false}, {"", true},      {"340", true}};
    for (const Case& c : cases)
        EXPECT_EQ(firmwareBeforeScanGroupFix(radioWithFirmware(c.version)), c.before)
            << "'" << c.version << "'";
}

// Channels in scan group 0 at the start, the end, used and unused; others in 1..3.
void makeDocument(MemoryImage& image) {
    makeImage(image);
    ListRecord e(&image);
    for (int i = 0; i < 500; ++i) {
        e.MakeBlank(listUserChannel, i);
        if (i % 3 == 1) {
            e.channelNumber = static_cast<std::uint32_t>(i + 1);
            e.state = 0;
            e.rxFrequency = e.txFrequency = 7'000'000;
        }
        e.scanGroup = static_cast<std::uint8_t>(i % 5 == 0 ? 0 : 1 + i % 3);
        e.Store(listUserChannel, i);
    }
}

TEST(CloneWriteImage, OnlyOlderFirmwareGetsScanGroupOneWhereTheDocumentHasZero) {
    MemoryImage document;
    makeDocument(document);
    MemoryImage before;
    before.Assign(document);

    const CloneWriteImage send = makeCloneWriteImage(document, radioWithFirmware("3399"), false);

    ASSERT_TRUE(send.image);
    EXPECT_TRUE(document.Equals(before)); // the document itself is not touched
    for (int i = 0; i < 500; ++i) {
        const int expected = i % 5 == 0 ? 1 : 1 + i % 3;
        ASSERT_EQ(scanGroupByte(*send.image, i), expected) << "channel " << i;
    }
    // Nothing but the scan groups differs.
    for (int a = 0; a < document.Size(); ++a) {
        if (a >= 14715 && a < 14715 + 500)
            continue;
        ASSERT_EQ(send.image->GetByte(a), document.GetByte(a)) << std::hex << a;
    }
    for (const char* version : {"3400", "3500"})
        EXPECT_TRUE(makeCloneWriteImage(document, radioWithFirmware(version), false)
                        .image->Equals(document))
            << version;
}

TEST(CloneWriteImage, FactoryModeWritesTheIdentityBytesToo) {
    MemoryImage document;
    makeDocument(document);
    const auto normal = makeCloneWriteImage(document, radioWithFirmware("3400"), false);
    const auto factory = makeCloneWriteImage(document, radioWithFirmware("3400"), true);
    EXPECT_EQ(blocksOf(normal.ranges),
              (std::vector<std::pair<int, int>>{{0x02B0, 0x6C19}, {0x6C25, 0x6C3F}}));
    EXPECT_EQ(blocksOf(factory.ranges), (std::vector<std::pair<int, int>>{{0x02B0, 0x6C3F}}));
}

} // namespace
