#pragma once

#include <cstdint>
#include <cstdio>
#include <list>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The overlay text store: answers "line n of entry K" and "the whole text of
// entry K" from a keyed text file (or an array of lines in memory). It indexes
// the source lazily, only as far as the keys asked for require. A key that does
// not exist ends the program with the lookup error, so callers never see a
// missing entry.
//
// Source format: a line "#Key" starts the entry Key; its content lines follow.
// The entry "#End_Of_Ovl" ends the indexing. Lines end with LF or CR LF; a line
// longer than kMaxLine characters is read as several lines.
class cmcGTex {
public:
    static constexpr std::size_t kMaxLine = 8191;
    static constexpr std::size_t kCacheLines = 64;

    cmcGTex();
    ~cmcGTex();
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // Sets the source once; false (and no change) when a source is already set.
    // The file is opened on the first lookup.
    bool SetFile(const std::string& path);
    // A memory source (borrowed; must outlive the store). Element i is line i;
    // reading past the last element (or at a null element) is the end of the source.
    bool SetLines(std::span<const char* const> lines);

    // Line n (0-based) of the entry `key`, without its line end. There is no
    // end-of-entry test: past the entry's content come the following lines.
    std::string GetLine(const std::string& key, int n = 0);
    // Lines 0.. of the entry up to the first line beginning with "#", joined with "\n".
    std::string GetText(const std::string& key);

    // The application's overlay store (the file beside the program), installed
    // by whoever owns it; ends the program when none is installed.
    static cmcGTex& App();
    static void SetApp(cmcGTex* store);

    // Read-only figures for tests and benchmarks: lines taken from the source
    // itself (not from the line cache), lines held in the cache, keys in index order.
    std::uint64_t SourceReads() const { return sourceReads_; }
    std::size_t CacheSize() const { return cache_.size(); }
    std::vector<std::string> IndexOrder() const;

private:
    enum class Source { None, Memory, File };
    struct Entry {
        std::string key;
        std::int64_t start; // position of line 0
        int cursorLine = 0; // the line that starts at cursorPos
        std::int64_t cursorPos;
    };
    struct CachedLine {
        std::int64_t start;
        std::int64_t length; // in positions, so CR and LF count
        std::string text;    // without line end
    };
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    Entry* findEntry(const std::string& key);
    Entry* indexStep();
    bool openSource();
    bool readLine();
    bool readCachedLine();
    bool readFileLine();
    bool readMemoryLine();
    [[noreturn]] static void lookupError(const std::string& key);

    Source source_ = Source::None;
    bool open_ = false;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::span<const char* const> lines_;
    std::string path_;
    std::int64_t position_ = 0;   // byte offset (file) or element index (memory) of the next line
    std::int64_t fileOffset_ = 0; // where the stream really is; spares a seek per sequential read
    std::string line_;            // the line just read, without line end
    std::int64_t scan_ = 0;       // where indexing continues
    std::list<CachedLine> cache_; // most recently used first
    std::list<Entry> index_;
    bool indexing_ = true;
    std::uint64_t sourceReads_ = 0;
};
