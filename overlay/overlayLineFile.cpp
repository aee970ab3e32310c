#include "overlay/overlayLineFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace marlo {

OverlayLineFile::OverlayLineFile() = default;
OverlayLineFile::~OverlayLineFile() = default;

bool OverlayLineFile::Open(const std::string& path) {
    file_.reset();
    blockLen_ = 0;
    failure_.clear();
    if (path.empty())
        return false;
    // Binary mode: line ends are handled here so that offsets are plain byte counts.
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_)
        failure_ = std::strerror(errno);
    return file_ != nullptr;
}

bool OverlayLineFile::ReadLine(std::uint64_t& pos, std::string& line) {
    line.clear();
    if (!file_)
        return false;
    if (pos == 0 && ByteAt(0) == 0xEF && ByteAt(1) == 0xBB && ByteAt(2) == 0xBF)
        pos = 3; // an editor's mark, invisible to whoever wrote the file
    const std::uint64_t start = pos;
    // One character more than the limit is kept, so that the CR of a CR LF pair
    // right behind a full line is still seen as such.
    std::uint64_t length = 0;
    char last = 0;
    bool ended = false;
    while (ByteAt(pos) >= 0) {
        const char* from = block_.data() + (pos - blockStart_);
        const std::size_t room = blockStart_ + blockLen_ - pos;
        const auto* lf = static_cast<const char*>(std::memchr(from, '\n', room));
        const std::size_t n = lf ? std::size_t(lf - from) : room;
        if (line.size() <= kMaxLineChars)
            line.append(from, std::min(n, kMaxLineChars + 1 - line.size()));
        if (n > 0)
            last = from[n - 1];
        length += n;
        pos += n;
        if (lf) {
            ++pos;
            ended = true;
            break;
        }
    }
    if (pos == start)
        return false;
    if (ended && last == '\r' && line.size() == length)
        line.pop_back();
    if (line.size() > kMaxLineChars)
        line.resize(kMaxLineChars);
    if (ended)
        line += '\n';
    return true;
}

int OverlayLineFile::ByteAt(std::uint64_t pos) {
    if ((pos < blockStart_ || pos >= blockStart_ + blockLen_) && !Load(pos))
        return -1;
    return static_cast<unsigned char>(block_[pos - blockStart_]);
}

bool OverlayLineFile::Load(std::uint64_t pos) {
    blockLen_ = 0;
    blockStart_ = pos;
    if (!file_ || pos > static_cast<std::uint64_t>(LONG_MAX) ||
        std::fseek(file_.get(), static_cast<long>(pos), SEEK_SET) != 0)
        return false;
    block_.resize(kBlockSize);
    errno = 0;
    blockLen_ = std::fread(block_.data(), 1, block_.size(), file_.get());
    // A folder opens, and says what it is at the first read.
    if (blockLen_ == 0 && std::ferror(file_.get()) && errno != 0)
        failure_ = std::strerror(errno);
    return blockLen_ > 0;
}

} // namespace marlo
