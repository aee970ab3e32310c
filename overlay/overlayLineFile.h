#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace marlo {

// Reads the overlay file line by line at any byte offset. Lines end with LF or
// CR LF; the CR of a CR LF pair is dropped from the text but still counted in the
// offsets, so offsets stay true file positions whichever line ends the file uses.
class OverlayLineFile {
public:
    // Longest text one read returns, line end not counted. A longer line is cut
    // there and the rest of it dropped: a piece of a line must never come back
    // as a line of its own, where a "#" could start a key.
    static constexpr std::size_t kMaxLineChars = 8191;
    // Bytes fetched from the file at a time.
    static constexpr std::size_t kBlockSize = 4096;

    OverlayLineFile();
    ~OverlayLineFile();
    OverlayLineFile(const OverlayLineFile&) = delete;
    OverlayLineFile& operator=(const OverlayLineFile&) = delete;

    // False when the path is empty or the file cannot be opened for reading.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // The system's reason why the last open or read failed; empty when none did.
    const std::string& Failure() const { return failure_; }

    // Reads the line that starts at `pos` into `line` (LF kept when the line had
    // one) and moves `pos` behind it, behind the whole line also when its text was
    // cut. A UTF-8 byte-order mark at the start of the file is no text. False at
    // the end of the file or on a read error.
    bool ReadLine(std::uint64_t& pos, std::string& line);

private:
    // The byte at `pos`, or -1 beyond the end of the file.
    int ByteAt(std::uint64_t pos);
    bool Load(std::uint64_t pos);

    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::vector<char> block_;
    std::uint64_t blockStart_ = 0;
    std::size_t blockLen_ = 0;
    std::string failure_;
};

} // namespace marlo
