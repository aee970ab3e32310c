#include "exchangeFixture.h"

#include "core/modelIdentity.h"
#include "exchange/documentDiff.h"
#include "exchange/takeOtherValues.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace marlo;

namespace {

using Lines = std::vector<std::string>;

class SelectiveMerge : public ExchangeTest {
public:
    using Edit = std::tuple<std::string, std::string, std::size_t, std::string>;

protected:
    // The full document, and as `other` the same with the edits of `tables`
    // (list, CSV) made in expert mode.
    // A table's entry `key` changes field `field` to `value` (the rest of the
    // list as the full document holds it).
    void prepare(const std::vector<Edit>& edits, bool expert = false) {
        startDocument(0, true);
        fillEveryList();
        for (const auto& [name, key, field, value] : edits)
            ASSERT_EQ(importCsv(name, withValue(exportCsv(name), key, field, value)), Lines{})
                << name;
        other_.Assign(document());
        startDocument(0, expert);
        fillEveryList();
        mine_.Assign(document());
    }

    static std::string withValue(std::string csv, const std::string& key, std::size_t field,
                                 const std::string& value) {
        const std::size_t line = csv.find("\r\n" + key + ",") + 2;
        std::size_t at = line;
        for (std::size_t f = 0; f < field; ++f)
            at = csv.find(',', at) + 1;
        const std::size_t end = csv.find_first_of(",\r", at);
        return csv.replace(at, end - at, value);
    }

    std::vector<DiffRow> rows() {
        return compareDocuments(*context_, {document(), 0}, {other_, 0}, marloModel::cloneRange);
    }
    Lines take(const std::vector<DiffRow>& chosen) {
        return takeOtherValues(*context_, 0, other_, chosen);
    }
    static Lines described(const std::vector<DiffRow>& chosen) {
        Lines lines;
        for (const DiffRow& d : chosen)
            lines.push_back(describeDiffRow(d));
        return lines;
    }

    MemoryImage other_;
    MemoryImage mine_;
};

// Values of several lists and bytes no cell shows: exactly those rows are
// listed; taking some leaves exactly the others; taking all leaves none.
TEST_F(SelectiveMerge, TakenRowsLeaveOnlyTheRest) {
    prepare({{"settings", "TxPwrSel", 1, "High"},
             {"phone", "2", 2, "Office"},
             {"channels", "12", 2, "7055.0"}});
    other_.SetByte(0x6C2D, static_cast<std::uint8_t>(other_.GetByte(0x6C2D) ^ 1));
    const std::vector<DiffRow> all = rows();
    const Lines lines = described(all);
    ASSERT_EQ(lines, (Lines{"channels slot 12: rx_khz 2110.0 -> 7055.0",
                            "phone slot 2: name Office+1 -> Office",
                            "settings TxPwrSel: Low -> High", "byte 0x6C2D: 45 -> 44"}));

    // Every other row: the rows left out stay, in order.
    std::vector<DiffRow> some;
    std::vector<DiffRow> left;
    for (std::size_t i = 0; i < all.size(); ++i)
        (i % 2 == 0 ? some : left).push_back(all[i]);
    ASSERT_EQ(take(some), Lines{});
    EXPECT_EQ(described(rows()), described(left));

    ASSERT_EQ(take(rows()), Lines{});
    EXPECT_EQ(described(rows()), Lines{});
    EXPECT_TRUE(document().Equals(other_));
}

struct Refusal {
    const char* name;
    std::vector<SelectiveMerge::Edit> edits;
    const char* problem; // the start of the first problem
};

// A value the cells refuse leaves the whole document as it was, however many
// other rows could have been taken.
TEST_F(SelectiveMerge, ARefusedValueTakesNothing) {
    const Refusal cases[] = {
        {"a band edge outside expert mode",
         {{"edges", "rx", 1, "1700.0"}},
         "edges range rx, low_khz: can be changed only in expert mode"},
        {"a channel number another channel has",
         {{"channels", "12", 1, "1"}, {"channels", "13", 1, "9988"}, {"channels", "12", 1, "9987"}},
         "channels slot 13, number: \"9987\" repeats slot 12"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SelectiveMerge::Edit> edits{{"settings", "TxPwrSel", 1, "High"}};
        edits.insert(edits.end(), c.edits.begin(), c.edits.end());
        prepare(edits);
        other_.SetByte(0x6C2D, static_cast<std::uint8_t>(other_.GetByte(0x6C2D) ^ 1));
        // Slot 12's new number without slot 13's: it repeats what 13 holds.
        std::vector<DiffRow> chosen;
        for (const DiffRow& d : rows())
            if (describeDiffRow(d).rfind("channels slot 13:", 0) != 0)
                chosen.push_back(d);
        const Lines problems = take(chosen);
        ASSERT_FALSE(problems.empty());
        EXPECT_EQ(problems.front().substr(0, std::string(c.problem).size()), c.problem)
            << ::testing::PrintToString(problems);
        EXPECT_TRUE(document().Equals(mine_));
    }
}

} // namespace
