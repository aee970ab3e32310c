#pragma once

#include <array>
#include <cstdint>
#include <string>

class cmcEeprom;
class ListEntry;

// The range checks behind the invalid mark of channel frequencies and band
// edges: a channel must lie inside the receive band edge, and its transmit side
// inside one of the transmit ranges; the edges themselves must be ordered and
// lie inside what the radio can do.
namespace cmcRangeCheck {

constexpr int kTransmitRanges = 11;

struct cmcEdgePair {
    std::int32_t low = 0;
    std::int32_t high = 0;
};

struct cmcBandEdges {
    cmcEdgePair receive;
    std::array<cmcEdgePair, kTransmitRanges> transmit{};

    // The edges as the image holds them.
    static cmcBandEdges load(cmcEeprom& image);
};

bool receiveFrequencyValid(std::int32_t hz, const cmcBandEdges& edges);
// In gene mode the transmit ranges do not apply: the whole transmit band within
// the receive edge is allowed.
bool transmitFrequencyValid(std::int32_t hz, const cmcBandEdges& edges, bool geneMode);

// A user channel's receive side is invalid when empty or outside the receive
// edge; its transmit side when set and not a valid transmit frequency.
bool channelReceiveInvalid(const ListEntry& channel, const cmcBandEdges& edges);
bool channelTransmitInvalid(const ListEntry& channel, const cmcBandEdges& edges, bool geneMode);

// Why a channel side is invalid, naming the frequency and the limit it breaks.
std::string channelFrequencyProblem(const ListEntry& channel, const cmcBandEdges& edges,
                                    bool receiveSide, bool geneMode);

struct cmcEdgeValidity {
    bool lowInvalid = false;
    bool highInvalid = false;
};

// The validity of each limit of the receive edge (transmit false) or of transmit
// range `range` (0..10; any other range is reported invalid).
cmcEdgeValidity bandEdgeValidity(const cmcBandEdges& edges, bool transmit, int range);

} // namespace cmcRangeCheck
