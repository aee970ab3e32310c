#include "core/memoryImage.h"

#include "platform/fatalError.h"

#include <algorithm>
#include <cstring>

namespace marlo {

void MemoryImage::Resize(std::int32_t n) {
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

void MemoryImage::Fill(std::uint8_t v) {
    if (size_ > 0)
        std::fill_n(data_.get(), size_, v);
}

void MemoryImage::SetByte(std::int32_t a, std::uint8_t v) {
    if (!IsValidAddress(a))
        fatalError("Out of EEPROM image address (SetByte).");
    data_[static_cast<std::size_t>(a)] = v;
}

std::uint8_t MemoryImage::GetByte(std::int32_t a) const {
    if (!IsValidAddress(a))
        fatalError("Out of EEPROM image address (GetByte).");
    return data_[static_cast<std::size_t>(a)];
}

void MemoryImage::Write(std::int32_t a, const std::uint8_t* source, std::int32_t n) {
    if (IsValidBlock(a, n))
        std::memmove(data_.get() + a, source, static_cast<std::size_t>(n));
}

void MemoryImage::Read(std::int32_t a, std::uint8_t* destination, std::int32_t n) const {
    if (IsValidBlock(a, n))
        std::memmove(destination, data_.get() + a, static_cast<std::size_t>(n));
}

void MemoryImage::Assign(const MemoryImage& other) {
    if (&other == this)
        return;
    Resize(other.size_);
    other.Read(0, data_.get(), size_);
}

bool MemoryImage::Equals(const MemoryImage& other) const {
    if (size_ != other.size_)
        return false;
    return size_ == 0 || std::memcmp(data_.get(), other.data_.get(), size_) == 0;
}

} // namespace marlo
