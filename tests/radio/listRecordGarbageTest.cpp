// Images whose lists hold any byte pattern: loading and storing every entry must
// stay inside that entry's own bytes and never touch anything else.
#include "radio/listRecord.h"
#include "radio/rowClipboard.h"

#include "entryTestImage.h"

#include <gtest/gtest.h>

#include <functional>

using namespace marlo;

namespace {

struct Block {
    std::int32_t at;
    std::int32_t size;
};

// The bytes of one entry, written out from the memory map independently of the code.
std::vector<Block> blocksOf(std::uint8_t type, std::int32_t i) {
    switch (type) {
    case listUserChannel:
        return {{715 + 26 * i, 26}, {13715 + 2 * i, 2}, {14715 + i, 1}, {32768 + i, 1}};
    case listRxEdge:
        return {{15313, 8}};
    case listTxEdge:
        return {{15321 + 8 * i, 8}};
    case listModeReg:
        return {{15289 + i, 1}, {15409 + 5 * i, 5}};
    case listSelCallId:
        return {{21574 + 38 * i, 38}};
    case listAleId:
        return {{15454 + 51 * i, 51}};
    case listTelNumber:
        return {{25374 + 23 * i, 23}};
    }
    return {};
}

// One past the last byte of each list.
std::int32_t listEnd(std::uint8_t type) {
    const std::int32_t ends[] = {0, 33268, 15321, 15409, 15454, 25374, 21574, 27674};
    return ends[type];
}

// True when `after` differs from `before` only inside the given blocks.
bool changedOnlyInside(const MemoryImage& before, const MemoryImage& after,
                       const std::vector<Block>& blocks) {
    MemoryImage masked;
    masked.Assign(after);
    for (const Block& b : blocks)
        if (b.at >= 0 && b.at + b.size <= before.Size())
            masked.Write(b.at, before.Data() + b.at, b.size);
    return masked.Equals(before);
}

struct Pattern {
    const char* name;
    std::function<void(MemoryImage&)> fill;
};

const Pattern patterns[] = {
    {"all 0xFF", [](MemoryImage& im) { im.Fill(0xFF); }},
    {"all 0x00", [](MemoryImage& im) { im.Fill(0x00); }},
    {"random 1", [](MemoryImage& im) { fillRandom(im, 1); }},
    {"random 2", [](MemoryImage& im) { fillRandom(im, 2); }},
    {"random 3", [](MemoryImage& im) { fillRandom(im, 3); }},
};

class GarbageImage : public ::testing::TestWithParam<Pattern> {
protected:
    void SetUp() override {
        makeImage(pristine);
        GetParam().fill(pristine);
    }
    MemoryImage pristine;
};

} // namespace

TEST_P(GarbageImage, EveryEntryLoadsAndStoresWithinItsOwnBytes) {
    MemoryImage image;
    MemoryImage stored;
    ListRecord entry(&image);
    for (std::uint8_t type = listUserChannel; type <= listTelNumber; ++type) {
        const std::int32_t last = ListRecord::LastStoredIndex(type);
        for (std::int32_t i = -1; i <= last + 1; ++i) {
            SCOPED_TRACE(::testing::Message() << "type " << int(type) << " index " << i);
            image.Assign(pristine);
            entry.Load(type, i);
            EXPECT_LE(entry.scanGroup, ListRecord::maxScanGroup);
            EXPECT_LE(entry.editFlag, 1);
            entry.StoreAndReload();
            ASSERT_EQ(image.Size(), pristine.Size());
            const bool inList = i >= 0 && i <= last;
            ASSERT_TRUE(changedOnlyInside(pristine, image,
                                          inList ? blocksOf(type, i) : std::vector<Block>{}));
            // One pass brings any pattern into the encodings' own form.
            stored.Assign(image);
            entry.Store(listNone, i);
            ASSERT_TRUE(image.Equals(stored));
        }
    }
}

TEST_P(GarbageImage, QueriesStayInsideTheTables) {
    ListRecord entry(&pristine);
    for (int i = -1; i <= 300; ++i) {
        EXPECT_LE(entry.ModeNameOf(i).size(), 5u);
        EXPECT_LE(entry.AleAddressOf(i).size(), 15u);
        entry.AleAddressIsDuplicated(i);
        entry.ModeIsUsable(i);
    }
    EXPECT_LE(entry.AleChannelCount(), 500);
}

TEST_P(GarbageImage, ClipboardCarriesWholeListsWithinThem) {
    MemoryImage image;
    ProgramRowClipboard clipboard;
    for (std::uint8_t type = listUserChannel; type <= listTelNumber; ++type) {
        SCOPED_TRACE(int(type));
        const std::int32_t last = ListRecord::LastStoredIndex(type);
        image.Assign(pristine);
        clipboard.CopyFrom(image, type, 0, last + 10);
        EXPECT_EQ(clipboard.heldCount(), last + 1);
        // Shifted down by two: the last two held entries fall off the list's end.
        clipboard.PasteTo(image, type, 2, last + 10);
        std::vector<Block> list;
        for (std::int32_t i = 0; i <= last; ++i)
            for (const Block& b : blocksOf(type, i))
                list.push_back(b);
        EXPECT_TRUE(changedOnlyInside(pristine, image, list));
        EXPECT_EQ(image.Size(), pristine.Size());
    }
}

INSTANTIATE_TEST_SUITE_P(Patterns, GarbageImage, ::testing::ValuesIn(patterns),
                         [](const auto& param) {
                             std::string name = param.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(ShortImage, ListsThatDoNotFitAreLeftAlone) {
    for (std::int32_t size : {0, 100, 15321, 21574, 33267}) {
        MemoryImage pristine;
        pristine.Resize(size);
        fillRandom(pristine, 11);
        MemoryImage image;
        ListRecord entry(&image);
        for (std::uint8_t type = listUserChannel; type <= listTelNumber; ++type) {
            const bool fits = listEnd(type) <= size;
            for (std::int32_t i = 0; i <= ListRecord::LastStoredIndex(type); ++i) {
                SCOPED_TRACE(::testing::Message() << size << " " << int(type) << "/" << i);
                image.Assign(pristine);
                entry.MakeBlank(type, i);
                entry.StoreAndReload();
                if (!fits) {
                    ASSERT_TRUE(image.Equals(pristine));
                    ASSERT_FALSE(entry.isUsed());
                } else {
                    ASSERT_TRUE(changedOnlyInside(pristine, image, blocksOf(type, i)));
                }
            }
        }
        EXPECT_EQ(entry.AleChannelCount(), 0) << size; // the mirror needs the full image
    }
}

TEST(ShortImage, UnboundEntryDoesNothing) {
    ListRecord entry;
    entry.MakeBlank(listUserChannel, 0);
    entry.StoreAndReload();
    EXPECT_FALSE(entry.isUsed());
    EXPECT_EQ(entry.ModeNameOf(1), "");
    EXPECT_EQ(entry.AleChannelCount(), 0);
}
