#include "core/byteQueue.h"

#include "platform/fatalError.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace marlo {

namespace {
// A queue may leave this many taken bytes in front before they are compacted away.
constexpr std::int32_t maxDeadBytes = 4096;
} // namespace

ByteQueue::ByteQueue() {
    Reallocate(1);
}

ByteQueue::ByteQueue(const ByteQueue& other) : ByteQueue() {
    Assign(other);
}

ByteQueue& ByteQueue::operator=(const ByteQueue& other) {
    Assign(other);
    return *this;
}

ByteQueue::~ByteQueue() = default;

std::uint8_t* ByteQueue::At(std::int32_t i) {
    if (i < 0 || i >= count_)
        fatalError("Out of cmcBuff element !");
    return Data() + i;
}

const std::uint8_t* ByteQueue::At(std::int32_t i) const {
    return const_cast<ByteQueue*>(this)->At(i);
}

// The fresh allocation is zero-filled, zero being the buffer's fill byte; only the
// counted bytes move, so what lay beyond the count after a shrink is not kept.
void ByteQueue::Reallocate(std::int32_t capacity) {
    auto fresh = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity));
    if (count_ > 0)
        std::memcpy(fresh.get(), Data(), static_cast<std::size_t>(count_));
    alloc_ = std::move(fresh);
    start_ = 0;
    capacity_ = capacity;
}

std::int32_t ByteQueue::Resize(std::int32_t n) {
    n = std::max(n, 0);
    if (n > capacity_) {
        const std::int64_t grown = std::int64_t{n} + count_ / 4;
        Reallocate(static_cast<std::int32_t>(
            std::clamp<std::int64_t>(grown, 1, std::numeric_limits<std::int32_t>::max())));
    }
    count_ = n;
    return count_;
}

void ByteQueue::Assign(const ByteQueue& other) {
    if (&other != this)
        AssignBytes(other.Data(), other.Count());
}

void ByteQueue::AssignBytes(const void* bytes, std::int32_t n) {
    // The source may be part of this buffer: copy it out before the count drops.
    const auto* source = static_cast<const std::uint8_t*>(bytes);
    if (source != nullptr && n > 0 && source >= alloc_.get() && source < Data() + capacity_) {
        const std::vector<std::uint8_t> copy(source, source + n);
        count_ = 0;
        AppendBytes(copy.data(), n);
        return;
    }
    count_ = 0;
    AppendBytes(bytes, n);
}

void ByteQueue::Append(const ByteQueue& other) {
    AppendBytes(other.Data(), other.Count());
}

void ByteQueue::AppendBytes(const void* bytes, std::int32_t n) {
    if (bytes == nullptr || n <= 0)
        return;
    const auto* source = static_cast<const std::uint8_t*>(bytes);
    // Growing releases the old allocation, which may hold the source.
    std::vector<std::uint8_t> copy;
    if (source >= alloc_.get() && source < Data() + capacity_) {
        copy.assign(source, source + n);
        source = copy.data();
    }
    const std::int32_t old = count_;
    Resize(old + n);
    std::memcpy(Data() + old, source, static_cast<std::size_t>(n));
}

void ByteQueue::AppendByte(std::uint8_t b) {
    AppendBytes(&b, 1);
}

void ByteQueue::AppendFill(std::uint8_t value, std::int32_t n) {
    if (n <= 0)
        return;
    const std::int32_t old = count_;
    Resize(old + n);
    std::memset(Data() + old, value, static_cast<std::size_t>(n));
}

int ByteQueue::PopFront() {
    if (count_ <= 0)
        return -1;
    const int b = *Data();
    ++start_;
    --capacity_;
    --count_;
    if (start_ > maxDeadBytes)
        Compact();
    return b;
}

void ByteQueue::Clear() {
    count_ = 0;
    Reallocate(1);
}

void ByteQueue::Compact() {
    Reallocate(std::max(count_, 1));
}

} // namespace marlo
