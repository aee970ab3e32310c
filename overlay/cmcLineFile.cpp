#include "overlay/cmcLineFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

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
    // Whole runs of the block at a time, up to the LF or the length limit.
    while (line.size() < kMaxLineChars && ByteAt(pos) >= 0) {
        const char* from = block_.data() + (pos - blockStart_);
        const std::size_t room =
            std::min<std::uint64_t>(blockStart_ + blockLen_ - pos, kMaxLineChars - line.size());
        const auto* lf = static_cast<const char*>(std::memchr(from, '\n', room));
        const std::size_t taken = lf ? std::size_t(lf - from) + 1 : room;
        line.append(from, taken);
        pos += taken;
        if (lf)
            break;
    }
    // The CR of a CR LF pair is no character: drop it, and when it filled the
    // last place of a full line, the LF behind it still belongs to this line.
    if (line.ends_with("\r\n")) {
        line.erase(line.size() - 2, 1);
    } else if (line.size() == kMaxLineChars && line.back() == '\r' && ByteAt(pos) == '\n') {
        line.back() = '\n';
        ++pos;
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
