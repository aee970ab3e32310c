#pragma once

#include "overlay/overlayLineCache.h"
#include "overlay/overlayLineFile.h"

#include <cstdint>
#include <list>
#include <span>
#include <string>
#include <vector>

namespace marlo {

// The overlay text store: answers "line n of entry K" and "the whole text of
// entry K" from a keyed text file (or an array of lines in memory). It indexes
// the source lazily, only as far as the keys asked for require. A key that does
// not exist ends the program with the lookup error, so callers never see a
// missing entry.
//
// Source format: a line "#Key" starts the entry Key; its content lines follow.
// Blanks and tabs after a key are no part of it, nor is a UTF-8 byte-order mark
// before the first line. The entry "#End_Of_Ovl" ends the indexing. A key given
// twice is found at its first place in the file.
class OverlayTexts {
public:
    OverlayTexts();
    ~OverlayTexts();
    OverlayTexts(const OverlayTexts&) = delete;
    OverlayTexts& operator=(const OverlayTexts&) = delete;

    // Sets the source once; false (and no change) when a source is already set.
    // The file is opened on the first lookup.
    bool SetFile(const std::string& path);
    // A memory source (borrowed; must outlive the store). Element i is line i; the
    // end of the array, or a null element, reads as the end of a file.
    bool SetLines(std::span<const char* const> lines);

    // Line n (0-based) of the entry `key`, without its line end. Nothing stops at
    // the end of the entry: lines beyond it are the lines that follow in the source.
    std::string GetLine(const std::string& key, int n = 0);
    // True when the entry `key` exists; the one lookup that does not end the
    // program on a missing key, for callers that name entries from data (a tree
    // node naming a sheet).
    bool Has(const std::string& key);
    // Lines 0.. of the entry up to the first line beginning with "#", joined with "\n".
    std::string GetText(const std::string& key);

    // Indexes the source up to its "#End_Of_Ovl" entry; a source that cannot be
    // read or ends without it is the lookup error. The programs call this once at
    // start-up, so that a truncated installation stops at once instead of in the
    // middle of an edit, at the first entry it happens to lack.
    void RequireEndMarker();

    // The application's overlay store (the file beside the program), installed
    // by whoever owns it; ends the program when none is installed.
    static OverlayTexts& App();
    static void SetApp(OverlayTexts* store);

    // Read-only figures for tests and diagnostics.
    std::uint64_t SourceLineReads() const { return sourceReads_; } // reads that missed the cache
    std::size_t CachedLines() const { return cache_.Size(); }
    std::vector<std::string> IndexKeys() const; // keys indexed so far, in index order

private:
    enum class Source { None, Lines, File };
    struct Entry {
        std::string key;
        std::uint64_t start = 0;     // position of line 0
        std::int64_t cursorLine = 0; // the line that starts at cursorPos
        std::uint64_t cursorPos = 0;
    };

    Entry* FindEntry(const std::string& key);
    void IndexStep();
    bool Open();
    bool ReadPlain();
    bool ReadCached();
    bool ReadElement();
    // Names the file and the system's reason when the file could not be read.
    [[noreturn]] void LookupError(const std::string& key) const;

    Source source_ = Source::None;
    bool open_ = false;
    std::string path_;
    std::span<const char* const> lines_;
    OverlayLineFile file_;
    OverlayLineCache cache_;
    std::uint64_t position_ = 0; // byte offset (file) or element index (memory) of the next line
    std::uint64_t scanPos_ = 0;  // where indexing continues
    std::string line_;           // the line just read, with its line end
    std::list<Entry> index_;
    bool indexing_ = true;
    std::uint64_t sourceReads_ = 0;
    std::uint64_t cacheHits_ = 0;
};

} // namespace marlo
