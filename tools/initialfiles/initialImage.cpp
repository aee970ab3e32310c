#include "initialImage.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "radio/bandEdges.h"
#include "radio/frequencyLimits.h"
#include "radio/listRecord.h"

#include <array>
#include <cstring>
#include <string_view>

namespace marlo {

namespace {

// Bytes that belong to the radio rather than to the user: the controller copies
// them from these files into every document it loads or sends.
constexpr std::int32_t variantAddress = 0x02B1;
constexpr std::int32_t expertBits = 0x02B2; // also bit 6, the radio's own
constexpr std::int32_t radioByte2B4 = 0x02B4;
constexpr std::int32_t cloneComment = 699;
constexpr std::int32_t cloneCommentLength = 16;
constexpr std::int32_t selfId = 0x3BC4; // five two-digit bytes, 0x3BC4..0x3BC8
constexpr std::int32_t selfIdLength = 5;
constexpr std::int32_t factoryBlock = 0x6C1A; // identity digits .. 0x6C24
constexpr std::int32_t factoryBlockLength = 11;
constexpr std::int32_t signatureAddress = 0x6C2C;
constexpr std::string_view signature = "VEXA Inc";

// A byte of the common settings sheet and what each variant ships with.
struct Setting {
    std::int32_t offset;
    std::uint8_t value[marloModel::variantCount];
};

// List settings hold a position in their overlay selection list; the first item
// of every such list is the choice a new radio leaves the factory with.
constexpr Setting commonSettings[] = {
    {15228, {0, 0}},   // CL_Comm_AntTuner: first item, no tuner chosen until one is fitted
    {15229, {0, 0}},   // CL_Comm_AtTunUse: off, nothing to tune yet
    {15230, {0, 0}},   // CL_Comm_FskTone: first tone pair
    {15231, {0, 0}},   // CL_Comm_FskShift: first shift
    {15232, {0, 0}},   // CL_Comm_FskPolar: first item, normal polarity
    {15233, {0, 0}},   // CL_Comm_CwBkIn: first item of the break-in list
    {15234, {1, 1}},   // CL_Comm_NmeaId: 01, the first identity on the bus
    {15235, {1, 1}},   // CL_Comm_MicKey: on, the microphone keys work out of the box
    {15236, {1, 1}},   // CL_Comm_TenKey: on, the front keypad works out of the box
    {15237, {0, 0}},   // CL_Comm_RemoteMod: first item, no remote control
    {15238, {0, 0}},   // CL_Comm_NmeaIf: first item of the NMEA interface list
    {15239, {0, 0}},   // CL_Comm_TunerJudg: first item of the tuner judgement list
    {15240, {0, 0}},   // CL_Comm_AtTunType: first tuner type
    {15241, {0, 0}},   // CL_Comm_NonVexaTuner: first item, no third-party tuner
    {15242, {0, 0}},   // CL_Comm_TxByPtt: first modulation source for the PTT
    {15243, {0, 0}},   // CL_Comm_TxByAcc: first modulation source for the accessory line
    {15244, {1, 1}},   // CL_Comm_ScanEnable: on, scanning is a basic function
    {15245, {5, 5}},   // CL_Comm_ScanSpeed: 5, the middle of 1..10
    {15246, {0, 0}},   // CL_Comm_ScanGroup: first item of the scan group list
    {15247, {1, 1}},   // CL_Comm_ScanResume: on, a scan carries on after a signal drops
    {15248, {0, 0}},   // CL_Comm_AutoScan: first item, no scan at power-on
    {15249, {0, 0}},   // CL_Comm_IdLength: 0, four-digit selective-call IDs
    {15250, {0, 0}},   // CL_Comm_Silent: off, the speaker is heard
    {15251, {0, 0}},   // CL_Comm_SyncTime: first item of the sync time list
    {15252, {0, 0}},   // CL_Comm_TimeOut: first item of the transmit time-out list
    {15253, {0, 0}},   // CL_Comm_SelcallE: first item of the receive/transmit list
    {15254, {0, 0}},   // CL_Comm_SelcallB: same list, same first item
    {15255, {0, 0}},   // CL_Comm_GpsPos: same list, same first item
    {15256, {0, 0}},   // CL_Comm_GpsBeacon: same list, same first item
    {15257, {0, 0}},   // CL_Comm_TelcallE: same list, same first item
    {15258, {0, 0}},   // CL_Comm_StatusCallE: same list, same first item
    {15259, {0, 0}},   // CL_Comm_PageCallE: same list, same first item
    {15260, {0, 0}},   // CL_Comm_EmerSelcallE: same list, same first item
    {15261, {0, 0}},   // CL_Comm_AleE: same list, same first item
    {15262, {0, 0}},   // CL_Comm_Sounding: off, a new radio never transmits unasked
    {15263, {2, 2}},   // CL_Comm_QDTime: 2, near the short end of 1..8
    {15264, {20, 20}}, // CL_Comm_SSLength: 20, low in 5..100
    {15265, {30, 30}}, // CL_Comm_BerThre: 30 of 0..48
    {15266, {2, 2}},   // CL_Comm_GolThre: 2, the middle of 0..4
    {15267, {2, 2}},   // CL_Comm_ErrThre: 2, the middle of 0..4
    {15268, {0, 0}},   // CL_Comm_SilentM: off
    {15269, {3, 3}},   // CL_Comm_CRLimit: 3 of 0..99
    {15270, {3, 3}},   // CL_Comm_LQAvarege: 3, shown as 4 of 1..8
    {15271, {0, 0}},   // CL_Comm_SInterval: first item of the interval list
    {15272, {0, 0}},   // CL_Comm_LQAreq: off, no link-quality requests unasked
    {15273, {0, 0}},   // CL_Comm_CallTime: 0, shown as "auto"
    {15277, {0, 0}},   // CL_Comm_DispType: first display type
    {15278, {1, 1}},   // CL_Comm_Comment: on, channel comments are shown
    {15279, {0, 0}},   // CL_Comm_SpeechComp: off, plain speech
    {15280, {0, 0}},   // CL_Comm_AutoMute: off
    {15285, {0, 0}},   // CL_Comm_TxPwrSel: first item of the power list
    {15286, {30, 30}}, // CL_Comm_RfdsT: 30, the lowest the cell offers
    {15287, {0, 0}},   // CL_Comm_RfdsC: off
    {15288, {0, 0}},   // CL_Comm_PreAmp: off, so strong HF signals do not overload
    {15298, {0, 0}},   // CL_Comm_VolMin: 0, the volume knob reaches silence
    {15299, {0, 0}},   // CL_Comm_SimpleMode: off, the full menu
};

// The nine mode registrations: names and use flags. Rows 1..6 carry the first
// of their two spellings; rows 0, 7 and 8 are fixed at the factory.
struct ModeRow {
    const char* name; // five characters, space-padded
    std::uint8_t use[marloModel::variantCount];
};

constexpr ModeRow modeRegistrations[] = {
    {"LSB  ", {0, 1}}, // 0: variant 0 is the USB-only build; variant 1 also offers LSB
    {"USB  ", {1, 1}}, // 1: always usable; its flag cannot be edited
    {"AM   ", {1, 1}}, // 2: listening to broadcasters needs it
    {"AFSK ", {0, 0}}, // 3: needs a modem at the accessory socket; off until fitted
    {"FSK  ", {0, 0}}, // 4: the same
    {"CW   ", {1, 1}}, // 5: needs nothing extra
    {"ALE-U", {1, 1}}, // 6: ALE on the upper sideband
    {"ALE-L", {0, 1}}, // 7: ALE on the lower sideband, only where LSB is offered
    {"AME  ", {0, 0}}, // 8: compatible AM; off, enabled where a service asks for it
};

// Receive band edge: the full coverage of the receiver.
constexpr std::int32_t rxLow = marloFrequency::receiveLowest;
constexpr std::int32_t rxHigh = marloFrequency::highest;

// Transmit ranges 0..10: each variant ships with one range; -1 marks the rest unused.
struct TxRange {
    std::int32_t low;
    std::int32_t high;
};
constexpr TxRange txRanges[marloModel::variantCount] = {
    {2'000'000, marloFrequency::highest},                      // variant 0: from 2 MHz up
    {marloFrequency::transmitLowest, marloFrequency::highest}, // variant 1: the whole coverage
};

void writeBlankList(MemoryImage& image, std::uint8_t listType) {
    ListRecord entry(&image);
    for (std::int32_t i = 0; i <= ListRecord::LastStoredIndex(listType); ++i) {
        entry.MakeBlank(listType, i);
        entry.Store(listType, i);
    }
}

void writeModeRegistrations(MemoryImage& image, int variant) {
    ListRecord entry(&image);
    for (std::int32_t i = 0; i <= ListRecord::LastIndex(listModeReg); ++i) {
        const ModeRow& row = modeRegistrations[i];
        entry.Load(listModeReg, i);
        std::memcpy(entry.modeName.data(), row.name, entry.modeName.size());
        entry.modeUse = row.use[variant];
        entry.Store(listModeReg, i);
    }
}

void fill(MemoryImage& image, std::int32_t at, std::int32_t n, std::uint8_t value) {
    for (std::int32_t a = at; a < at + n; ++a)
        image.SetByte(a, value);
}

void writeRadioBytes(MemoryImage& image, int variant) {
    image.SetByte(marloModel::mapRevisionAddress, marloModel::mapRevision);
    image.SetByte(variantAddress, static_cast<std::uint8_t>(variant));
    // No expert switch is on (frequency programming, protection, power limit,
    // CB band), nor the radio's own bit 6; byte 0x2B4 is the radio's and stays 0.
    image.SetByte(expertBits, 0);
    image.SetByte(radioByte2B4, 0);
    // The radio's comment is the owner's to write.
    fill(image, cloneComment, cloneCommentLength, ' ');
    // No DSC self ID: an empty two-digit field.
    fill(image, selfId, selfIdLength, 0xFF);
    // Identity digits and the factory's bytes after them stay erased; only a
    // factory-mode write ever sends them.
    fill(image, factoryBlock, factoryBlockLength, 0xFF);
    image.Write(signatureAddress, reinterpret_cast<const std::uint8_t*>(signature.data()),
                static_cast<std::int32_t>(signature.size()));
}

} // namespace

void buildInitialImage(MemoryImage& image, int variant) {
    image.Resize(marloModel::imageSize);
    writeRadioBytes(image, variant);
    // Every list starts empty, in exactly the bytes clearing a row writes.
    writeBlankList(image, listUserChannel);
    writeBlankList(image, listSelCallId);
    writeBlankList(image, listAleId);
    writeBlankList(image, listTelNumber);
    setBandEdges(image, rxLow, rxHigh, txRanges[variant].low, txRanges[variant].high);
    writeModeRegistrations(image, variant);
    for (const Setting& s : commonSettings)
        image.SetByte(s.offset, s.value[variant]);
}

std::string initialFileComment(int variant) {
    return "Factory defaults, variant " + std::to_string(variant);
}

} // namespace marlo
