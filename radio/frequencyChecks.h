#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace marlo {

class MemoryImage;
class ListRecord;

// The range checks behind the invalid mark of channel frequencies and band
// edges: a channel must lie inside the receive band edge, and its transmit side
// inside one of the transmit ranges; the edges themselves must be ordered and
// lie inside what the radio can do.
namespace rangeCheck {

constexpr int kTransmitRanges = 11;

struct EdgePair {
    std::int32_t low = 0;
    std::int32_t high = 0;
};

struct BandEdges {
    EdgePair receive;
    std::array<EdgePair, kTransmitRanges> transmit{};

    // The edges as the image holds them.
    static BandEdges Load(MemoryImage& image);
};

bool receiveFrequencyValid(std::int32_t hz, const BandEdges& edges);
// In gene mode the transmit ranges do not apply: the whole transmit band within
// the receive edge is allowed.
bool transmitFrequencyValid(std::int32_t hz, const BandEdges& edges, bool geneMode);

// A user channel's receive side is invalid when empty or outside the receive
// edge; its transmit side when set and not a valid transmit frequency.
bool channelReceiveInvalid(const ListRecord& channel, const BandEdges& edges);
bool channelTransmitInvalid(const ListRecord& channel, const BandEdges& edges, bool geneMode);

// Why a channel side is invalid, naming the frequency and the limit it breaks.
std::string channelFrequencyProblem(const ListRecord& channel, const BandEdges& edges,
                                    bool receiveSide, bool geneMode);

struct EdgeValidity {
    bool lowInvalid = false;
    bool highInvalid = false;
};

// The validity of each limit of the receive edge (transmit false) or of transmit
// range `range` (0..10; any other range is reported invalid).
EdgeValidity bandEdgeValidity(const BandEdges& edges, bool transmit, int range);

} // namespace rangeCheck

} // namespace marlo
