#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Wire bytes from a readable spelling: hex pairs (spaces ignored) and "quoted"
// ASCII text, as in  FE FE EE EF E4 "02B002123406" FD.
std::vector<std::uint8_t> spellBytes(const std::string& text);
