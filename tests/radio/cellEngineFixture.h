#pragma once

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "radio/cellCommands.h"
#include "radio/cellContext.h"
#include "radio/cellEngine.h"
#include "radio/cellRequest.h"
#include "radio/overlayLists.h"
#include "radio/rowClipboard.h"
#include "sheets/cellModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

using namespace marlo;

class MockCellCommands : public CellCommands {
public:
    MOCK_METHOD(void, FileNew, (), (override));
    MOCK_METHOD(void, FileOpen, (), (override));
    MOCK_METHOD(void, FileSave, (), (override));
    MOCK_METHOD(void, FileSaveAs, (), (override));
    MOCK_METHOD(void, FileOpenRecent, (int), (override));
    MOCK_METHOD(void, FileExit, (), (override));
    MOCK_METHOD(bool, CanPrintCurrent, (), (override));
    MOCK_METHOD(void, PrintCurrent, (), (override));
    MOCK_METHOD(void, PrintAll, (), (override));
    MOCK_METHOD(void, CloneRead, (), (override));
    MOCK_METHOD(void, CloneWrite, (), (override));
    MOCK_METHOD(void, CloneInfo, (), (override));
    MOCK_METHOD(void, PortDialog, (), (override));
    MOCK_METHOD(void, FontSizeChanged, (), (override));
    MOCK_METHOD(void, ToggleToolBar, (), (override));
    MOCK_METHOD(void, OpenHelp, (const std::string&), (override));
    MOCK_METHOD(void, CallSheet, (const std::string&), (override));
    MOCK_METHOD(void*, MainMenu, (), (override));
    MOCK_METHOD(int, MainMenuSubItems, (int), (override));
    MOCK_METHOD(void, OpenSelectionList, (CellRequest&, std::string_view, int, std::int32_t),
                (override));
    MOCK_METHOD(void, OpenBitEditor, (CellRequest&, std::uint8_t, std::string_view), (override));
};

// A document of the model's size with plain contents, and the rest of what the
// engine asks of the program, kept in members a test may set and read.
class TestCellContext : public CellContext {
public:
    explicit TestCellContext(OverlayTexts& overlay);

    MemoryImage& CurrentImage() override { return current; }
    const MemoryImage& SavedImage() override { return saved; }
    const MemoryImage& ComparisonImage() override { return comparison; }
    RowClipboard& Clipboard() override { return clipboard; }
    bool IsModified() const override { return modified; }
    void SetModified() override { modified = true; }
    bool HasDocumentName() const override { return !documentName.empty(); }
    void StartWarningsDelay() override { ++warningsDelays; }
    bool ExpertMode() const override { return expert; }
    bool FactoryMode() const override { return factory; }
    bool GeneMode() const override { return gene; }
    IdentityDigits Identity() const override { return identity; }
    const RadioInfo& LastRadioInfo() const override { return radioInfo; }
    int ModelVariant() const override { return variant; }
    void ChangeModel(int to) override { changedModelTo.push_back(to); }
    int FontSize() const override { return fontSize; }
    void SetFontSize(int size) override { fontSize = size; }
    bool ToolBarVisible() const override { return toolBar; }
    int ComPort() const override { return comPort; }
    void SetComPort(int port) override { comPort = port; }
    std::string RecentFile(int index) const override;
    codec::SelectionLists& SelectionLists() override { return lists_; }
    CellCommands* Commands() override { return commands; }

    MemoryImage current;
    MemoryImage saved;
    MemoryImage comparison;
    ProgramRowClipboard clipboard;
    bool modified = false;
    std::string documentName;
    int warningsDelays = 0;
    bool expert = false;
    bool factory = false;
    bool gene = false;
    IdentityDigits identity{0x12, 0x34, 0x56, 0x78, 0x90};
    RadioInfo radioInfo;
    int variant = 0;
    std::vector<int> changedModelTo;
    int fontSize = 100;
    bool toolBar = true;
    int comPort = 1;
    std::vector<std::string> recent;
    CellCommands* commands = nullptr;

private:
    OverlayLists lists_;
};

// What an evaluation left in its request.
struct CellOutcome {
    std::uint8_t result = 0;
    std::string text;
    std::uint8_t status = 0;
    std::int32_t action = 0;
    std::int32_t redirected = 0;
    std::int32_t outLabel = 0;
    std::int32_t outAction = 0;
    std::int32_t selStart = 0;
    std::int32_t selLength = 0;
    std::optional<Colour> fontColour;
    std::uint8_t layout = 0;
    std::uint8_t behaviour = 0;
    std::uint8_t changeBits = 0; // as onChange saw them; 0 when it was not called

    bool invalid() const { return (status & CellRequest::kInvalid) != 0; }
    bool duplicate() const { return (status & CellRequest::kDuplicate) != 0; }
    bool flag(int n) const { return (behaviour & (CellBehaviour::Flag0 << n)) != 0; }
};

// The engine on a test document: the overlay holds the texts and selection lists
// the value cells name (items "Off"/"On", "v0".."v3" and so on), the hub records
// what it delivers, the commands are a mock.
//
// The document: every list blank; receive edge 1.6..30 MHz, transmit ranges
// 7.0..7.3 MHz and 14.0..14.35 MHz; nine modes named as the radio names them,
// all usable except mode 8.
class CellEngineTest : public ::testing::Test {
protected:
    CellEngineTest();
    ~CellEngineTest() override;

    // Evaluations as a sheet asks for them: a paint, a key, edited text, a pick
    // (the item's label and index) and a context-menu command.
    CellOutcome shown(std::int32_t category, std::int32_t label, std::int32_t index);
    CellOutcome key(std::int32_t category, std::int32_t label, std::int32_t index,
                    std::int32_t action);
    CellOutcome typed(std::int32_t category, std::int32_t label, std::int32_t index,
                      const std::string& text);
    CellOutcome picked(std::int32_t category, std::int32_t label, std::int32_t index,
                       std::int32_t itemLabel, std::int32_t itemIndex);
    CellOutcome command(std::int32_t category, std::int32_t label, std::int32_t index,
                        std::int32_t popupCommand);
    // Evaluates a prepared request for a cell the fixture keeps.
    CellOutcome evaluate(CellModel& cell, CellRequest& request);
    CellModel& newCell(std::int32_t category, std::int32_t label, std::int32_t index);

    // The document, written through ListRecord.
    void putChannel(std::int32_t slot, std::uint32_t number, std::int32_t rxHz, std::int32_t txHz,
                    std::uint8_t mode = 1, std::uint8_t callKind = 0, std::uint8_t aleIndex = 255);
    ListRecord entry(std::uint8_t listType, std::int32_t index);
    void putSelCallId(std::int32_t index, std::array<std::uint8_t, 3> id);
    void putAleAddress(std::int32_t index, const std::string& address, bool withIdn = false);
    void putTelNumber(std::int32_t index, std::array<std::uint8_t, 8> number);
    void putEdge(std::uint8_t listType, std::int32_t index, std::int32_t low, std::int32_t high);
    std::uint8_t byteAt(std::int32_t address) const { return context_.current.GetByte(address); }
    void setByte(std::int32_t address, std::uint8_t v) { context_.current.SetByte(address, v); }

    // Waits until the hub has delivered everything posted so far.
    void flushHub();
    // The messages delivered of one type, oldest first.
    std::vector<HubMessage> delivered(std::uint8_t type) const;

    std::vector<std::string> overlayLines_;
    std::vector<const char*> overlayPointers_;
    OverlayTexts overlay_;
    OverlayTexts* previousOverlay_;
    NotificationHub hub_;
    TestCellContext context_;
    ::testing::NiceMock<MockCellCommands> commands_;
    CellEngine engine_;

private:
    static void record(void* self, const HubMessage& message);
    std::vector<HubMessage> messages_;
    std::deque<CellModel> cells_;
};

// The overlay's selection lists that the fixture provides.
std::vector<std::string> testOverlayLines();

// Names a row of a table-driven suite after its `name` field.
template <typename Row>
std::string rowName(const ::testing::TestParamInfo<Row>& row) {
    return row.param.name;
}
