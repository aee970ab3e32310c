#include "radio/codecText.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace marlo;

using namespace codec;
using namespace codecTest;
using Bytes = std::vector<std::uint8_t>;

namespace {

class TextCodecs : public ::testing::Test {
protected:
    void SetUp() override { makeImage(image); }

    MemoryImage image;
    ListRecord entry{&image};
    std::uint8_t result = kResultNone;
};

} // namespace

TEST_F(TextCodecs, NameTextTakesPrintableCharactersOnePlaceEach) {
    entry.Load(listTelNumber, 4);
    const std::pair<std::string, const char*> rows[] = {
        {"Harbour", "Harbour"},
        {"Harbour master's office", "Harbour master'"},
        {"A\tB\x01"
         "C\x7f",
         "A B C"},
        {"Gr\xc3\xb6\xc3\x9f"
         "e",
         "Gr  e"}, // a UTF-8 character takes one place
        {"\x80\x80"
         "A",
         "  A"},
        {"", ""}};
    for (const auto& [input, field] : rows) {
        CellRequest request = typed(input);
        EXPECT_TRUE(nameText(request, entry.name, result));
        EXPECT_EQ(entry.name, textField<15>(field)) << input;
    }
    CellRequest request = typed("  Port  ");
    nameText(request, entry.name, result);
    EXPECT_EQ(request.text, "Port");
    entry.StoreAndReload();
    EXPECT_EQ(entry.name, textField<15>("  Port"));
}

TEST_F(TextCodecs, NameTextNeverWritesPastItsField) {
    image.SetByte(715, 0xA5); // the radio's own byte after the 16-character clone comment
    CellRequest request = typed(std::string(200, 'Z'));
    EXPECT_TRUE(nameText(request, {image.Data() + 699, 16}, result));
    EXPECT_EQ(bytesAt(image, 699, 16), Bytes(16, 'Z'));
    EXPECT_EQ(image.GetByte(715), 0xA5);
}

TEST_F(TextCodecs, NameTextKeysOpenTheEditor) {
    std::array<std::uint8_t, 15> field = textField<15>(" Bay");
    for (auto [action, text] : {std::pair{32, "Bay"}, {8, "Bay"}, {'#', "#"}, {1, nullptr}}) {
        CellRequest request = keyed(action);
        result = kResultNone;
        EXPECT_FALSE(nameText(request, field, result));
        EXPECT_EQ(result, text ? kResultOpenEditor : kResultNone) << action;
        EXPECT_EQ(request.text, text ? text : "Bay");
    }
}

// What the edit hands back is what the field holds.
TEST_F(TextCodecs, NameAlphabetTurnsEveryOtherCharacterIntoASpace) {
    std::array<std::uint8_t, 15> field{};
    CellRequest request = typed("A#b~c\"d;e?f'g@|");
    nameText(request, field, result, kNameAlphabet);
    EXPECT_EQ(field, textField<15>("A b c d e f'g@"));
    EXPECT_EQ(request.text, "A b c d e f'g@");

    Bytes whole(kNameAlphabet.size());
    CellRequest all = typed(std::string(kNameAlphabet));
    nameText(all, whole, result, kNameAlphabet);
    EXPECT_EQ(Bytes(whole.begin(), whole.end()), Bytes(kNameAlphabet.begin(), kNameAlphabet.end()));
}

TEST_F(TextCodecs, BytesThatAreNoCharacterShowAndEditAsBlanks) {
    std::array<std::uint8_t, 15> field{}; // all NUL
    field[3] = 'A';
    field[4] = 0xFF;
    field[5] = 'B';
    CellRequest paint;
    nameText(paint, field, result);
    EXPECT_EQ(paint.text, "A B");
    field.fill(0);
    CellRequest enter = keyed(13);
    result = kResultNone;
    nameText(enter, field, result);
    EXPECT_EQ(result, kResultOpenEditor);
    EXPECT_EQ(enter.text, "");
}

TEST_F(TextCodecs, AleTextKeepsItsAlphabetUpperCasedOrClearsTheEntry) {
    const std::pair<std::string, const char*> rows[] = {// "": cleared, the entry unused
                                                        {"ship1", "SHIP1"},
                                                        {"ab-c d!e", "ABCDE"},
                                                        {"@?_", "@?_"},
                                                        {"abcdefghijklmno", "ABCDEFGHIJKLMNO"},
                                                        {"", ""},
                                                        {"!!! ---", ""},
                                                        {"\xc3\xa9mile", "MILE"}};
    for (const auto& [input, stored] : rows) {
        entry.Load(listAleId, 7);
        CellRequest request = typed(input);
        EXPECT_TRUE(aleText(request, entry.aleAddress, result));
        EXPECT_EQ(request.text, stored);
        entry.StoreAndReload();
        Bytes expected(15, 0xFF);
        std::copy(stored, stored + std::strlen(stored), expected.begin());
        EXPECT_EQ(Bytes(entry.aleAddress.begin(), entry.aleAddress.end()), expected) << input;
        EXPECT_EQ(entry.isUsed(), *stored != '\0') << input;
    }
    // Too long an address is refused: the entry keeps the one it had.
    for (const std::string& input : {std::string("abcdefghijklmnop"), kManyDigits}) {
        entry.Load(listAleId, 7);
        CellRequest first = typed("ship1");
        aleText(first, entry.aleAddress, result);
        CellRequest request = typed(input);
        EXPECT_FALSE(aleText(request, entry.aleAddress, result)) << input;
        EXPECT_EQ(request.text, "SHIP1");
        EXPECT_EQ(request.refusedAbove, 15);
    }
    for (auto [key, opens] : {std::pair{'x', true}, {'?', true}, {32, true}, {'!', false}}) {
        CellRequest request = keyed(key);
        result = kResultNone;
        aleText(request, entry.aleAddress, result);
        EXPECT_EQ(result, opens ? kResultOpenEditor : kResultNone) << key;
    }
}
