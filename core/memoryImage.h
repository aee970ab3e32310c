#pragma once

#include <cstdint>
#include <memory>

namespace marlo {

// In-memory copy of the radio's EEPROM: a plain byte array addressed by radio
// memory address. It knows nothing of what the bytes mean. Single bytes are
// bounds-checked (a bad address is a program error and ends the program);
// block copies silently refuse a bad range.
class MemoryImage {
public:
    MemoryImage() = default;
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;

    // Gives the image n bytes, all zero (also when it had n bytes already);
    // n <= 0 leaves an empty image.
    void Resize(std::int32_t n);
    std::int32_t Size() const { return size_; }
    bool IsValidAddress(std::int32_t a) const { return a >= 0 && a < size_; }

    void Fill(std::uint8_t v);
    void SetByte(std::int32_t a, std::uint8_t v);
    std::uint8_t GetByte(std::int32_t a) const;

    // Block copies of n bytes at a; nothing happens unless the whole block lies
    // inside the image and n > 0.
    void Write(std::int32_t a, const std::uint8_t* source, std::int32_t n);
    void Read(std::int32_t a, std::uint8_t* destination, std::int32_t n) const;

    void Assign(const MemoryImage& other);
    bool Equals(const MemoryImage& other) const;
    bool Differs(const MemoryImage& other) const { return !Equals(other); }

    // The raw bytes, for the list records and the image preparation; Size() long.
    std::uint8_t* Data() { return data_.get(); }
    const std::uint8_t* Data() const { return data_.get(); }

private:
    bool IsValidBlock(std::int32_t a, std::int32_t n) const {
        return a >= 0 && n > 0 && a < size_ && n <= size_ - a;
    }

    std::int32_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> data_;
};

} // namespace marlo
