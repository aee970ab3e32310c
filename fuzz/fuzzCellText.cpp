// The codecs: any text typed into a value cell of every kind, or any item picked
// from the list the cell opens, in a document loaded from the initial clone file
// or with every list full (linked transmit frequencies, the ALE channel limit
// reached, entries in use on every row). The first byte picks the cell; the
// second the mode: bit 0 expert mode, bit 1 model variant 1, bit 2 the full
// document, bit 3 a pick (the third byte is the item) instead of typed text.
// The rest is the text.
//
// An edit changes only the cell's own bytes, never the image's size; and what
// the cell shows after it stored a value, typed back into it, stores the very
// same bytes:
// the user can trust what a cell shows to be what the radio gets.
#include "fuzzSupport.h"

#include "cellFields.h"
#include "core/memoryImage.h"
#include "openedDocument.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/imageCellContext.h"
#include "sheets/cellModel.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace marlo;

namespace {

using fuzzSupport::Check;

OpenedDocument* document = nullptr;

struct Edit {
    ImageCellContext context;
    CellEngine engine{context};
    CellModel cell;
    int grid = 0;

    Edit(OpenedDocument& base, const cellFields::FieldCell& field)
        : context(base, base.current, base.variant) {
        cell.category = field.category;
        cell.label = field.label;
        cell.index = field.index;
    }

    CellRequest Evaluate(CellRequest request) {
        request.cell = &cell;
        request.grid = &grid;
        evaluateCell(engine, request, true);
        return request;
    }
    CellRequest Type(const std::string& text) {
        CellRequest typed;
        typed.inputMode = CellRequest::kEditedText;
        typed.inputText = text;
        return Evaluate(typed);
    }
    void Pick(std::int32_t item) {
        CellRequest enter;
        enter.action = CellRequest::kEnter;
        Evaluate(enter);
        const std::optional<OpenedList> list = context.TakeOpenedList();
        if (!list)
            return;
        CellModel chosen;
        chosen.label = list->kind;
        chosen.index = item;
        CellRequest picked;
        picked.cell = &chosen;
        CellRequest request;
        request.partner = &picked;
        request.inputMode = CellRequest::kChosen;
        Evaluate(request);
    }
    std::string Shown() { return Evaluate(CellRequest{}).text; }
};

void checkOnlyOwnBytes(const cellFields::FieldCell& field, const MemoryImage& before,
                       const MemoryImage& after, const char* what) {
    Check(after.Size() == before.Size(), "an edit changed the image's size");
    for (std::int32_t a = 0; a < after.Size(); ++a) {
        if (after.GetByte(a) != before.GetByte(a) && !cellFields::inside(field.regions, a))
            fuzzSupport::Broken(std::string(what) + ": label " + std::to_string(field.label) +
                                " changed byte " + std::to_string(a));
    }
}

bool isNameText(std::int32_t label) {
    using namespace CellLabel;
    return label == CL_Comm_CloneComm || label == CL_UCh_Comment || label == CL_SelCall_Name ||
           label == CL_TelNumber_Name;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    document = &OpenedDocument::Shared();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<cellFields::FieldCell> fields = cellFields::fieldCells();
    if (size < 2)
        return 0;
    const cellFields::FieldCell& field = fields[data[0] % fields.size()];
    document->Reset(data[1] >> 1 & 1, (data[1] & 1) != 0, (data[1] & 4) != 0);
    MemoryImage before;
    before.Assign(document->current);

    Edit edit(*document, field);
    if ((data[1] & 8) != 0 && size > 2)
        edit.Pick(data[2]);
    else
        edit.Type(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
    checkOnlyOwnBytes(field, before, document->current, "an edit");

    const std::string shown = edit.Shown();
    // Only a value the edit stored: bytes from elsewhere need not be in the
    // codec's own form. And an empty cell may hold any of the field's empty
    // forms; typing nothing writes the one the codec clears to.
    if (!shown.empty() && !document->current.Equals(before)) {
        MemoryImage stored;
        stored.Assign(document->current);
        edit.Type(shown);
        // A text is shown without its leading blanks, which the radio keeps; the
        // import reports them. Anything else hidden is a fault.
        for (std::size_t blanks = 1;
             !document->current.Equals(stored) && isNameText(field.label) && blanks <= 16; ++blanks)
            edit.Type(std::string(blanks, ' ') + shown);
        if (!document->current.Equals(stored))
            fuzzSupport::Broken("label " + std::to_string(field.label) + " shows \"" + shown +
                                "\", which typed back stores other bytes");
    }
    // Let the hub deliver what the edit posted.
    QCoreApplication::processEvents();
    return 0;
}
