// The overlay store and the sheet builder: any bytes as the overlay file. A text
// the program would accept at start-up (it ends with its end marker) must answer
// every key it holds, the same from the file as from the same lines in memory,
// and build every sheet it names ("#K_Cells") or refuse it with the sheet's own
// fatal message; nothing else may happen.
#include "fuzzSupport.h"

#include "overlay/overlayTexts.h"
#include "sheets/commonSettingsSheetDef.h"
#include "sheets/sheetDef.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace marlo;

namespace {

using fuzzSupport::Check;
using fuzzSupport::FatalEnd;

// Every character 8 pixels wide and every line 14 high: the layout arithmetic is
// what is under test, not the fonts of the machine.
class FixedMeasure : public TextMeasure {
public:
    TextExtent Extent(const CellFont&, std::string_view text) override {
        TextExtent e;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find('\n', start);
            const std::size_t length = (end == std::string_view::npos ? text.size() : end) - start;
            e.width = std::max(e.width, 8 * static_cast<int>(std::min<std::size_t>(length, 1000)));
            e.height += 14;
            if (end == std::string_view::npos)
                return e;
            start = end + 1;
        }
    }
};

constexpr std::string_view cellsSuffix = "_Cells";
constexpr std::size_t maxKeysLookedUp = 64;
constexpr std::size_t maxSheetsBuilt = 8;

// The lines of the text as the file reader hands them out: split at LF, a CR
// before the LF dropped.
std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        else if (end > start && text[end - 1] == '\r')
            --end;
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string textOf(OverlayTexts& store, const std::string& key) {
    try {
        return store.GetText(key);
    } catch (const FatalEnd& end) {
        fuzzSupport::Broken("a key the store indexed did not answer: " + end.text);
    }
}

void buildSheet(OverlayTexts& store, const std::string& key, bool common, int variant) {
    FixedMeasure measure;
    try {
        auto def = createSheetDef(common ? "St_Common" : "", store, key, store);
        def->SetMeasure(&measure);
        SheetSetup setup;
        setup.modelVariant = variant;
        setup.factoryMode = variant == 1;
        def->SetSetup(setup);
        def->Build();
        Check(def->RowCount() <= SheetDef::kMaxRows, "a sheet with too many rows");
        Check(static_cast<std::int64_t>(def->RowCount()) * def->ColCount() <= SheetDef::kMaxCells,
              "a sheet with too many cells");
        for (int row = 0; row < def->RowCount(); ++row) {
            Check(def->RowHeight(row) >= 0, "a row of negative height");
            for (int col = 0; col < def->ColCount(); ++col)
                (void)def->Cell(col, row).model.Text();
        }
        for (int col = 0; col < def->ColCount(); ++col)
            Check(def->ColWidth(col) >= 0, "a column of negative width");
    } catch (const FatalEnd&) {
        // a broken sheet entry, refused with its message
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzSupport::ScratchPath("input.ovl");
    fuzzSupport::WriteFile(path, data, size);
    const fuzzSupport::FatalIsAnswer fatalIsAnswer;
    OverlayTexts file;
    file.SetFile(path);
    try {
        file.RequireEndMarker();
    } catch (const FatalEnd&) {
        return 0; // the program stops at start-up
    }
    // The end marker ends the index; it is no entry of its own.
    std::vector<std::string> keys = file.IndexKeys();
    std::erase(keys, "End_Of_Ovl");
    keys.resize(std::min(keys.size(), maxKeysLookedUp));

    // The same lines from memory; a NUL byte would end a line there.
    const bool comparable = text.find('\0') == std::string_view::npos;
    const std::vector<std::string> lines = linesOf(text);
    std::vector<const char*> pointers;
    for (const std::string& line : lines)
        pointers.push_back(line.c_str());
    OverlayTexts memory;
    memory.SetLines(pointers);

    for (const std::string& key : keys) {
        const std::string fromFile = textOf(file, key);
        if (comparable)
            Check(textOf(memory, key) == fromFile, "file and memory give other texts for a key");
    }

    std::size_t built = 0;
    for (const std::string& key : keys) {
        if (key.size() <= cellsSuffix.size() || !key.ends_with(cellsSuffix))
            continue;
        if (built++ == maxSheetsBuilt)
            break;
        const std::string sheet = key.substr(0, key.size() - cellsSuffix.size());
        buildSheet(file, sheet, (size & 1) != 0, static_cast<int>(size >> 1 & 1));
    }
    return 0;
}
