#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace marlo {

class MemoryImage;

// List type numbers; the category of a cell maps onto one of these.
enum : std::uint8_t {
    listNone = 0,
    listUserChannel = 1,
    listRxEdge = 2,
    listTxEdge = 3,
    listModeReg = 4,
    listSelCallId = 5,
    listAleId = 6,
    listTelNumber = 7,
};

// The working copy of one entry of a radio list. Everything else reads and
// writes list entries through this record; it alone knows where the lists lie
// in the image and how their fields are encoded.
//
// An entry whose index lies outside its list, or whose list does not fit in the
// bound image, is never read or written: it loads as a cleared record with the
// used bit clear, and storing it does nothing. Garbage bytes inside a list are
// read as they are and cannot lead an access outside the image.
class ListRecord {
public:
    // state bits
    static constexpr std::uint8_t stateUsed = 0x01;
    static constexpr std::uint8_t stateRxEmpty = 0x02;
    static constexpr std::uint8_t stateTxEmpty = 0x04;

    static constexpr std::uint32_t noChannel = 0xFFFF;
    static constexpr std::uint8_t noAle = 255;
    static constexpr std::uint8_t aleCallKind = 3;
    // At most this many channels may be ALE channels.
    static constexpr int aleChannelLimit = 100;
    static constexpr std::uint8_t maxScanGroup = 3;
    static constexpr int rangePairs = 5;
    static constexpr std::int32_t modeRows = 9;       // mode registrations 0..8
    static constexpr std::int32_t lastAleEntry = 119; // ALE IDs 0..119

    ListRecord() = default;
    explicit ListRecord(MemoryImage* image) : image_(image) {}

    MemoryImage* image() const { return image_; }
    void Bind(MemoryImage* image) { image_ = image; }

    void Load(std::uint8_t listType, std::int32_t entryIndex);
    // listType 0 stores under the record's own type; the record's own index is
    // kept. Types 5, 6 and 7 first renew the used bit from their key field and
    // fill an unused key with 0xFF; an ALE IDN whose first byte is 0xFF is
    // absent and written as 0xFF throughout. A channel frequency whose empty
    // bit is set is written as 0, so clearing a cell needs only the bit.
    void Store(std::uint8_t listType, std::int32_t entryIndex);
    void Reload() { Load(type, index); }
    // Stores, then loads again so that the derived bits follow the new bytes.
    void StoreAndReload();
    // The entry that clearing a row writes.
    void MakeBlank(std::uint8_t listType, std::int32_t entryIndex);

    bool isUsed() const { return (state & stateUsed) != 0; }

    // One (from, to) pair of the channel ranges; 0 or above 9999 reads as none
    // (0xFFFF), as does a pair number outside 0..4.
    std::uint16_t RangeFrom(int pair) const;
    std::uint16_t RangeTo(int pair) const;
    void SetRange(int pair, std::uint16_t from, std::uint16_t to);

    // The list table.
    static std::int32_t FirstIndex(std::uint8_t listType);
    static std::int32_t LastIndex(std::uint8_t listType);
    static bool CanMoveRows(std::uint8_t listType);
    // The last index the image holds; above lastIndex for the transmit edges
    // (11 ranges on a one-row sheet). -1 for type 0.
    static std::int32_t LastStoredIndex(std::uint8_t listType);

    // Queries on the bound image. A mode or ALE index outside its list gives
    // an empty text and false.
    std::string ModeNameOf(int mode) const;
    std::string AleAddressOf(int aleEntry) const;
    bool AleAddressIsDuplicated(int aleEntry) const;
    bool ModeIsUsable(int mode) const;
    int AleChannelCount() const;
    // The number of channel slot `slot` without loading the whole slot (the
    // repeat search asks it of every earlier slot); noChannel outside the list.
    std::uint32_t ChannelNumberOf(int slot) const;

    // The fields; a freshly made record is all zero with the used bit set.
    std::uint8_t type = 0;
    std::int32_t index = 0;
    std::uint8_t state = stateUsed;
    std::int32_t rxFrequency = 0;
    std::int32_t txFrequency = 0;
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::uint8_t mode = 0;
    std::uint32_t channelNumber = 0; // low 16 bits stored
    std::uint8_t callKind = 0;
    std::uint8_t scanGroup = 0;
    std::uint8_t filter = 0;
    std::uint8_t editFlag = 0;
    std::uint8_t aleIndex = 0;
    std::array<std::uint8_t, 3> callId{};
    std::array<std::uint8_t, 20> channelRanges{};
    std::array<std::uint8_t, 15> aleAddress{};
    std::array<std::uint8_t, 15> aleIdn{};
    std::uint8_t slotTime = 0;
    bool idnPresent = false;
    std::array<std::uint8_t, 8> telNumber{};
    std::array<std::uint8_t, 15> name{};
    std::array<std::uint8_t, 5> modeName{};
    std::uint8_t modeUse = 0;

private:
    // The image bytes when the whole list lies inside the bound image and the
    // index is one of its entries; null otherwise.
    std::uint8_t* ListBytes(std::uint8_t listType, std::int32_t entryIndex) const;
    void Clear();

    void LoadChannel(const std::uint8_t* image, std::int32_t slot);
    void StoreChannel(std::uint8_t* image, std::int32_t slot) const;
    void LoadEdge(const std::uint8_t* record);
    void StoreEdge(std::uint8_t* record) const;
    void LoadModeReg(const std::uint8_t* image, std::int32_t i);
    void StoreModeReg(std::uint8_t* image, std::int32_t i) const;
    void LoadSelCall(const std::uint8_t* record);
    void StoreSelCall(std::uint8_t* record);
    void LoadAle(const std::uint8_t* record);
    void StoreAle(std::uint8_t* record);
    void LoadTel(const std::uint8_t* record);
    void StoreTel(std::uint8_t* record);
    void NormaliseAle();
    // Sets the used bit from the key test and fills an unused key with 0xFF.
    template <std::size_t N>
    void SetKeyUsed(bool used, std::array<std::uint8_t, N>& key);

    MemoryImage* image_ = nullptr;
};

} // namespace marlo
