#include "exchangeFixture.h"

#include "exchange/exchangeLists.h"
#include "radio/listRecord.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using namespace marlo;

namespace {

using Lines = std::vector<std::string>;

// In the order an import must take them: what decides the other lists' validity
// first (settings hold the selective-call ID length).
const char* const kEveryList[] = {"settings", "edges", "modes",   "ale",
                                  "selcall",  "phone", "channels"};

class ListRoundTrip : public ExchangeTest, public ::testing::WithParamInterface<int> {};

// Importing a document's own export changes no byte, for the initial files, for
// a document whose every list is full, and for one whose ALE references point at
// an unused entry and past the list.
TEST_P(ListRoundTrip, OwnExportChangesNoByte) {
    for (const int state : {0, 1, 2}) {
        SCOPED_TRACE(state);
        startDocument(GetParam());
        if (state > 0)
            fillEveryList();
        if (state == 2) {
            ListRecord entry(&document());
            entry.MakeBlank(listAleId, 0);
            entry.Store(listAleId, 0);
            entry.Load(listUserChannel, 2);
            entry.aleIndex = 200;
            entry.Store(listUserChannel, 2);
        }
        MemoryImage before;
        copy(before, document());
        for (const char* name : kEveryList) {
            SCOPED_TRACE(name);
            EXPECT_EQ(importCsv(name, exportCsv(name)), Lines{});
        }
        EXPECT_TRUE(document().Equals(before));
    }
}

// A full document exported list by list and imported into the initial file of
// its variant shows no difference there.
TEST_P(ListRoundTrip, FullDocumentArrivesInTheInitialFile) {
    startDocument(GetParam(), true);
    fillEveryList();
    MemoryImage full;
    copy(full, document());
    std::vector<std::string> tables;
    for (const char* name : kEveryList)
        tables.push_back(exportCsv(name));

    startDocument(GetParam(), true);
    ASSERT_NE(diff(full, document()), Lines{});
    for (std::size_t i = 0; i < tables.size(); ++i) {
        SCOPED_TRACE(kEveryList[i]);
        EXPECT_EQ(importCsv(kEveryList[i], tables[i]), Lines{});
    }
    EXPECT_EQ(diff(full, document()), Lines{});
}

INSTANTIATE_TEST_SUITE_P(Variants, ListRoundTrip, ::testing::Values(0, 1));

TEST_F(ExchangeTest, ExportShowsWhatTheCellsShow) {
    startDocument(0);
    fillEveryList();
    const std::string channels = exportCsv("channels");
    EXPECT_EQ(channels.substr(0, channels.find("\r\n", channels.find("\r\n") + 2) + 2),
              "slot,number,rx_khz,tx_khz,mode,name,call,ale,scan_group,filter,edit\r\n"
              "1,9999,2000.0,<-,J3E-A,Ch.0 <0>,ALE,ST1000,Group 0,Auto,Editable\r\n");
    const std::string settings = exportCsv("settings");
    EXPECT_NE(settings.find("\r\nCloneComm,\"Fleet, \"\"North\"\"\"\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\nTxPwrSel,Low\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\nLQAvarege,7\r\n"), std::string::npos);

    startDocument(0);
    const std::string empty = exportCsv("phone");
    EXPECT_EQ(empty.substr(0, 25), "slot,number,name\r\n1,,\r\n2,");
}

// What an import stores: values as typed, blanks that empty, columns in any
// order, a table from a comma-decimal spreadsheet, rows left out are empty.
TEST_F(ExchangeTest, ImportTypesEveryValueIntoItsCell) {
    startDocument(0);
    fillEveryList();
    // As a spreadsheet in a decimal-comma locale saves it, byte order mark and all.
    const std::string table = "\xEF\xBB\xBFname;rx_khz;slot;number;tx_khz;mode;call;ale\r\n"
                              "Harbour;7055,0;3;12;<-;a1a;Voice;\r\n";
    ASSERT_EQ(importCsv("channels", table), Lines{});
    const std::string out = exportCsv("channels");
    EXPECT_NE(out.find("\r\n3,12,7055.0,<-,A1A,Harbour,Voice,-----,"), std::string::npos) << out;
    EXPECT_NE(out.find("\r\n1,,,,,,,,,,\r\n"), std::string::npos);
    EXPECT_NE(out.find("\r\n500,,,,,,,,,,\r\n"), std::string::npos);

    ASSERT_EQ(importCsv("phone", "slot,number,name\n002,0123,\n"), Lines{});
    EXPECT_NE(exportCsv("phone").find("\r\n2,0123,\r\n"), std::string::npos);
    // A column the table leaves out keeps what the entry held.
    // A range with the dash a spreadsheet puts in, or written out.
    ASSERT_EQ(importCsv("selcall", "slot,id,channels_1,channels_2,channels_3\n"
                                   "1,12,20-5,5\xE2\x80\x93"
                                   "9,6 .. 8\n2,13,3 to 4,,\n"),
              Lines{});
    EXPECT_NE(exportCsv("selcall").find("\r\n1,000012,Unit/0 (HQ),5-20,5-9,6-8"),
              std::string::npos);
    EXPECT_NE(exportCsv("selcall").find("\r\n2,000013,Unit/1 (HQ),3-4,"), std::string::npos);
    // A blank leaves a value that cannot be emptied as it is.
    ASSERT_EQ(importCsv("settings", "setting,value\nTxPwrSel,medium\nCallTime,auto\nNmeaId,\n"),
              Lines{});
    const std::string settings = exportCsv("settings");
    EXPECT_NE(settings.find("\r\nTxPwrSel,Medium\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\nCallTime,Auto\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\r\nNmeaId,42\r\n"), std::string::npos);
}

struct Refusal {
    const char* name;
    const char* list;
    const char* csv;
    Lines problems;
    bool expert = false;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class ImportRefusal : public ExchangeTest, public ::testing::WithParamInterface<Refusal> {};

// Every refusal leaves the document exactly as it was.
TEST_P(ImportRefusal, ReportsByLineAndColumnAndChangesNothing) {
    const Refusal& r = GetParam();
    startDocument(0, r.expert);
    fillEveryList();
    MemoryImage before;
    copy(before, document());
    EXPECT_EQ(importCsv(r.list, r.csv), r.problems);
    EXPECT_TRUE(document().Equals(before));
}

const std::string kLongName = "slot,number,rx_khz,name\n1,5,7000,ABCDEFGHIJKLMNOP\n";
const std::string kAccent = "slot,number,rx_khz,name\n1,5,7000,Caf\xC3\xA9\n";
const std::string kLineBreak = "slot,number,rx_khz,name\n1,5,7000,\"two\nlines\"\n";
const std::string kAleOver = "slot,number,rx_khz,tx_khz,mode,call\n101,5,2000.0,<-,J3E-A,ALE\n";

const Refusal kRefusals[] = {
    {"UnknownColumn",
     "channels",
     "slot,number,colour\n1,5,red\n",
     {"line 1, column colour: unknown column; channels has slot, number, rx_khz, tx_khz, mode, "
      "name, call, ale, scan_group, filter, edit"}},
    {"EmptyHeaderColumn",
     "channels",
     "slot,number,\n1,5,\n",
     {"line 1, column 3: the header names no column here (channels has slot, number, rx_khz, "
      "tx_khz, mode, name, call, ale, scan_group, filter, edit)"}},
    {"DuplicatedColumn",
     "channels",
     "slot,number,number\n1,5,6\n",
     {"line 1, column number: the column is given twice"}},
    {"MissingKeyColumn",
     "phone",
     "slot,name\n1,Office\n",
     {"line 1, column number: missing from the header"}},
    {"RaggedRow",
     "channels",
     "slot,number,rx_khz\n1,5\n",
     {"line 2: 2 values, but the header has 3 columns"}},
    {"UnknownSlot",
     "channels",
     "slot,number,rx_khz\n501,5,7000\n",
     {"line 2, column slot: \"501\" is no slot of channels (1..500)"}},
    {"SlotTwice",
     "channels",
     "slot,number,rx_khz\n1,5,7000\n1,6,7000\n",
     {"line 3, column slot: slot 1 is given twice (line 2)"}},
    {"UnknownSetting",
     "settings",
     "setting,value\nTxPower,Low\n",
     {"line 2, column setting: \"TxPower\" is no setting of settings"}},
    {"NotAChoice",
     "settings",
     "setting,value\nTxPwrSel,Maximum\n",
     {"line 2, column value: not one of \"High\", \"Medium\", \"Low\""}},
    {"OutOfRange",
     "settings",
     "setting,value\nNmeaId,100\n",
     {"line 2, column value: would be stored as \"99\""}},
    {"NotANumber",
     "settings",
     "setting,value\nScanSpeed,fast\n",
     {"line 2, column value: 'f' cannot be read in a number (digits, one point, a leading "
      "minus)"}},
    {"ExpertOnly",
     "edges",
     "range,low_khz\ntx1,2100\n",
     {"line 2, column low_khz: can be changed only in expert mode (import --expert)"}},
    {"NeverChangeable",
     "modes",
     "slot,use\n2,Disabled\n",
     {"line 2, column use: cannot be changed"}},
    {"FrequencyBelowStep",
     "channels",
     "slot,number,rx_khz\n1,5,7053.45\n",
     {"line 2, column rx_khz: would be stored as \"7053.4\""}},
    {"FrequencyTooHigh",
     "channels",
     "slot,number,rx_khz\n1,5,40000\n",
     {"line 2, column rx_khz: would be stored as \"29999.9\"",
      "line 2, column tx_khz: outside every transmit range"}},
    {"CommaInCommaTable",
     "channels",
     "slot,number,rx_khz\n1,5,\"7053,4\"\n",
     {"line 2, column rx_khz: a comma in a number cannot be read: use a point for decimals"}},
    {"ThousandsSeparator",
     "channels",
     "slot;number;rx_khz\n1;5;7.053,4\n",
     {"line 2, column rx_khz: a number with a thousands separator cannot be read"}},
    {"ReceiveBlank",
     "channels",
     "slot,number,rx_khz\n1,5,\n",
     {"line 2, column rx_khz: a channel needs a receive frequency"}},
    {"OutsideReceiveEdge",
     "channels",
     "slot,number,rx_khz,tx_khz\n1,5,1000,\n",
     {"line 2, column rx_khz: outside the receive band edge"}},
    {"OutsideTransmitRanges",
     "channels",
     "slot,number,rx_khz,tx_khz\n1,5,7000,3700\n",
     {"line 2, column tx_khz: outside every transmit range"}},
    {"RepeatedNumber",
     "channels",
     "slot,number,rx_khz\n1,5,7000\n2,5,7000\n",
     {"line 3, column number: \"5\" repeats slot 1"}},
    {"ValuesWithoutNumber",
     "channels",
     "slot,number,rx_khz\n1,,7000\n",
     {"line 2, column number: a row with values needs one here (a row with its slot alone is "
      "an empty entry)"}},
    {"ModeAndCallDisagree",
     "channels",
     "slot,number,rx_khz,mode,call\n1,5,7000,A1A,ALE\n",
     {"line 2, column call: the call kind does not go with the channel's mode"}},
    {"NameTooLong",
     "channels",
     kLongName.c_str(),
     {"line 2, column name: longer than 15 characters"}},
    {"NameAccent",
     "channels",
     kAccent.c_str(),
     {"line 2, column name: the radio cannot store the character '\xC3\xA9' in a name (letters "
      "A-Z, digits, space and _-/.'()*+<=>@)"}},
    {"NameLeadingBlanks",
     "channels",
     "slot,number,rx_khz,name\n1,5,7000,  HARBOUR\n",
     {"line 2, column name: would be stored as \"HARBOUR\" (without its leading blanks)"}},
    {"NameLineBreak",
     "channels",
     kLineBreak.c_str(),
     {"line 2, column name: line breaks and control characters cannot be stored"}},
    {"AleAddressCharacter",
     "ale",
     "slot,address\n1,NORTH PIER\n",
     {"line 2, column address: the radio cannot store the character ' ' in an ALE address "
      "(letters A-Z, digits and @?_)"}},
    {"AleAddressRepeated",
     "ale",
     "slot,address\n1,ST1\n2,st1\n",
     {"line 3, column address: \"ST1\" repeats slot 1"}},
    {"TelephoneLetters",
     "phone",
     "slot,number\n1,0800-CALL\n",
     {"line 2, column number: only digits can be stored"}},
    {"TelephoneTooLong",
     "phone",
     "slot,number\n1,12345678901234567\n",
     {"line 2, column number: more than 16 digits"}},
    // What the cells' filters would drop unseen ("12 (old 15)" as 1215, "7e3" as
    // 73.0): a spreadsheet's formula result, a non-breaking space, a hex number.
    {"CharactersAFilterDrops",
     "channels",
     "slot,number,rx_khz\n1,12 (old 15),7000\n2,0x200,7000\n3,5,7e3\n4,6,1.23457E+15\n"
     "5,7,7000\xC2\xA0\n",
     {"line 2, column number: ' ' cannot be read in a number (digits, one point, a leading minus)",
      "line 3, column number: 'x' cannot be read in a number (digits, one point, a leading minus)",
      "line 4, column rx_khz: 'e' cannot be read in a number (digits, one point, a leading minus)",
      "line 5, column rx_khz: 'E' cannot be read in a number (digits, one point, a leading minus)",
      "line 6, column rx_khz: '\xC2\xA0' cannot be read in a number (digits, one point, a leading "
      "minus)"}},
    {"SelCallIdTooLong",
     "selcall",
     "slot,id\n1,1234567\n",
     {"line 2, column id: longer than 6 characters"}},
    {"RangeSeparator",
     "selcall",
     "slot,id,channels_1\n1,12,5/9\n",
     {"line 2, column channels_1: '/' cannot be read in a channel range (write 5-9)"}},
    {"ShownOnly",
     "modes",
     "slot,mode\n2,LSB\n",
     {"line 2, column mode: cannot be changed (it shows \"USB\")"}},
};

INSTANTIATE_TEST_SUITE_P(Table, ImportRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

// The 101st ALE channel: the full document has 100 already. Giving one up in
// the same table makes room, in whichever row it comes.
// The table with the row of `slot` replaced.
std::string withRow(std::string table, int slot, const std::string& row) {
    const std::string start = "\r\n" + std::to_string(slot) + ",";
    const std::size_t at = table.find(start);
    EXPECT_NE(at, std::string::npos) << slot;
    return table.replace(at + 2, table.find("\r\n", at + 2) - at - 2, row);
}

// The 101st ALE channel. The full document has 100; here the last is slot 500,
// so a channel that gives ALE up may come after one that takes it.
TEST_F(ExchangeTest, ImportKeepsTheAleChannelLimit) {
    startDocument(0);
    fillEveryList();
    const std::string filled = exportCsv("channels");
    const std::string voice = "J3E,,Voice,-----,Group 0,Auto,Editable";
    ASSERT_EQ(importCsv("channels",
                        withRow(withRow(filled, 1, "1,9999,2000.0,<-," + voice), 500,
                                "500,9500,2000.0,<-,J3E-A,,ALE,ST1000,Group 0,Auto,Editable")),
              Lines{});
    MemoryImage before;
    copy(before, document());
    const std::string full = exportCsv("channels");

    // A table of one ALE channel empties every other slot: room enough.
    EXPECT_EQ(importCsv("channels", kAleOver), Lines{});
    copy(document(), before);

    const std::string tooMany =
        withRow(full, 101, "101,9899,2000.0,<-,J3E-A,,ALE,-----,Group 0,Auto,Editable");
    EXPECT_EQ(importCsv("channels", tooMany),
              (Lines{"line 102, column call: not one of \"Voice\", \"Selcall\", \"Telcall\" (no "
                     "more than 100 channels can use ALE calling)"}));
    EXPECT_TRUE(document().Equals(before));

    EXPECT_EQ(importCsv("channels", withRow(tooMany, 500, "500,9500,2000.0,<-," + voice)), Lines{});
}

// A full settings table with one setting it does not know names that setting,
// rather than counting rows.
TEST_F(ExchangeTest, AnUnknownRowOfAFullTableIsNamed) {
    startDocument(0);
    const std::string table = exportCsv("settings") + "TxPower,Low\r\n";
    const auto line = std::count(table.begin(), table.end(), '\n');
    EXPECT_EQ(importCsv("settings", table),
              Lines{"line " + std::to_string(line) +
                    ", column setting: \"TxPower\" is no setting of settings"});
}

// A table whose own rows are fine but which leaves another entry in error (the
// clone write would refuse the document) is refused, naming that entry and, when
// one line alone changed anything, the line. Errors the document had already
// are told, not blamed on the table.
TEST_F(ExchangeTest, ImportRefusesWhatMakesAnotherEntryWrong) {
    struct Case {
        const char* list;
        const char* csv;
        Lines problems;
    };
    const std::string outside = "line 2: the table makes channels slot ";
    const std::string disabled =
        ", column mode wrong: the mode is disabled in the mode registrations";
    const Case cases[] = {
        {"edges",
         "range,low_khz,high_khz\nrx,2500,29999.9\n",
         {outside + "1, column rx_khz wrong: outside the receive band edge",
          outside + "2, column rx_khz wrong: outside the receive band edge",
          outside + "3, column rx_khz wrong: outside the receive band edge",
          outside + "4, column rx_khz wrong: outside the receive band edge",
          outside + "5, column rx_khz wrong: outside the receive band edge",
          "line 2: the table makes 196 more entries wrong"}},
        {"edges",
         "range,low_khz,high_khz\ntx1,2000,3500\ntx3,9000,9000\n",
         {"line 3: the table makes edges range tx4, column low_khz wrong: the band edges do not "
          "fit together (every transmit range within the receive edge, ranges rising and "
          "without gaps, both limits set)"}},
        {"modes",
         "slot,use\n3,Disabled\n",
         {outside + "102" + disabled, outside + "107" + disabled, outside + "112" + disabled,
          outside + "117" + disabled, outside + "122" + disabled,
          "line 2: the table makes 75 more entries wrong"}},
    };
    startDocument(0, true);
    fillEveryList();
    MemoryImage before;
    copy(before, document());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        EXPECT_EQ(importCsv(c.list, c.csv), c.problems);
        EXPECT_TRUE(document().Equals(before));
    }

    // Slot 7 lies outside the receive edge already: its own table is taken, and
    // the error is told.
    ListRecord channel(&document());
    channel.Load(listUserChannel, 6);
    channel.rxFrequency = 1'000'000;
    channel.Store(listUserChannel, 6);
    copy(before, document());
    std::vector<std::string> standing;
    EXPECT_EQ(importCsv("channels", exportCsv("channels"), &standing), Lines{});
    EXPECT_EQ(standing, Lines{"channels slot 7, column rx_khz: outside the receive band edge"});
    EXPECT_TRUE(document().Equals(before));
}

TEST_F(ExchangeTest, DiffShowsChangedCellsAndOtherBytes) {
    startDocument(0);
    fillEveryList();
    MemoryImage a;
    copy(a, document());
    EXPECT_EQ(diff(a, document()), Lines{});

    ASSERT_EQ(importCsv("settings", "setting,value\nTxPwrSel,High\n"), Lines{});
    MemoryImage& b = document();
    b.SetByte(0x6C2D, static_cast<std::uint8_t>(b.GetByte(0x6C2D) ^ 1));
    b.SetByte(0x6C2E, static_cast<std::uint8_t>(b.GetByte(0x6C2E) ^ 1));
    // Slot 12: a scan-group byte above 3 shows as group 3, as it held; bits 0..6
    // of the edit byte are kept but belong to no cell.
    b.SetByte(14715 + 11, 7);
    b.SetByte(715 + 26 * 11 + 9, static_cast<std::uint8_t>(b.GetByte(715 + 26 * 11 + 9) ^ 1));
    EXPECT_EQ(diff(a, b),
              (Lines{"channels slot 12: stored bytes differ where nothing shown differs (0x3986)",
                     "settings TxPwrSel: Low -> High", "byte 0x03F2: 80 -> 81",
                     "bytes 0x6C2D..0x6C2E: 45 58 -> 44 59"}));
}

} // namespace
