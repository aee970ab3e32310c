#pragma once

#include "overlay/overlayTexts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace marlo;

// A file in the temporary folder that is removed again with the object.
class TempFile {
public:
    explicit TempFile(const std::string& bytes);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// How a test overlay reaches the store: the same lines as a file with LF or
// CR LF line ends, or as an array in memory.
enum class OverlayKind { LfFile, CrLfFile, Memory };
std::string overlayKindName(const ::testing::TestParamInfo<OverlayKind>& info);

// A store over the given lines, in the given kind of source.
class TestOverlay {
public:
    TestOverlay(OverlayKind kind, std::vector<std::string> lines);
    ~TestOverlay();
    OverlayTexts& store() { return store_; }

private:
    std::vector<std::string> lines_;
    std::vector<const char*> pointers_;
    std::optional<TempFile> file_; // none for a memory source
    OverlayTexts store_;
};

std::string joinLines(const std::vector<std::string>& lines, const char* lineEnd);
// The lookup error's text as a death-test pattern.
std::string lookupErrorPattern(const std::string& key);
