#pragma once

#include "core/memoryImage.h"
#include "core/modelIdentity.h"

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string_view>
#include <vector>

using namespace marlo;

// Images for the list entry suites: the model's size, filled as each test needs.
inline void makeImage(MemoryImage& image, std::uint8_t fill = 0) {
    image.Resize(marloModel::imageSize);
    image.Fill(fill);
}

inline void fillRandom(MemoryImage& image, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::int32_t a = 0; a < image.Size(); ++a)
        image.Data()[a] = static_cast<std::uint8_t>(byte(random));
}

inline std::vector<std::uint8_t> bytesAt(const MemoryImage& image, std::int32_t a, std::int32_t n) {
    return {image.Data() + a, image.Data() + a + n};
}

inline void putBytes(MemoryImage& image, std::int32_t a,
                     std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        image.SetByte(a++, b);
}

inline void putText(MemoryImage& image, std::int32_t a, std::string_view text) {
    for (char c : text)
        image.SetByte(a++, static_cast<std::uint8_t>(c));
}

template <std::size_t N>
std::array<std::uint8_t, N> textField(std::string_view text) {
    std::array<std::uint8_t, N> field{};
    field.fill(' ');
    for (std::size_t i = 0; i < text.size() && i < N; ++i)
        field[i] = static_cast<std::uint8_t>(text[i]);
    return field;
}
