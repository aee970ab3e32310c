// The codecs: any text typed into a value cell of every kind, in a document
// loaded from the initial clone file. The first byte picks the cell, the second
// the mode (bit 0: expert mode, bit 1: model variant 1); the rest is the text.
//
// An edit changes only the cell's own bytes, never the image's size, and the
// cell shows its value afterwards.
#include "fuzzSupport.h"

#include "cellFields.h"
#include "core/cmcEeprom.h"
#include "openedDocument.h"
#include "overlay/cmcGTex.h"
#include "radio/cmcCellCapsule.h"
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

struct Fixture {
    cmcEvMan hub;
    OpenedDocument context;
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
    OpenedDocument& context = fixture->context;
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
