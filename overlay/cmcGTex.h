#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// The overlay text store: answers "line n of entry K" and "the whole text of
// entry K" from a keyed text file (or an array of lines in memory). It indexes
// the source lazily, only as far as the keys asked for require. A key that does
// not exist ends the program with the lookup error, so callers never see a
// missing entry.
//
// Source format: a line "#Key" starts the entry Key; its content lines follow.
// The entry "#End_Of_Ovl" ends the indexing.
class cmcGTex {
public:
    cmcGTex();
    ~cmcGTex();
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // Sets the source once; false (and no change) when a source is already set.
    // The file is opened on the first lookup.
    bool SetFile(const std::string& path);
    // A memory source (borrowed; must outlive the store). Element i is line i.
    bool SetLines(std::span<const char* const> lines);

    // Line n (0-based) of the entry `key`, without its line end.
    std::string GetLine(const std::string& key, int n = 0);
    // Lines 0.. of the entry up to the first line beginning with "#", joined with "\n".
    std::string GetText(const std::string& key);

    // The application's overlay store (the file beside the program), installed
    // by whoever owns it; ends the program when none is installed.
    static cmcGTex& App();
    static void SetApp(cmcGTex* store);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
