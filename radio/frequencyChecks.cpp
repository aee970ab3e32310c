#include "radio/frequencyChecks.h"

#include "radio/codecFrequency.h"
#include "radio/frequencyLimits.h"
#include "radio/listRecord.h"

#include <optional>

namespace marlo {

namespace rangeCheck {

namespace {

constexpr std::int32_t kNoEdge = marloFrequency::noEdge;
constexpr std::int32_t kReceiveLowest = marloFrequency::receiveLowest;
constexpr std::int32_t kTransmitLowest = marloFrequency::transmitLowest;
constexpr std::int32_t kHighest = marloFrequency::highest;

bool inside(std::int32_t hz, std::int32_t low, std::int32_t high) {
    return low <= hz && hz <= high;
}

bool isEmpty(const EdgePair& range) {
    return range.low == kNoEdge && range.high == kNoEdge;
}

bool laterRangeUsed(const BandEdges& edges, int range) {
    for (int j = range + 1; j < kTransmitRanges; ++j) {
        if (edges.transmit[j].low != kNoEdge || edges.transmit[j].high != kNoEdge)
            return true;
    }
    return false;
}

// Whether a transmit range with an empty limit is wrong as a whole; nothing
// when both limits are set and the other rules decide.
std::optional<bool> emptyLimitRule(const BandEdges& edges, int range) {
    const EdgePair& e = edges.transmit[range];
    if (e.low != kNoEdge && e.high != kNoEdge)
        return std::nullopt;
    // Ranges fill from the first: a gap before a used range, a half-set range and
    // an empty first range are all wrong.
    return laterRangeUsed(edges, range) || !isEmpty(e) || range == 0;
}

} // namespace

BandEdges BandEdges::Load(MemoryImage& image) {
    BandEdges edges;
    ListRecord entry(&image);
    entry.Load(listRxEdge, 0);
    edges.receive = {entry.low, entry.high};
    for (int i = 0; i < kTransmitRanges; ++i) {
        entry.Load(listTxEdge, i);
        edges.transmit[i] = {entry.low, entry.high};
    }
    return edges;
}

bool receiveFrequencyValid(std::int32_t hz, const BandEdges& edges) {
    return inside(hz, edges.receive.low, edges.receive.high);
}

bool transmitFrequencyValid(std::int32_t hz, const BandEdges& edges, bool geneMode) {
    if (geneMode)
        return inside(hz, kTransmitLowest, kHighest) && receiveFrequencyValid(hz, edges);
    for (const EdgePair& range : edges.transmit) {
        if (range.low != kNoEdge && range.high != kNoEdge && inside(hz, range.low, range.high))
            return true;
    }
    return false;
}

bool channelReceiveInvalid(const ListRecord& channel, const BandEdges& edges) {
    return (channel.state & ListRecord::stateRxEmpty) != 0 ||
           !receiveFrequencyValid(channel.rxFrequency, edges);
}

bool channelTransmitInvalid(const ListRecord& channel, const BandEdges& edges, bool geneMode) {
    return (channel.state & ListRecord::stateTxEmpty) == 0 &&
           !transmitFrequencyValid(channel.txFrequency, edges, geneMode);
}

std::string channelFrequencyProblem(const ListRecord& channel, const BandEdges& edges,
                                    bool receiveSide, bool geneMode) {
    const auto kHz = [](std::int32_t hz) { return codec::frequencyText(hz, false); };
    const std::string receiveEdge =
        kHz(edges.receive.low) + " to " + kHz(edges.receive.high) + " kHz";
    if (receiveSide) {
        if ((channel.state & ListRecord::stateRxEmpty) != 0)
            return "The channel has no receive frequency";
        if (receiveFrequencyValid(channel.rxFrequency, edges))
            return {};
        return "Receive frequency " + kHz(channel.rxFrequency) +
               " kHz lies outside the receive band edge, " + receiveEdge;
    }
    if ((channel.state & ListRecord::stateTxEmpty) != 0 ||
        transmitFrequencyValid(channel.txFrequency, edges, geneMode))
        return {};
    if (geneMode)
        return "Transmit frequency " + kHz(channel.txFrequency) + " kHz lies outside " +
               receiveEdge;
    std::string ranges;
    for (const EdgePair& range : edges.transmit) {
        if (range.low == kNoEdge || range.high == kNoEdge)
            continue;
        ranges += (ranges.empty() ? "" : ", ") + kHz(range.low) + " to " + kHz(range.high);
    }
    return "Transmit frequency " + kHz(channel.txFrequency) + " kHz lies in no transmit range" +
           (ranges.empty() ? std::string(" (none is set)") : " (" + ranges + " kHz)");
}

EdgeValidity bandEdgeValidity(const BandEdges& edges, bool transmit, int range) {
    if (transmit && (range < 0 || range >= kTransmitRanges))
        return {true, true};
    const EdgePair& e = transmit ? edges.transmit[range] : edges.receive;
    if (e.high < e.low)
        return {true, true};
    if (transmit) {
        if (const std::optional<bool> wrong = emptyLimitRule(edges, range))
            return {*wrong, *wrong};
    }

    const std::int32_t lowest = transmit ? kTransmitLowest : kReceiveLowest;
    EdgeValidity v{!inside(e.low, lowest, kHighest), !inside(e.high, lowest, kHighest)};
    if (!transmit)
        return v;
    v.lowInvalid |= !receiveFrequencyValid(e.low, edges);
    v.highInvalid |= !receiveFrequencyValid(e.high, edges);
    if (range > 0) {
        const std::int32_t previousHigh = edges.transmit[range - 1].high;
        v.lowInvalid |= !(previousHigh < e.low);
        v.highInvalid |= !(previousHigh < e.high);
    }
    return v;
}

} // namespace rangeCheck

} // namespace marlo
