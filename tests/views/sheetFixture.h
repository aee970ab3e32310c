#pragma once

#include "viewsTestOverlay.h"

#include "core/notificationHub.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "sheets/overlayLineStore.h"
#include "views/sheet.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace marlo;

// What the engine was asked to do (paints are counted apart).
struct EngineCall {
    std::int32_t label = 0;
    std::int32_t index = 0;
    std::int32_t action = 0;
    std::int32_t command = 0;
    std::uint8_t inputMode = 0;
    std::string inputText;
    bool hasPartner = false;
    std::int32_t partnerLabel = -1; // the partner request's cell
    std::int32_t partnerIndex = -1;
};

// Stands in for the cell engine: bound cells show "<label>:<index>", every
// request that is not a paint is recorded, and a test may answer it through
// `respond` (setting the text, a redirect, an out action, a result).
class ScriptedEngine {
public:
    std::uint8_t operator()(CellRequest& request, bool notify);

    std::vector<EngineCall> calls;
    std::vector<std::pair<std::int32_t, std::int32_t>> painted; // label, index
    std::function<std::uint8_t(CellRequest&)> respond;
};

// A hub, an overlay of test sheets and a shown host window per sheet.
class SheetTest : public ::testing::Test {
public:
    SheetTest();
    ~SheetTest() override;

    // Adds a sheet's entries; call before Make.
    void Define(const std::string& key, const std::string& style,
                const std::vector<std::string>& cells, const std::string& basic = "{($Basic)}");
    // A built, shown sheet in its own host, with the focus on its grid.
    Sheet& Make(const std::string& key, bool popup = false, Sheet::StartCell start = {});
    OverlayTexts& Store();

    std::pair<int, int> CursorAt() const;
    QPoint CentreOf(int col, int row) const;
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Delivers what the hub has queued.
    void FlushHub();
    // The hub messages of one type seen so far.
    std::vector<HubMessage> Seen(std::uint8_t type) const;

    NotificationHub hub;
    ScriptedEngine engine;
    std::vector<int> waits;
    MarkImages marks;
    std::vector<std::string> lines = viewModelLines();
    std::unique_ptr<OverlayLineStore> store;
    std::unique_ptr<QWidget> host;
    std::unique_ptr<Sheet> sheet;

private:
    static void Record(void* self, const HubMessage& message);
    std::vector<HubMessage> messages_;
};

// A 10-row list sheet "L": a fixed header row and number column, then rows of
// a channel cell, a receive cell with a tail, and a comment; rows 0..9 bind
// index 0..9 of CT_UserCh. Line marks with MultiSelect=Line.
void defineList(SheetTest& test, const std::string& key = "L",
                const std::string& style = "(FixedCols=1)(FixedRows=1)(MultiSelect=Line)");
