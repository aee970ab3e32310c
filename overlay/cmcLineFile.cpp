#include "overlay/cmcLineFile.h"

#include <climits>

namespace {
constexpr std::size_t kBlockSize = 16384;
}

cmcLineFile::cmcLineFile() = default;
cmcLineFile::~cmcLineFile() = default;

bool cmcLineFile::Open(const std::string& path) {
    file_.reset();
    blockLen_ = 0;
    if (path.empty())
        return false;
    // Binary mode: line ends are handled here so that offsets are plain byte counts.
    file_.reset(std::fopen(path.c_str(), "rb"));
    return file_ != nullptr;
}

bool cmcLineFile::ReadLine(std::uint64_t& pos, std::string& line) {
    line.clear();
    if (!file_)
        return false;
    while (line.size() < kMaxLineChars) {
        const int ch = ByteAt(pos);
        if (ch < 0)
            break;
        if (ch == '\r' && ByteAt(pos + 1) == '\n') {
            line.push_back('\n');
            pos += 2;
            break;
        }
        line.push_back(static_cast<char>(ch));
        ++pos;
        if (ch == '\n')
            break;
    }
    return !line.empty();
}

int cmcLineFile::ByteAt(std::uint64_t pos) {
    if ((pos < blockStart_ || pos >= blockStart_ + blockLen_) && !Load(pos))
        return -1;
    return static_cast<unsigned char>(block_[pos - blockStart_]);
}

bool cmcLineFile::Load(std::uint64_t pos) {
    blockLen_ = 0;
    blockStart_ = pos;
    if (!file_ || pos > static_cast<std::uint64_t>(LONG_MAX) ||
        std::fseek(file_.get(), static_cast<long>(pos), SEEK_SET) != 0)
        return false;
    block_.resize(kBlockSize);
    blockLen_ = std::fread(block_.data(), 1, block_.size(), file_.get());
    return blockLen_ > 0;
}
