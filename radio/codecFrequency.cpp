#include "radio/codecFrequency.h"

#include "radio/cellRequest.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"

#include <algorithm>

namespace marlo {

namespace codec {

namespace {

constexpr std::int32_t kChannelStep = 100; // channels hold 100 Hz resolution
constexpr std::uint8_t kAlignCentre = 1;
constexpr std::uint8_t kAlignRight = 2;

void align(CellRequest& request, std::uint8_t alignment) {
    if (request.cell != nullptr)
        request.cell->layout =
            static_cast<std::uint8_t>((request.cell->layout & ~CellLayout::HAlignMask) | alignment);
}

// The keys of both frequency cells. `receiveText` is the other side's text for
// the "=" key of a transmit cell, else null.
void frequencyKeys(CellRequest& request, const std::string& current, const std::string* receiveText,
                   std::uint8_t& result) {
    if (!request.HasGrid())
        return;
    const char key = request.TypedCharacter();
    if (request.action == CellRequest::kEnter) {
        startEditor(request, current, 0, static_cast<std::int32_t>(current.size()), result);
    } else if (key == '.') {
        const std::size_t point = current.find('.');
        if (point == current.npos)
            startEditorWithKey(request, key, result);
        else
            startEditor(request, current, static_cast<std::int32_t>(point + 1), 0, result);
    } else if (key == '=' && receiveText != nullptr) {
        startEditor(request, *receiveText, 0, static_cast<std::int32_t>(receiveText->size()),
                    result);
    } else if ((key >= '0' && key <= '9') || key == ' ') {
        startEditorWithKey(request, key, result);
    }
}

std::uint8_t emptyBitOf(bool receiveSide) {
    return receiveSide ? ListRecord::stateRxEmpty : ListRecord::stateTxEmpty;
}

// The side as the radio would use it: an empty side is 0 Hz.
std::int32_t effective(const ListRecord& channel, bool receiveSide) {
    if ((channel.state & emptyBitOf(receiveSide)) != 0)
        return 0;
    return receiveSide ? channel.rxFrequency : channel.txFrequency;
}

std::string sideText(const ListRecord& channel, bool receiveSide) {
    if (!channel.isUsed() || (channel.state & emptyBitOf(receiveSide)) != 0)
        return {};
    return frequencyText(receiveSide ? channel.rxFrequency : channel.txFrequency, false);
}

bool transmitShownAsReceive(const ListRecord& channel) {
    return channel.isUsed() && (channel.state & ListRecord::stateRxEmpty) == 0 &&
           (channel.state & ListRecord::stateTxEmpty) == 0 &&
           channel.txFrequency == channel.rxFrequency;
}

// The editor handed back nothing but blanks: the user cleared the value.
bool clearedByUser(const CellRequest& request) {
    return hasInput(request) && trimSpaces(request.inputText).empty();
}

void setBit(std::uint8_t& state, std::uint8_t bit, bool on) {
    state = static_cast<std::uint8_t>(on ? state | bit : state & ~bit);
}

} // namespace

std::optional<std::int32_t> typedFrequency(std::string_view text) {
    // Many operators write the decimal point as a comma.
    const std::string typed = filter(pointedDecimal(text), ".").substr(0, 10);
    if (typed.empty())
        return std::nullopt;
    const double hz = std::min(leadingDecimal(typed) * 1000 + 0.5, kMaxFrequency + 0.5);
    return static_cast<std::int32_t>(std::max(hz, 0.0));
}

std::string frequencyText(std::int32_t hz, bool precise) {
    const std::int64_t magnitude = hz < 0 ? -std::int64_t{hz} : hz;
    std::string fraction =
        precise ? std::to_string(magnitude % 1000) : std::to_string(magnitude % 1000 / 100);
    if (precise)
        fraction.insert(0, 3 - fraction.size(), '0');
    return (hz < 0 ? "-" : "") + std::to_string(magnitude / 1000) + "." + fraction;
}

bool channelFrequency(CellRequest& request, ListRecord& channel, bool receiveSide, bool linked,
                      std::uint8_t& result) {
    bool changed = false;
    // A cleared editor empties the side. Text with neither digits nor points is no
    // frequency at all: it leaves the side as it was rather than wiping it.
    const bool refused = refusedAsAmbiguous(request);
    const bool cleared = clearedByUser(request);
    const std::optional<std::int32_t> typed = hasInput(request) && !cleared && !refused
                                                  ? typedFrequency(request.inputText)
                                                  : std::nullopt;
    if (cleared || typed) {
        const bool follows =
            receiveSide && linked && effective(channel, true) == effective(channel, false);
        const std::int32_t hz = typed.value_or(0) / kChannelStep * kChannelStep;
        // 0 Hz is how the image marks an empty side: a side set to 0 would show
        // "0.0" now and nothing once it has been read back.
        const bool accepted = typed && hz > 0;
        if (accepted)
            (receiveSide ? channel.rxFrequency : channel.txFrequency) = hz;
        setBit(channel.state, emptyBitOf(receiveSide), !accepted);
        if (follows) {
            channel.txFrequency = channel.rxFrequency;
            setBit(channel.state, ListRecord::stateTxEmpty,
                   (channel.state & ListRecord::stateRxEmpty) != 0);
        }
        changed = true;
    }

    align(request, kAlignRight);
    request.markerPlace = CellRequest::kMarkerRight;
    const std::string current = sideText(channel, receiveSide);
    if (!receiveSide && linked && transmitShownAsReceive(channel)) {
        showText(request, "<-");
        align(request, kAlignCentre);
    } else {
        showText(request, current);
    }
    const std::string receiveText = sideText(channel, true);
    frequencyKeys(request, current, receiveSide ? nullptr : &receiveText, result);
    return changed;
}

bool bandEdge(CellRequest& request, std::int32_t& limit, bool precise, bool emptyAllowed,
              std::uint8_t& result) {
    bool changed = false;
    if (hasInput(request) && !refusedAsAmbiguous(request)) {
        // A cleared editor counts as 0, which empties a transmit range.
        const std::optional<std::int32_t> typed =
            clearedByUser(request) ? 0 : typedFrequency(request.inputText);
        if (typed) {
            const std::int32_t hz = precise ? *typed : *typed / kChannelStep * kChannelStep;
            if (emptyAllowed && hz <= 0) {
                limit = kNoEdge;
                changed = true;
            } else if (hz > 0) {
                limit = hz;
                changed = true;
            }
        }
    }
    align(request, kAlignRight);
    const std::string current = limit == kNoEdge ? std::string() : frequencyText(limit, precise);
    showText(request, current);
    frequencyKeys(request, current, nullptr, result);
    return changed;
}

} // namespace codec

} // namespace marlo
