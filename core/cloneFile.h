#pragma once

#include "core/rangeList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace marlo {

class MemoryImage;

// A clone file: the text form of an EEPROM image. One object serves one save or
// one load. Both directions show their own error box and return the same code.
//
//   26200001                                    model code, "%04X%04X"
//   #Comment=My radio                           comment
//   #MapRev=6                                   memory map revision
//   02B0100610FF00000000000000000000000000FF00  address, count, count bytes
//   ...
//
// Lines end in CR LF on disk; CR LF and LF are both read. The reader takes lines
// beginning with "#" anywhere after the model line, data records in any order,
// and hex digits in either case.
class CloneFile {
public:
    // Result codes; each non-zero code has its own message.
    enum Code : std::uint8_t {
        Ok = 0,
        FileOpen = 1,   // cannot open the file (or, when saving, the folder)
        FileAccess = 2, // writing failed; the old file is left as it was
        Model = 3,      // first number of the model line differs
        Extra = 4,      // second number of the model line differs
        MapRev = 5,     // map revision not accepted
        Format = 6,     // syntax fault
        Coverage = 7,   // part of the coverage was not set
        Data = 8,       // a record lies outside the image or the coverage
        Newer = 9,      // image from a newer map (raised by callers)
    };

    // Answers whether this program can read a map revision (-1: the file named none).
    using MapRevisionCheck = std::function<bool(int revision)>;

    CloneFile();
    ~CloneFile();
    CloneFile(const CloneFile&) = delete;
    CloneFile& operator=(const CloneFile&) = delete;

    // The image to save or to load into (borrowed; must outlive the object and
    // keep its size while bound).
    void BindImage(MemoryImage& image);
    void SetModelCode(int first, int second);
    void SetComment(const std::string& text);
    void SetMapRevision(int n);
    void SetMapRevisionCheck(MapRevisionCheck check);

    // Writes the blocks of `ranges` to `path`. The target is replaced only once the
    // whole file has been written and flushed, so a failed save never costs the
    // previous file.
    Code Save(const std::string& path, RangeList ranges);
    // Reads `path` into the bound image; with a coverage, every byte of it and no
    // other must be set. On any failure the image is left exactly as it was.
    Code Load(const std::string& path, std::optional<RangeList> coverage = std::nullopt);
    // Compares what the last Load set with `coverage`: 0, Coverage or Data. No box.
    Code CheckCoverage(RangeList coverage);

    // The error box for a code (nothing for Ok), naming the file.
    static void ShowMessage(Code code, const std::string& path);

    // The longest comment a file can carry and still be read back in one line.
    static constexpr std::size_t maxCommentLength = 757;

private:
    class Reader;

    MemoryImage& Image();
    std::string HeaderText() const;
    std::string RecordsText(RangeList ranges);
    Code ReadFile(const std::string& path);
    Code ReadModelLine(Reader& reader) const;
    Code ReadBody(Reader& reader);
    Code ReadDataLine(const std::string& line);
    void ReadCommentLine(const std::string& line);

    MemoryImage* image_ = nullptr;
    int modelFirst_ = 0;
    int modelSecond_ = 0;
    std::string comment_;
    int mapRevisionToWrite_ = -1;
    int mapRevisionRead_ = -1;
    MapRevisionCheck mapRevisionCheck_;
    // One bit per image address, least significant bit first.
    std::vector<std::uint8_t> required_;
    std::vector<std::uint8_t> loaded_;
};

} // namespace marlo
