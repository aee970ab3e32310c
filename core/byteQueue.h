#pragma once

#include <cstdint>
#include <memory>

namespace marlo {

// A growable byte buffer, used both as a byte string and as a first-in-first-out
// byte queue (serial output, received bytes, frame assembly, echo tracking,
// coverage bitmaps).
//
// Growth leaves a quarter of the old count as headroom. Taking bytes from the
// front only advances a start offset, so a queue costs no copying per byte; the
// dead space in front is compacted away once it passes 4096 bytes. Shrinking
// only lowers the count: the bytes beyond it stay in place, so a later Resize
// within the capacity brings their old values back.
class ByteQueue {
public:
    ByteQueue();
    ByteQueue(const ByteQueue& other);
    ByteQueue& operator=(const ByteQueue& other);
    ~ByteQueue();

    std::int32_t Count() const { return count_; }
    // Bytes available from Data() on without growing.
    std::int32_t Capacity() const { return capacity_; }
    // The first byte; never null, also when the buffer is empty.
    std::uint8_t* Data() { return alloc_.get() + start_; }
    const std::uint8_t* Data() const { return alloc_.get() + start_; }
    // Byte i; an index outside 0..Count()-1 is a program error and ends the program.
    std::uint8_t* At(std::int32_t i);
    const std::uint8_t* At(std::int32_t i) const;

    // Makes the count n (a negative n counts as 0), growing the allocation when n
    // exceeds the capacity; returns the new count.
    std::int32_t Resize(std::int32_t n);

    void Assign(const ByteQueue& other);
    void AssignBytes(const void* bytes, std::int32_t n);
    void Append(const ByteQueue& other);
    // Nothing happens for n <= 0 or null bytes. The bytes may lie inside this buffer.
    void AppendBytes(const void* bytes, std::int32_t n);
    void AppendByte(std::uint8_t b);
    void AppendFill(std::uint8_t value, std::int32_t n);

    // Removes and returns the first byte (0..255), or -1 when the buffer is empty.
    int PopFront();

    // Releases the allocation and leaves an empty buffer of capacity 1.
    void Clear();
    // Moves the contents into a fresh allocation of exactly max(count, 1) bytes.
    void Compact();

private:
    void Reallocate(std::int32_t capacity);

    std::unique_ptr<std::uint8_t[]> alloc_;
    std::int32_t start_ = 0; // offset of the first byte in the allocation
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 0; // bytes from the first byte to the end of the allocation
};

} // namespace marlo
