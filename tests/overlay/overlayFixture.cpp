#include "overlayFixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

using namespace marlo;

TempFile::TempFile(const std::string& bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "marlo-ovl-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a temporary file");
    const bool written = write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    close(fd);
    path_ = pattern;
    if (!written)
        throw std::runtime_error("cannot write " + path_);
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

std::string joinLines(const std::vector<std::string>& lines, const char* lineEnd) {
    std::string text;
    for (const std::string& line : lines)
        text += line + lineEnd;
    return text;
}

TestOverlay::TestOverlay(OverlayKind kind, std::vector<std::string> lines)
    : lines_(std::move(lines)) {
    if (kind == OverlayKind::Memory) {
        for (const std::string& line : lines_)
            pointers_.push_back(line.c_str());
        store_.SetLines(pointers_);
        return;
    }
    file_.emplace(joinLines(lines_, kind == OverlayKind::CrLfFile ? "\r\n" : "\n"));
    store_.SetFile(file_->path());
}

TestOverlay::~TestOverlay() = default;

std::string lookupErrorPattern(const std::string& key) {
    std::string escaped;
    for (char c : key) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos)
            escaped += '\\';
        escaped += c;
    }
    return "GTEX Error !\nThe index '" + escaped + "' was not found\\.";
}

std::string overlayKindName(const ::testing::TestParamInfo<OverlayKind>& info) {
    switch (info.param) {
    case OverlayKind::LfFile:
        return "LfFile";
    case OverlayKind::CrLfFile:
        return "CrLfFile";
    case OverlayKind::Memory:
        return "Memory";
    }
    return "Unknown";
}
