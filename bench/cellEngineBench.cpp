// The cell engine as a repaint asks it: every bound cell of a channel sheet of 500
// used channels (row number, channel number, both frequencies, mode, ALE ID,
// comment, call kind, scan group, filter, edit flag), each evaluated for its text
// and its invalid and duplicate marks. The channels repeat numbers and ALE IDs
// and stray outside the band edges, so the marks are really searched for.
#include "core/cmcEeprom.h"
#include "core/modelIdentity.h"
#include "overlay/cmcGTex.h"
#include "radio/EntryClipboard.h"
#include "radio/ListEntry.h"
#include "radio/cellLabels.h"
#include "radio/cmcCellCapsule.h"
#include "radio/cmcCellContext.h"
#include "radio/cmcOverlayLists.h"
#include "radio/indActiveCell.h"
#include "radio/rowOperations.h"
#include "radio/warningCheck.h"
#include "sheets/cmcCellObj.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace cmcCells;

namespace {

std::vector<std::string> overlayLines() {
    std::vector<std::string> lines;
    const auto list = [&](const std::string& key, const std::string& label, int count) {
        lines.push_back("#" + key + "_Cells");
        for (int v = 0; v < count; ++v)
            lines.push_back("{(%" + label + "[" + std::to_string(v) + "])}item " +
                            std::to_string(v));
        lines.push_back("#");
    };
    list("GI_Sheet_Sel_Mode1_R", "CL_Sel_Mode_U", 9);
    list("GI_Sheet_Sel_Ale1_R", "Flex0", 120);
    list("GI_Sheet_Sel_UchCallA", "CL_Sel_Call_U", 4);
    list("GI_Sheet_Sel_UchCallA_full", "CL_Sel_Call_U", 3);
    list("GI_Sheet_Sel_UchScanG", "Flex0", 4);
    list("GI_Sheet_Sel_UchFilt", "Flex0", 4);
    list("GI_Sheet_Sel_UchEdit", "Flex0", 2);
    for (const char* form : {"J3E", "A3E", "J2B", "F1B", "A1A", "J3EALE"})
        list(std::string("GI_Sheet_Sel_ModeIn_") + form, "Flex0", 2);
    // The check list as the program's overlay has it.
    lines.emplace_back("#GI_WarningCheckList");
    for (const char* check :
         {"CL_Check_UserCh:GI_Sheet_UserCh", "CL_Check_SelCallId:GI_Sheet_SelCallId",
          "CL_Check_AleId:GI_Sheet_AleId", "CL_Check_TelNumber:GI_Sheet_TelNumber",
          "CL_Check_FreqRange:GI_Sheet_BandEdge", "CL_Check_ModeReg:GI_Sheet_ModeReg"})
        lines.push_back(std::string("{(%CT_Null.") + check + ")}");
    lines.emplace_back("#End_Of_Ovl");
    return lines;
}

// The document and nothing else: no commands, no settings worth changing.
class BenchContext : public cmcCellContext {
public:
    explicit BenchContext(cmcGTex& overlay) : lists_(overlay, *this) {
        for (cmcEeprom* image : {&current_, &saved_})
            image->Resize(marloModel::imageSize);
    }

    cmcEeprom& CurrentImage() override { return current_; }
    const cmcEeprom& SavedImage() override { return saved_; }
    const cmcEeprom& ComparisonImage() override { return saved_; }
    EntryClipboard& Clipboard() override { return clipboard_; }
    bool IsModified() const override { return false; }
    void SetModified() override {}
    bool HasDocumentName() const override { return false; }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return false; }
    bool FactoryMode() const override { return false; }
    bool GeneMode() const override { return false; }
    cmcIdentityDigits IdentityDigits() const override { return kNoIdentityDigits; }
    const dstRadioInfo& RadioInfo() const override { return info_; }
    int ModelVariant() const override { return 0; }
    void ChangeModel(int) override {}
    int FontSize() const override { return 100; }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return true; }
    int ComPort() const override { return 1; }
    void SetComPort(int) override {}
    std::string RecentFile(int) const override { return {}; }
    cmcCodec::cmcSelectionLists& SelectionLists() override { return lists_; }
    cmcCellCommands* Commands() override { return nullptr; }

private:
    cmcEeprom current_;
    cmcEeprom saved_;
    indEntryClipboard clipboard_;
    dstRadioInfo info_;
    cmcOverlayLists lists_;
};

void fillDocument(cmcEeprom& image) {
    ListEntry e(&image);
    e.load(listRxEdge, 0);
    e.low = 1'600'000;
    e.high = 29'999'999;
    e.store(listRxEdge, 0);
    for (std::int32_t i = 0; i <= ListEntry::lastStoredIndex(listTxEdge); ++i) {
        e.load(listTxEdge, i);
        e.low = i == 0 ? 7'000'000 : -1;
        e.high = i == 0 ? 7'300'000 : -1;
        e.store(listTxEdge, i);
    }
    for (std::int32_t m = 0; m < 9; ++m) {
        e.load(listModeReg, m);
        e.modeName = {'M', 'O', 'D', 'E', static_cast<std::uint8_t>('0' + m)};
        e.modeUse = m == 8 ? 0 : 1;
        e.store(listModeReg, m);
    }
    for (std::int32_t i = 0; i < 120; ++i) {
        e.makeBlank(listAleId, i);
        const std::string address = "ALE" + std::to_string(i % 90); // some repeat
        std::copy(address.begin(), address.end(), e.aleAddress.begin());
        e.store(listAleId, i);
    }
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.makeBlank(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(slot % 450 + 1); // the last 50 repeat
        e.rxFrequency = 2'000'000 + slot * 50'000;
        e.txFrequency = slot % 3 == 0 ? e.rxFrequency : 7'100'000;
        e.state = 0;
        e.mode = static_cast<std::uint8_t>(slot % 9);
        e.callKind = static_cast<std::uint8_t>(slot % 4);
        e.aleIndex = static_cast<std::uint8_t>(slot % 5 == 0 ? 255 : slot % 120);
        e.name.fill('C');
        e.store(listUserChannel, slot);
    }
}

void BM_RepaintChannelSheet(benchmark::State& state) {
    const std::vector<std::string> lines = overlayLines();
    std::vector<const char*> pointers;
    for (const std::string& line : lines)
        pointers.push_back(line.c_str());
    cmcGTex overlay;
    overlay.SetLines(pointers);
    cmcGTex::SetApp(&overlay);
    BenchContext context(overlay);
    fillDocument(context.CurrentImage());
    indActiveCell engine(context);

    std::vector<cmcCellObj> cells;
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        for (std::int32_t label :
             {CL_Misc_ChNo_1Base, CL_UCh_CH, CL_UCh_FreqR, CL_UCh_FreqT, CL_UCh_Mode, CL_UCh_Ale,
              CL_UCh_Comment, CL_UCh_Call, CL_UCh_ScanGroup, CL_UCh_Filter, CL_UCh_Edit}) {
            cmcCellObj& cell = cells.emplace_back();
            cell.category = CT_UserCh;
            cell.label = label;
            cell.index = slot;
        }
    }
    int marked = 0;
    for (auto _ : state) {
        marked = 0;
        for (cmcCellObj& cell : cells) {
            cmcCellCapsule request;
            request.cell = &cell;
            evaluateCell(engine, request, false);
            marked += request.status != 0;
            benchmark::DoNotOptimize(request.text.data());
        }
    }
    state.counters["cells"] = static_cast<double>(cells.size());
    state.counters["marked"] = marked;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(cells.size()));
    cmcGTex::SetApp(nullptr);
}
BENCHMARK(BM_RepaintChannelSheet)->Unit(benchmark::kMillisecond);

// An overlay and a full document for one benchmark's lifetime.
struct FullDocument {
    FullDocument() : lines(overlayLines()), context((install(), overlay)) {
        fillDocument(context.CurrentImage());
    }
    ~FullDocument() { cmcGTex::SetApp(nullptr); }
    void install() {
        for (const std::string& line : lines)
            pointers.push_back(line.c_str());
        overlay.SetLines(pointers);
        cmcGTex::SetApp(&overlay);
    }

    std::vector<std::string> lines;
    std::vector<const char*> pointers;
    cmcGTex overlay;
    BenchContext context;
};

void checkRepeatedly(benchmark::State& state, FullDocument& doc) {
    indActiveCell engine(doc.context);
    int marks = 0;
    for (auto _ : state) {
        const dstWarningCheck check = cmcCheckWarnings(engine, doc.overlay);
        marks = check.errors + check.warnings;
        benchmark::DoNotOptimize(marks);
    }
    state.counters["marks"] = marks;
}

// The check that runs 250 ms after every edit, on a document whose lists are
// full and whose channels hold repeats and out-of-band frequencies.
void BM_WarningsCheckFullDocument(benchmark::State& state) {
    FullDocument doc;
    checkRepeatedly(state, doc);
}
BENCHMARK(BM_WarningsCheckFullDocument)->Unit(benchmark::kMillisecond);

// The same on full lists without a fault: every row of every list is looked at.
void BM_WarningsCheckCleanFullDocument(benchmark::State& state) {
    FullDocument doc;
    ListEntry e(&doc.context.CurrentImage());
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.load(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(slot + 1);
        e.txFrequency = e.rxFrequency;
        e.mode = 1;
        e.callKind = 0;
        e.aleIndex = ListEntry::noAle;
        e.store(listUserChannel, slot);
    }
    for (std::int32_t i = 0; i < 120; ++i) {
        e.load(listAleId, i);
        const std::string address = "ALE" + std::to_string(i);
        std::copy(address.begin(), address.end(), e.aleAddress.begin());
        e.store(listAleId, i);
    }
    checkRepeatedly(state, doc);
}
BENCHMARK(BM_WarningsCheckCleanFullDocument)->Unit(benchmark::kMillisecond);

// Sort of 500 used channels whose numbers run backwards (every one moves).
void BM_SortFullChannels(benchmark::State& state) {
    FullDocument doc;
    cmcEeprom& image = doc.context.CurrentImage();
    ListEntry e(&image);
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.load(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(1000 - slot);
        e.store(listUserChannel, slot);
    }
    cmcEeprom unsorted;
    unsorted.Assign(image);
    for (auto _ : state) {
        state.PauseTiming();
        image.Assign(unsorted);
        state.ResumeTiming();
        cmcSortUserChannels(image);
    }
    e.load(listUserChannel, 0);
    state.counters["first"] = e.channelNumber;
}
BENCHMARK(BM_SortFullChannels)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
