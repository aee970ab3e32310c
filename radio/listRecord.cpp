#include "radio/listRecord.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "radio/encoding.h"

#include <algorithm>
#include <cstring>

namespace marlo {

using namespace encoding;

namespace {

// Where the lists lie in the image (byte offsets; slot = entry index).
constexpr std::int32_t channelMain = 715; // 26-byte main records
constexpr std::int32_t channelRecord = 26;
constexpr std::int32_t channelNumbers = 13715; // 16-bit numbers
constexpr std::int32_t channelScanGroups = 14715;
// A copy of every channel's call kind, counted for the ALE channel limit. It
// lies outside the cloned block: neither clone files nor the radio carry it.
constexpr std::int32_t callKindMirror = 32768;
constexpr std::int32_t channelSlots = 500;

constexpr std::int32_t rxEdge = 15313;
constexpr std::int32_t txEdges = 15321;
constexpr std::int32_t edgeRecord = 8;
constexpr std::int32_t txEdgeSlots = 11;

constexpr std::int32_t modeUseFlags = 15289;
constexpr std::int32_t modeNames = 15409;
constexpr std::int32_t modeNameLength = 5;
constexpr std::int32_t modeSlots = ListRecord::modeRows;

constexpr std::int32_t aleIds = 15454;
constexpr std::int32_t aleRecord = 51;
constexpr std::int32_t aleSlots = ListRecord::lastAleEntry + 1;

constexpr std::int32_t selCallIds = 21574;
constexpr std::int32_t selCallRecord = 38;
constexpr std::int32_t selCallSlots = 100;

constexpr std::int32_t telNumbers = 25374;
constexpr std::int32_t telRecord = 23;
constexpr std::int32_t telSlots = 100;

constexpr std::int32_t endOf(std::int32_t base, std::int32_t record, std::int32_t slots) {
    return base + record * slots;
}

struct ListRow {
    std::int32_t first;
    std::int32_t last;
    bool rowMoves;
    std::int32_t slots; // entries held in the image
    std::int32_t end;   // one past the list's last byte
};

constexpr ListRow listTable[] = {
    {0, 0, false, 0, 0},
    {0, 499, true, channelSlots, endOf(callKindMirror, 1, channelSlots)},
    {0, 0, true, 1, endOf(rxEdge, edgeRecord, 1)},
    {0, 0, true, txEdgeSlots, endOf(txEdges, edgeRecord, txEdgeSlots)},
    {0, modeSlots - 1, false, modeSlots,
     std::max(endOf(modeUseFlags, 1, modeSlots), endOf(modeNames, modeNameLength, modeSlots))},
    {0, 99, true, selCallSlots, endOf(selCallIds, selCallRecord, selCallSlots)},
    {0, ListRecord::lastAleEntry, true, aleSlots, endOf(aleIds, aleRecord, aleSlots)},
    {0, 99, true, telSlots, endOf(telNumbers, telRecord, telSlots)},
};

// Every list, the mirror included, lies inside the model's image.
static_assert(endOf(callKindMirror, 1, channelSlots) == marloModel::imageSize);

const ListRow& rowOf(std::uint8_t listType) {
    return listTable[listType < std::size(listTable) ? listType : 0];
}

template <std::size_t N>
void copyIn(std::array<std::uint8_t, N>& field, const std::uint8_t* from) {
    std::copy_n(from, N, field.begin());
}

template <std::size_t N>
void copyOut(const std::array<std::uint8_t, N>& field, std::uint8_t* to) {
    std::copy(field.begin(), field.end(), to);
}

// Bytes up to the first NUL, each 0xFF as a space.
std::string shownText(const std::uint8_t* bytes, std::size_t n, bool ffAsSpace) {
    std::string text;
    for (std::size_t i = 0; i < n && bytes[i] != 0; ++i)
        text += ffAsSpace && bytes[i] == 0xFF ? ' ' : static_cast<char>(bytes[i]);
    return text;
}

std::int32_t frequencyFrom(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(readBase100({bytes, 3}) * 100);
}

void frequencyTo(std::uint8_t* bytes, std::int32_t hz, bool empty) {
    writeBase100({bytes, 3}, empty || hz < 0 ? 0u : static_cast<std::uint32_t>(hz / 100));
}

} // namespace

std::int32_t ListRecord::FirstIndex(std::uint8_t listType) {
    return rowOf(listType).first;
}
std::int32_t ListRecord::LastIndex(std::uint8_t listType) {
    return rowOf(listType).last;
}
bool ListRecord::CanMoveRows(std::uint8_t listType) {
    return rowOf(listType).rowMoves;
}
std::int32_t ListRecord::LastStoredIndex(std::uint8_t listType) {
    return rowOf(listType).slots - 1;
}

std::uint8_t* ListRecord::ListBytes(std::uint8_t listType, std::int32_t entryIndex) const {
    const ListRow& row = rowOf(listType);
    if (image_ == nullptr || entryIndex < 0 || entryIndex >= row.slots || image_->Size() < row.end)
        return nullptr;
    return image_->Data();
}

void ListRecord::Clear() {
    *this = ListRecord(image_);
}

void ListRecord::Load(std::uint8_t listType, std::int32_t entryIndex) {
    Clear();
    type = listType;
    index = entryIndex;
    const std::uint8_t* img = ListBytes(listType, entryIndex);
    if (img == nullptr) {
        state = 0;
        return;
    }
    switch (listType) {
    case listUserChannel:
        LoadChannel(img, entryIndex);
        break;
    case listRxEdge:
        LoadEdge(img + rxEdge);
        break;
    case listTxEdge:
        LoadEdge(img + txEdges + edgeRecord * entryIndex);
        break;
    case listModeReg:
        LoadModeReg(img, entryIndex);
        break;
    case listSelCallId:
        LoadSelCall(img + selCallIds + selCallRecord * entryIndex);
        break;
    case listAleId:
        LoadAle(img + aleIds + aleRecord * entryIndex);
        break;
    case listTelNumber:
        LoadTel(img + telNumbers + telRecord * entryIndex);
        break;
    }
}

void ListRecord::Store(std::uint8_t listType, std::int32_t entryIndex) {
    const std::uint8_t t = listType != listNone ? listType : type;
    std::uint8_t* img = ListBytes(t, entryIndex);
    if (img == nullptr)
        return;
    switch (t) {
    case listUserChannel:
        StoreChannel(img, entryIndex);
        break;
    case listRxEdge:
        StoreEdge(img + rxEdge);
        break;
    case listTxEdge:
        StoreEdge(img + txEdges + edgeRecord * entryIndex);
        break;
    case listModeReg:
        StoreModeReg(img, entryIndex);
        break;
    case listSelCallId:
        StoreSelCall(img + selCallIds + selCallRecord * entryIndex);
        break;
    case listAleId:
        StoreAle(img + aleIds + aleRecord * entryIndex);
        break;
    case listTelNumber:
        StoreTel(img + telNumbers + telRecord * entryIndex);
        break;
    }
}

void ListRecord::StoreAndReload() {
    Store(listNone, index);
    Load(type, index);
}

void ListRecord::MakeBlank(std::uint8_t listType, std::int32_t entryIndex) {
    Clear();
    type = listType;
    index = entryIndex;
    state = stateRxEmpty | stateTxEmpty;
    channelNumber = noChannel;
    mode = 1;
    aleIndex = noAle;
    name.fill(' ');
    callId.fill(0xFF);
    channelRanges.fill(0xFF);
    aleAddress.fill(0xFF);
    aleIdn.fill(0xFF);
    slotTime = 1;
    telNumber.fill(0xFF);
    idnPresent = false;
}

void ListRecord::LoadChannel(const std::uint8_t* img, std::int32_t slot) {
    const std::uint8_t* rec = img + channelMain + channelRecord * slot;
    channelNumber = readLe16(img + channelNumbers + 2 * slot);
    state = channelNumber != noChannel ? stateUsed : 0;
    scanGroup = std::min(img[channelScanGroups + slot], maxScanGroup);
    rxFrequency = frequencyFrom(rec);
    txFrequency = frequencyFrom(rec + 3);
    if (rxFrequency == 0)
        state |= stateRxEmpty;
    if (txFrequency == 0)
        state |= stateTxEmpty;
    mode = rec[6];
    filter = rec[7];
    callKind = rec[8];
    editFlag = rec[9] >> 7;
    copyIn(name, rec + 10);
    aleIndex = rec[25];
}

void ListRecord::StoreChannel(std::uint8_t* img, std::int32_t slot) const {
    std::uint8_t* rec = img + channelMain + channelRecord * slot;
    writeLe16(img + channelNumbers + 2 * slot, static_cast<std::uint16_t>(channelNumber));
    img[channelScanGroups + slot] = std::min(scanGroup, maxScanGroup);
    frequencyTo(rec, rxFrequency, (state & stateRxEmpty) != 0);
    frequencyTo(rec + 3, txFrequency, (state & stateTxEmpty) != 0);
    rec[6] = mode;
    rec[7] = filter;
    rec[8] = callKind;
    rec[9] = static_cast<std::uint8_t>((rec[9] & 0x7F) | (editFlag != 0 ? 0x80 : 0));
    copyOut(name, rec + 10);
    rec[25] = aleIndex;
    img[callKindMirror + slot] = callKind;
}

void ListRecord::LoadEdge(const std::uint8_t* rec) {
    low = readLe32(rec);
    high = readLe32(rec + 4);
}

void ListRecord::StoreEdge(std::uint8_t* rec) const {
    writeLe32(rec, low);
    writeLe32(rec + 4, high);
}

void ListRecord::LoadModeReg(const std::uint8_t* img, std::int32_t i) {
    modeUse = img[modeUseFlags + i];
    copyIn(modeName, img + modeNames + modeNameLength * i);
}

void ListRecord::StoreModeReg(std::uint8_t* img, std::int32_t i) const {
    img[modeUseFlags + i] = modeUse;
    copyOut(modeName, img + modeNames + modeNameLength * i);
}

template <std::size_t N>
void ListRecord::SetKeyUsed(bool used, std::array<std::uint8_t, N>& key) {
    state = static_cast<std::uint8_t>(used ? state | stateUsed : state & ~stateUsed);
    if (!used)
        key.fill(0xFF);
}

void ListRecord::LoadSelCall(const std::uint8_t* rec) {
    copyIn(name, rec);
    copyIn(callId, rec + 15);
    copyIn(channelRanges, rec + 18);
    SetKeyUsed(callId[0] < 100, callId);
}

void ListRecord::StoreSelCall(std::uint8_t* rec) {
    SetKeyUsed(callId[0] < 100, callId);
    copyOut(name, rec);
    copyOut(callId, rec + 15);
    copyOut(channelRanges, rec + 18);
}

void ListRecord::LoadAle(const std::uint8_t* rec) {
    copyIn(aleAddress, rec);
    copyIn(aleIdn, rec + 15);
    copyIn(channelRanges, rec + 30);
    slotTime = rec[50];
    NormaliseAle();
}

void ListRecord::StoreAle(std::uint8_t* rec) {
    NormaliseAle();
    copyOut(aleAddress, rec);
    copyOut(aleIdn, rec + 15);
    copyOut(channelRanges, rec + 30);
    rec[50] = slotTime;
}

void ListRecord::LoadTel(const std::uint8_t* rec) {
    copyIn(name, rec);
    copyIn(telNumber, rec + 15);
    SetKeyUsed(telNumber[0] < 0xA0, telNumber);
}

void ListRecord::StoreTel(std::uint8_t* rec) {
    SetKeyUsed(telNumber[0] < 0xA0, telNumber);
    copyOut(name, rec);
    copyOut(telNumber, rec + 15);
}

// The IDN's presence follows its bytes, as the used bit follows the address:
// an editor that fills or clears the IDN need not keep the flag in step.
void ListRecord::NormaliseAle() {
    SetKeyUsed(aleAddress[0] != 0xFF, aleAddress);
    idnPresent = aleIdn[0] != 0xFF;
    if (!idnPresent)
        aleIdn.fill(0xFF);
}

std::uint16_t ListRecord::RangeFrom(int pair) const {
    if (pair < 0 || pair >= rangePairs)
        return noChannel;
    const std::uint16_t v = readLe16(channelRanges.data() + 4 * pair);
    return v == 0 || v > 9999 ? noChannel : v;
}

std::uint16_t ListRecord::RangeTo(int pair) const {
    if (pair < 0 || pair >= rangePairs)
        return noChannel;
    const std::uint16_t v = readLe16(channelRanges.data() + 4 * pair + 2);
    return v == 0 || v > 9999 ? noChannel : v;
}

void ListRecord::SetRange(int pair, std::uint16_t from, std::uint16_t to) {
    if (pair < 0 || pair >= rangePairs)
        return;
    writeLe16(channelRanges.data() + 4 * pair, from);
    writeLe16(channelRanges.data() + 4 * pair + 2, to);
}

std::string ListRecord::ModeNameOf(int m) const {
    const std::uint8_t* img = ListBytes(listModeReg, m);
    return img == nullptr ? std::string()
                          : shownText(img + modeNames + modeNameLength * m, modeNameLength, false);
}

std::string ListRecord::AleAddressOf(int aleEntry) const {
    const std::uint8_t* img = ListBytes(listAleId, aleEntry);
    return img == nullptr ? std::string()
                          : shownText(img + aleIds + aleRecord * aleEntry, 15, true);
}

bool ListRecord::AleAddressIsDuplicated(int aleEntry) const {
    const std::uint8_t* img = ListBytes(listAleId, aleEntry);
    if (img == nullptr)
        return false;
    const std::uint8_t* mine = img + aleIds + aleRecord * aleEntry;
    for (int j = aleEntry - 1; j >= 0; --j) {
        const std::uint8_t* other = img + aleIds + aleRecord * j;
        if (other[0] != 0xFF && std::memcmp(other, mine, 15) == 0)
            return true;
    }
    return false;
}

bool ListRecord::ModeIsUsable(int m) const {
    const std::uint8_t* img = ListBytes(listModeReg, m);
    return img != nullptr && img[modeUseFlags + m] != 0;
}

int ListRecord::AleChannelCount() const {
    const std::uint8_t* img = ListBytes(listUserChannel, 0);
    if (img == nullptr)
        return 0;
    // Only channels in use count: an emptied channel keeps its call kind byte.
    int count = 0;
    for (std::int32_t slot = 0; slot < channelSlots; ++slot) {
        if (img[callKindMirror + slot] == aleCallKind &&
            readLe16(img + channelNumbers + 2 * slot) != noChannel)
            ++count;
    }
    return count;
}

std::uint32_t ListRecord::ChannelNumberOf(int slot) const {
    const std::uint8_t* img = ListBytes(listUserChannel, slot);
    return img == nullptr ? noChannel : readLe16(img + channelNumbers + 2 * slot);
}

} // namespace marlo
