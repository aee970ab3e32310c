#include "fullDocument.h"

#include "core/memoryImage.h"
#include "radio/listRecord.h"

#include <algorithm>
#include <string>

using namespace marlo;

namespace {

std::string name(const std::string& stem, int n) {
    return stem + std::to_string(n);
}

} // namespace

void fillEveryListOf(MemoryImage& image) {
    ListRecord e(&image);
    // Receive 1.6..30 MHz; eleven transmit ranges of 1.5 MHz, 2 MHz apart.
    e.Load(listRxEdge, 0);
    e.low = 1'600'000;
    e.high = 29'999'999;
    e.Store(listRxEdge, 0);
    for (int i = 0; i <= ListRecord::LastStoredIndex(listTxEdge); ++i) {
        e.Load(listTxEdge, i);
        e.low = 2'000'000 + i * 2'000'000;
        e.high = e.low + 1'500'000;
        e.Store(listTxEdge, i);
    }
    // Every mode usable, rows 1..6 under their second spelling.
    const char* second[] = {"J3E  ", "A3E  ", "J2B  ", "F1B  ", "A1A  ", "J3E-A"};
    for (int i = 0; i <= ListRecord::LastIndex(listModeReg); ++i) {
        e.Load(listModeReg, i);
        e.modeUse = 1;
        if (i >= 1 && i <= 6)
            std::copy_n(second[i - 1], 5, e.modeName.begin());
        e.Store(listModeReg, i);
    }
    for (int i = 0; i <= ListRecord::LastIndex(listAleId); ++i) {
        e.MakeBlank(listAleId, i);
        const std::string address = name("ST", 1000 + i);
        std::copy(address.begin(), address.end(), e.aleAddress.begin());
        if (i % 2 == 0) {
            const std::string idn = name("NET", i);
            std::copy(idn.begin(), idn.end(), e.aleIdn.begin());
            e.idnPresent = true;
        }
        e.SetRange(0, static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 1));
        e.SetRange(2, 100, static_cast<std::uint16_t>(200 + i));
        e.slotTime = static_cast<std::uint8_t>(1 + i % 100);
        e.Store(listAleId, i);
    }
    image.SetByte(15249, 1); // six-digit selective-call IDs
    for (int i = 0; i <= ListRecord::LastIndex(listSelCallId); ++i) {
        e.MakeBlank(listSelCallId, i);
        e.callId = {12, static_cast<std::uint8_t>(i / 10), static_cast<std::uint8_t>(i % 10 + 50)};
        const std::string text = name("Unit/", i) + " (HQ)";
        std::copy(text.begin(), text.end(), e.name.begin());
        e.SetRange(1, static_cast<std::uint16_t>(i + 1), 9999);
        e.Store(listSelCallId, i);
    }
    for (int i = 0; i <= ListRecord::LastIndex(listTelNumber); ++i) {
        e.MakeBlank(listTelNumber, i);
        const std::string digits = "06123" + std::to_string(100000 + i);
        for (std::size_t k = 0; k < digits.size(); ++k) {
            std::uint8_t& byte = e.telNumber[k / 2];
            const auto d = static_cast<std::uint8_t>(digits[k] - '0');
            byte = k % 2 == 0 ? static_cast<std::uint8_t>((d << 4) | 0x0F)
                              : static_cast<std::uint8_t>((byte & 0xF0) | d);
        }
        const std::string text = name("Office+", i);
        std::copy(text.begin(), text.end(), e.name.begin());
        e.Store(listTelNumber, i);
    }
    // 100 ALE channels, the limit, then 400 others.
    for (int slot = 0; slot <= ListRecord::LastIndex(listUserChannel); ++slot) {
        e.MakeBlank(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(9999 - slot);
        e.rxFrequency = 2'000'000 + (slot % 140) * 10'000;
        e.txFrequency = slot % 2 == 0 ? e.rxFrequency : e.rxFrequency + 100;
        e.state = static_cast<std::uint8_t>(e.state &
                                            ~(ListRecord::stateRxEmpty | ListRecord::stateTxEmpty));
        const bool ale = slot < ListRecord::aleChannelLimit;
        e.mode = static_cast<std::uint8_t>(ale ? 6 + slot % 2 : 1 + slot % 5);
        e.callKind = static_cast<std::uint8_t>(ale ? ListRecord::aleCallKind : slot % 3);
        e.aleIndex = static_cast<std::uint8_t>(ale ? slot : ListRecord::noAle);
        const std::string text = name("Ch.", slot) + " <" + std::to_string(slot % 7) + ">";
        std::copy(text.begin(), text.end(), e.name.begin());
        e.scanGroup = static_cast<std::uint8_t>(slot % 4);
        e.filter = static_cast<std::uint8_t>(slot % 4);
        e.editFlag = static_cast<std::uint8_t>(slot % 2);
        e.Store(listUserChannel, slot);
    }
    // Settings: a few of every form.
    const char comment[] = "Fleet, \"North\"";
    image.Write(699, reinterpret_cast<const std::uint8_t*>("                "), 16);
    image.Write(699, reinterpret_cast<const std::uint8_t*>(comment), sizeof comment - 1);
    image.SetByte(15285, 2);  // TxPwrSel Low
    image.SetByte(15234, 42); // NmeaId
    image.SetByte(15273, 37); // CallTime
    image.SetByte(15270, 6);  // LQAvarege, shown as 7
    image.SetByte(690, static_cast<std::uint8_t>(image.GetByte(690) ^ 0x2F)); // expert bits
}
