#include "core/memoryImage.h"
#include "radio/entryTestImage.h"
#include "radio/imagePreparation.h"
#include "radio/listRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace marlo;

namespace {

// Where each list keeps an entry's bytes (slot i): a main record, and for the
// channels also the number, the scan group and the call-kind copy.
std::vector<std::uint8_t> entryBytes(const MemoryImage& image, std::uint8_t type, int i) {
    switch (type) {
    case listUserChannel: {
        auto bytes = bytesAt(image, 715 + 26 * i, 26);
        for (auto [a, n] : {std::pair{13715 + 2 * i, 2}, {14715 + i, 1}, {32768 + i, 1}}) {
            const auto more = bytesAt(image, a, n);
            bytes.insert(bytes.end(), more.begin(), more.end());
        }
        return bytes;
    }
    case listSelCallId:
        return bytesAt(image, 21574 + 38 * i, 38);
    case listAleId:
        return bytesAt(image, 15454 + 51 * i, 51);
    case listTelNumber:
        return bytesAt(image, 25374 + 23 * i, 23);
    }
    return {};
}

// A used entry whose every field depends on the slot and on `salt`.
void storeUsed(MemoryImage& image, std::uint8_t type, int i, int salt) {
    ListRecord e(&image);
    e.MakeBlank(type, i);
    const auto s = static_cast<std::uint8_t>(salt);
    switch (type) {
    case listUserChannel:
        e.state = 0;
        e.channelNumber = static_cast<std::uint32_t>(1 + i + salt);
        e.rxFrequency = 1'600'000 + 100 * (i + salt);
        e.txFrequency = 2'000'000 + 100 * i;
        e.mode = static_cast<std::uint8_t>((i + salt) % 9);
        e.filter = static_cast<std::uint8_t>(salt % 3);
        e.callKind = static_cast<std::uint8_t>((i + salt) % 4);
        e.editFlag = static_cast<std::uint8_t>(salt & 1);
        e.scanGroup = static_cast<std::uint8_t>((i + salt) % 4);
        e.aleIndex = static_cast<std::uint8_t>((i + salt) % 120);
        e.name.fill(static_cast<std::uint8_t>('A' + salt));
        break;
    case listSelCallId:
        e.callId = {static_cast<std::uint8_t>(salt % 100), static_cast<std::uint8_t>(i % 100), 7};
        e.name.fill(static_cast<std::uint8_t>('a' + salt));
        e.channelRanges.fill(s);
        break;
    case listAleId:
        e.aleAddress.fill(static_cast<std::uint8_t>('A' + (i + salt) % 26));
        e.aleIdn.fill(static_cast<std::uint8_t>('0' + salt % 10));
        e.channelRanges.fill(s);
        e.slotTime = s;
        break;
    case listTelNumber:
        e.telNumber = {0x12, static_cast<std::uint8_t>(((i % 10) << 4) | (salt % 10)), 0x34};
        e.name.fill(static_cast<std::uint8_t>('k' + salt % 10));
        break;
    }
    e.Store(type, i);
}

void storeUnused(MemoryImage& image, std::uint8_t type, int i) {
    ListRecord e(&image);
    e.MakeBlank(type, i);
    e.Store(type, i);
}

struct PreparedList {
    std::uint8_t type;
    int last;
};
constexpr PreparedList kLists[] = {
    {listUserChannel, 499}, {listSelCallId, 99}, {listAleId, 119}, {listTelNumber, 99}};

TEST(PrepareImage, UnusedEntriesTakeTheReferenceEntryUsedOnesKeepTheirs) {
    MemoryImage reference, image;
    makeImage(reference);
    makeImage(image);
    for (const PreparedList& list : kLists) {
        for (int i = 0; i <= list.last; ++i) {
            storeUsed(reference, list.type, i, 1);
            // Even slots unused, odd slots used with other values.
            if (i % 2 == 0)
                storeUnused(image, list.type, i);
            else
                storeUsed(image, list.type, i, 2);
        }
    }
    MemoryImage before;
    before.Assign(image);

    prepareImage(image, reference, {});

    for (const PreparedList& list : kLists) {
        for (int i = 0; i <= list.last; ++i) {
            SCOPED_TRACE(testing::Message() << "list " << int(list.type) << " entry " << i);
            const auto expected =
                i % 2 == 0 ? entryBytes(reference, list.type, i) : entryBytes(before, list.type, i);
            ASSERT_EQ(entryBytes(image, list.type, i), expected);
        }
    }
}

// Single bytes the preparation takes from the reference, and neighbours it leaves.
TEST(PrepareImage, RadioBytesComeFromTheReferenceTheirNeighboursStay) {
    MemoryImage reference, image;
    makeImage(reference, 0x5A);
    makeImage(image, 0xA5);
    putText(reference, 0x6C2C, "VEXA Inc");

    prepareImage(image, reference, {});

    struct Byte {
        int address;
        bool fromReference;
    };
    const std::vector<Byte> bytes = {
        {0x2AF, false},  {0x2B0, true},   {0x2B1, false},  {0x2B3, false},  {0x2B4, true},
        {0x2B5, false},  {0x3BB9, false}, {0x3BBA, true},  {0x3BBB, false}, {0x3BC3, false},
        {0x3BC4, true},  {0x3BC8, true},  {0x3BC9, false}, {0x6C2B, false}, {0x6C34, false},
        {0x6C1A, false}, {0x6C24, false},
    };
    for (const Byte& b : bytes)
        EXPECT_EQ(image.GetByte(b.address), b.fromReference ? 0x5A : 0xA5) << std::hex << b.address;
    EXPECT_EQ(bytesAt(image, 0x6C2C, 8), bytesAt(reference, 0x6C2C, 8));

    // Mode registrations 0, 7 and 8 keep the reference's names; 1..6 are the user's.
    for (int mode = 0; mode < 9; ++mode) {
        const bool fixed = mode == 0 || mode == 7 || mode == 8;
        EXPECT_EQ(bytesAt(image, 0x3C31 + 5 * mode, 5),
                  std::vector<std::uint8_t>(5, fixed ? 0x5A : 0xA5))
            << "mode " << mode;
    }
}

TEST(PrepareImage, OnlyBitSixOfTheOptionByteComesFromTheReference) {
    struct Case {
        std::uint8_t mine, theirs, expected;
    };
    for (const Case& c : {Case{0xA5, 0x40, 0xE5}, Case{0x5A, 0xBF, 0x1A}, Case{0xFF, 0x00, 0xBF},
                          Case{0x00, 0xFF, 0x40}}) {
        MemoryImage reference, image;
        makeImage(reference);
        makeImage(image);
        reference.SetByte(0x2B2, c.theirs);
        image.SetByte(0x2B2, c.mine);
        prepareImage(image, reference, {});
        EXPECT_EQ(image.GetByte(0x2B2), c.expected)
            << std::hex << int(c.mine) << " " << int(c.theirs);
    }
}

TEST(PrepareImage, IdentityDigitsOnlyWhenSendingInFactoryModeForVariantZero) {
    const IdentityDigits digits{0x12, 0x34, 0x56, 0x78, 0x90};
    struct Case {
        bool forSending, factory;
        int variant;
        bool digitsWritten, factoryByteCopied;
    };
    const Case cases[] = {
        {false, false, 0, false, false}, {true, false, 0, false, false},
        {false, true, 0, false, false},  {true, true, 0, true, true},
        {true, true, 1, false, true},    {false, true, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sending " << c.forSending << " factory " << c.factory
                                        << " variant " << c.variant);
        MemoryImage reference, image;
        makeImage(reference, 0x33);
        makeImage(image, 0xEE);
        prepareImage(image, reference, {c.forSending, c.factory, c.variant, digits});
        const auto identity = bytesAt(image, 0x6C1A, 5);
        EXPECT_EQ(identity, c.digitsWritten
                                ? std::vector<std::uint8_t>(digits.begin(), digits.end())
                                : std::vector<std::uint8_t>(5, 0xEE));
        EXPECT_EQ(image.GetByte(0x6C24), c.factoryByteCopied ? 0x33 : 0xEE);
        EXPECT_EQ(image.GetByte(0x6C1F), 0xEE);
        EXPECT_EQ(image.GetByte(0x6C23), 0xEE);
    }
}

// Garbage in the lists is read and written only through the list records: the
// image keeps its size and nothing outside the lists and the radio bytes moves.
TEST(PrepareImage, GarbageImagesStayInsideTheirLists) {
    for (unsigned seed : {1u, 2u, 3u, 0xFFu}) {
        SCOPED_TRACE(seed);
        MemoryImage reference, image;
        makeImage(reference, 0xFF);
        makeImage(image, 0xFF);
        if (seed != 0xFF) {
            fillRandom(reference, seed);
            fillRandom(image, seed + 100);
        }
        MemoryImage before;
        before.Assign(image);
        const PrepareModes sending{true, true, 0, {1, 2, 3, 4, 5}};
        prepareImage(image, reference, sending);
        ASSERT_EQ(image.Size(), before.Size());
        EXPECT_EQ(bytesAt(image, 0, 0x2B0), bytesAt(before, 0, 0x2B0));
        EXPECT_EQ(bytesAt(image, 0x6C40, 32768 - 0x6C40), bytesAt(before, 0x6C40, 32768 - 0x6C40));

        // Preparing an image against itself changes nothing a second time.
        prepareImage(reference, reference, sending);
        MemoryImage once;
        once.Assign(reference);
        prepareImage(reference, reference, sending);
        EXPECT_TRUE(reference.Equals(once));
    }
}

TEST(PrepareImage, ImagesSmallerThanTheModelsAreLeftAlone) {
    MemoryImage small, full;
    small.Resize(0x6C30);
    small.Fill(0x77);
    makeImage(full, 0x11);
    prepareImage(small, full, {true, true, 0, {}});
    EXPECT_EQ(bytesAt(small, 0, small.Size()), std::vector<std::uint8_t>(0x6C30, 0x77));
    prepareImage(full, small, {true, true, 0, {}});
    EXPECT_EQ(full.GetByte(0x2B0), 0x11);
    EXPECT_EQ(full.GetByte(0x6C1A), 0x11);
}

} // namespace
