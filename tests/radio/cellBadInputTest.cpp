#include "cellEngineFixture.h"
#include "cellFields.h"

#include "radio/cellLabels.h"

#include <random>

using namespace marlo;

using namespace CellLabel;
using namespace cellFields;

namespace {

// Whatever is typed, keyed or picked, a cell changes only its own field.
TEST_F(CellEngineTest, RandomInputChangesOnlyTheCellsOwnBytes) {
    context_.expert = true;
    putChannel(5, 10, 7'100'000, 7'100'000);
    putSelCallId(5, {1, 2, 3});
    putAleAddress(5, "GOLF", true);
    putTelNumber(5, {0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});

    std::mt19937 random(1234);
    const auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const std::int32_t specialKeys[] = {0,
                                        8,
                                        13,
                                        32,
                                        '0',
                                        '5',
                                        '9',
                                        '.',
                                        '-',
                                        '=',
                                        'a',
                                        'o',
                                        256,
                                        CellRequest::kF3,
                                        CellRequest::kF4};
    MemoryImage before;
    for (const FieldCell& field : fieldCells()) {
        for (int round = 0; round < 40; ++round) {
            before.Assign(context_.current);
            switch (uniform(0, 2)) {
            case 0: {
                std::string text(static_cast<std::size_t>(uniform(0, 3000)), ' ');
                for (char& c : text)
                    c = static_cast<char>(uniform(1, 255));
                typed(field.category, field.label, field.index, text);
                break;
            }
            case 1:
                key(field.category, field.label, field.index,
                    uniform(0, 1) ? specialKeys[uniform(0, std::size(specialKeys) - 1)]
                                  : uniform(1, 126));
                break;
            default:
                picked(field.category, field.label, field.index, uniform(0, 10),
                       uniform(-5, 1 << 27));
                break;
            }
            for (std::int32_t a = 0; a < before.Size(); ++a) {
                if (before.GetByte(a) != context_.current.GetByte(a) && !inside(field.regions, a))
                    FAIL() << "label " << field.label << " changed byte " << a;
            }
        }
    }
}

} // namespace
