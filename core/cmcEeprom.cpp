#include "core/cmcEeprom.h"

#include "platform/cmcFatal.h"

#include <algorithm>
#include <cstring>

void cmcEeprom::Resize(std::int32_t n) {
    if (n != size_) {
        data_.reset();
        size_ = 0;
        if (n > 0) {
            data_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(n));
            size_ = n;
        }
    }
    if (n > 0)
        std::fill_n(data_.get(), size_, std::uint8_t{0});
}

void cmcEeprom::Fill(std::uint8_t v) {
    if (size_ > 0)
        std::fill_n(data_.get(), size_, v);
}

void cmcEeprom::SetByte(std::int32_t a, std::uint8_t v) {
    if (!IsValidAddress(a))
        cmcFatal("Out of EEPROM image address (SetByte).");
    data_[static_cast<std::size_t>(a)] = v;
}

std::uint8_t cmcEeprom::GetByte(std::int32_t a) const {
    if (!IsValidAddress(a))
        cmcFatal("Out of EEPROM image address (GetByte).");
    return data_[static_cast<std::size_t>(a)];
}

void cmcEeprom::Write(std::int32_t a, const std::uint8_t* source, std::int32_t n) {
    if (isValidBlock(a, n))
        std::memmove(data_.get() + a, source, static_cast<std::size_t>(n));
}

void cmcEeprom::Read(std::int32_t a, std::uint8_t* destination, std::int32_t n) const {
    if (isValidBlock(a, n))
        std::memmove(destination, data_.get() + a, static_cast<std::size_t>(n));
}

void cmcEeprom::Assign(const cmcEeprom& other) {
    if (&other == this)
        return;
    Resize(other.size_);
    other.Read(0, data_.get(), size_);
}

bool cmcEeprom::Equals(const cmcEeprom& other) const {
    if (size_ != other.size_)
        return false;
    return size_ == 0 || std::memcmp(data_.get(), other.data_.get(), size_) == 0;
}
