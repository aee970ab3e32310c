#include "radio/bandEdges.h"

#include "radio/listRecord.h"

namespace marlo {

void setBandEdges(MemoryImage& image, std::int32_t rxLow, std::int32_t rxHigh, std::int32_t txLow,
                  std::int32_t txHigh) {
    ListRecord edge(&image);
    edge.Load(listRxEdge, 0);
    edge.low = rxLow;
    edge.high = rxHigh;
    edge.Store(listRxEdge, 0);
    for (std::int32_t i = 0; i <= ListRecord::LastStoredIndex(listTxEdge); ++i) {
        edge.Load(listTxEdge, i);
        edge.low = i == 0 ? txLow : -1;
        edge.high = i == 0 ? txHigh : -1;
        edge.Store(listTxEdge, i);
    }
}

} // namespace marlo
