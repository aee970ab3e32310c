#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marlo {

// One attempt at one radio, as the fleet log keeps it.
struct FleetRecord {
    std::string time; // UTC, ISO 8601
    std::string label;
    int row = 0;          // in the roster, from 1
    std::string radio;    // the identification, "" when the radio never answered
    std::string firmware; // likewise
    std::string planSha256;
    // Of what the radio holds over every range a full write reaches, once the
    // write started or was found unneeded; "" when nothing was sent.
    std::string imageSha256;
    std::string backup; // "" when no backup was saved
    int result = 0;
    std::string message;
    bool changesOnly = false;
    // What a write of only the changes sent (0 when nothing differed); none for a
    // full write, or when the radio was never compared with its memory.
    std::optional<int> blocks;
    std::optional<std::int32_t> bytes;
};

// The fleet log: JSON Lines, one object per attempt, only ever appended to.
// Each record is one write of one line to a file opened for appending and is
// flushed to the disk before the next radio is touched, so that a pulled cable
// or Ctrl+C leaves every finished attempt on record.
class FleetLog {
public:
    explicit FleetLog(std::string path) : path_(std::move(path)) {}
    // Whether the file can be appended to (it is created when missing).
    bool Usable() const;
    bool Append(const FleetRecord& record) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The record as one line of JSON, without the line break.
std::string fleetRecordJson(const FleetRecord& record);

// SHA-256 in lower-case hex; of a file nothing when it cannot be read.
std::string sha256Hex(const std::vector<std::uint8_t>& bytes);
std::optional<std::string> fileSha256Hex(const std::string& path);

// Now in UTC as "2026-12-07T21:40:05Z", and as "20261207T214005Z" for file names.
std::string utcTimeNow(bool forFileName);

} // namespace marlo
