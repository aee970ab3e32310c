// The codecs: any text typed into a value cell of every kind, in a document
// loaded from the initial clone file. The first byte picks the cell, the second
// the mode (bit 0: expert mode, bit 1: model variant 1); the rest is the text.
//
// An edit changes only the cell's own bytes, never the image's size, and the
// cell shows its value afterwards.
#include "fuzzSupport.h"

#include "cellFields.h"
#include "core/cloneFileCheck.h"
#include "core/cmcEeprom.h"
#include "overlay/cmcGTex.h"
#include "platform/programPath.h"
#include "radio/EntryClipboard.h"
#include "radio/cmcCellCapsule.h"
#include "radio/cmcCellContext.h"
#include "radio/cmcOverlayLists.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcCellObj.h"
#include "sheets/cmcEvMan.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzzSupport::Check;

// A document opened from an initial file, with no window around it.
class DocumentContext : public cmcCellContext {
public:
    DocumentContext() : lists_(cmcGTex::App(), *this) {
        for (int v = 0; v < 2; ++v) {
            const std::string file = cmcGTex::App().GetLine("GI_App_InitialFile", v);
            Check(cmcCheckCloneFile(programDir() + file, initial[v]) == cmcVcfFile::Ok,
                  "an initial file did not open");
        }
    }

    void Reset(int v, bool expertMode) {
        variant = v;
        expert = expertMode;
        current.Assign(initial[v]);
        saved.Assign(initial[v]);
        comparison.Assign(initial[v]);
    }

    cmcEeprom& CurrentImage() override { return current; }
    const cmcEeprom& SavedImage() override { return saved; }
    const cmcEeprom& ComparisonImage() override { return comparison; }
    EntryClipboard& Clipboard() override { return clipboard_; }
    bool IsModified() const override { return false; }
    void SetModified() override {}
    bool HasDocumentName() const override { return false; }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return expert; }
    bool FactoryMode() const override { return false; }
    bool GeneMode() const override { return false; }
    cmcIdentityDigits IdentityDigits() const override { return kNoIdentityDigits; }
    const dstRadioInfo& RadioInfo() const override { return radioInfo_; }
    int ModelVariant() const override { return variant; }
    void ChangeModel(int) override {}
    int FontSize() const override { return 100; }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return true; }
    int ComPort() const override { return 1; }
    void SetComPort(int) override {}
    std::string RecentFile(int) const override { return {}; }
    cmcCodec::cmcSelectionLists& SelectionLists() override { return lists_; }
    cmcCellCommands* Commands() override { return nullptr; }

    cmcEeprom initial[2];
    cmcEeprom current;
    cmcEeprom saved;
    cmcEeprom comparison;
    int variant = 0;
    bool expert = false;

private:
    indEntryClipboard clipboard_;
    dstRadioInfo radioInfo_;
    cmcOverlayLists lists_;
};

struct Fixture {
    cmcEvMan hub;
    DocumentContext context;
    indActiveCell engine{context};
    std::vector<cellFields::FieldCell> fields = cellFields::fieldCells();
    cmcEeprom before;

    Fixture() { cmcEvMan::SetApp(&hub); }
};

Fixture* fixture = nullptr;

std::uint8_t evaluate(cmcCellObj& cell, cmcCellCapsule& request) {
    static int grid;
    request.cell = &cell;
    request.grid = &grid;
    return evaluateCell(fixture->engine, request, true);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSupport::StartQt();
    fuzzSupport::InstallOverlay();
    static fuzzSupport::CountingPrompter boxes;
    // Lives as long as the process: its hub's timer goes only with the event loop.
    fixture = new Fixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const cellFields::FieldCell& field = fixture->fields[data[0] % fixture->fields.size()];
    DocumentContext& context = fixture->context;
    context.Reset(data[1] >> 1 & 1, (data[1] & 1) != 0);
    fixture->before.Assign(context.current);

    cmcCellObj cell;
    cell.category = field.category;
    cell.label = field.label;
    cell.index = field.index;
    cmcCellCapsule typed;
    typed.inputMode = cmcCellCapsule::kEditedText;
    typed.inputText.assign(reinterpret_cast<const char*>(data + 2), size - 2);
    evaluate(cell, typed);

    const cmcEeprom& after = context.current;
    Check(after.Size() == fixture->before.Size(), "an edit changed the image's size");
    for (std::int32_t a = 0; a < after.Size(); ++a) {
        if (after.GetByte(a) != fixture->before.GetByte(a) && !cellFields::inside(field.regions, a))
            fuzzSupport::Broken("label " + std::to_string(field.label) + " changed byte " +
                                std::to_string(a));
    }
    cmcCellCapsule shown;
    evaluate(cell, shown);
    // Let the hub deliver what the edit posted.
    QCoreApplication::processEvents();
    return 0;
}
