#include "overlay/nameTable.h"

#include <gtest/gtest.h>

#include <string>

using namespace marlo;

namespace {

TEST(HashBucket, SpreadsKeysAsTheNameTablesExpect) {
    const struct {
        std::string key;
        std::uint32_t buckets;
        std::uint32_t bucket;
    } cases[] = {
        {"abc", 1031, 937},
        {"abc", 101, 99},
        {"", 1031, 0},
        {"", 101, 0},
        {"aaa", 5, 1},       // shift halves to 0 and starts again from 2
        {"\xE9", 1031, 492}, // a byte above 0x7F counts negative
        {"\x80", 101, 91},   // a negative sum is taken as unsigned
        {"GI_Sheet_Sel_Bit_EeDebugWin_BasicCell", 1031, 259}, // wraps past 32 bits
        {"GI_Sheet_Sel_Bit_EeDebugWin_BasicCell", 101, 33},
        {"Color", 101, 26},
        {"color", 101, 33},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameTable::Bucket(c.key, c.buckets), c.bucket) << c.key << " / " << c.buckets;
}

TEST(Hash, ZeroBucketsMeansTheDefaultTable) {
    EXPECT_EQ(NameTable(0).BucketCount(), 1031u);
    EXPECT_EQ(NameTable(101).BucketCount(), 101u);
}

TEST(Hash, FindsEveryKeyByteForByte) {
    NameTable names(101);
    names.Add("CT_Memory", 3);
    names.Add("ct_memory", 7); // case makes another key
    names.Add("", 11);
    ASSERT_NE(names.Find("CT_Memory"), nullptr);
    EXPECT_EQ(names.Find("CT_Memory")->value, 3u);
    EXPECT_EQ(names.Find("ct_memory")->value, 7u);
    EXPECT_EQ(names.Find("")->value, 11u);
    EXPECT_EQ(names.Find("CT_Memor"), nullptr);
    EXPECT_EQ(names.Find("CT_Memory "), nullptr);
    EXPECT_EQ(names.Find(std::string_view("CT_Memory\0", 10)), nullptr);
}

TEST(Hash, KeysSharingOneChainStayApart) {
    NameTable oneChain(1);
    for (std::uint32_t i = 0; i < 300; ++i)
        oneChain.Add("CL_" + std::to_string(i), i);
    for (std::uint32_t i = 0; i < 300; ++i) {
        const NameTable::Node* node = oneChain.Find("CL_" + std::to_string(i));
        ASSERT_NE(node, nullptr) << i;
        EXPECT_EQ(node->value, i);
    }
    EXPECT_EQ(oneChain.Find("CL_300"), nullptr);
}

TEST(HashDeathTest, AddingANameTwiceEndsTheProgram) {
    NameTable names;
    names.Add("CL_Menu_Clone_Read", 1);
    EXPECT_EXIT(names.Add("CL_Menu_Clone_Read", 2), ::testing::ExitedWithCode(3),
                "Overlapped Hash table\\.");
}

} // namespace
