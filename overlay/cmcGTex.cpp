#include "overlay/cmcGTex.h"

#include "platform/cmcFatal.h"

#include <cstring>
#include <string_view>
#include <sys/types.h>

namespace {

cmcGTex* appStore = nullptr;

// Entries found this deep in the index are moved to its head, so the entries a
// sheet keeps asking for stay near the front.
constexpr int kMoveToFrontDepth = 11;

const std::string kEndKey = "End_Of_Ovl";

bool isHeader(const std::string& line) {
    return line.size() >= 2 && line[0] == '#';
}

} // namespace

cmcGTex::cmcGTex() = default;
cmcGTex::~cmcGTex() = default;

bool cmcGTex::SetFile(const std::string& path) {
    if (source_ != Source::None)
        return false;
    source_ = Source::File;
    path_ = path;
    return true;
}

bool cmcGTex::SetLines(std::span<const char* const> lines) {
    if (source_ != Source::None)
        return false;
    source_ = Source::Memory;
    lines_ = lines;
    return true;
}

std::string cmcGTex::GetLine(const std::string& key, int n) {
    Entry* entry = findEntry(key);
    if (entry == nullptr || !open_ || n < 0)
        lookupError(key);
    int k = 0;
    if (entry->cursorLine > n) {
        position_ = entry->start;
    } else {
        position_ = entry->cursorPos;
        k = entry->cursorLine;
    }
    for (; k <= n; ++k) {
        if (!readCachedLine())
            lookupError(key);
    }
    entry->cursorLine = n + 1;
    entry->cursorPos = position_;
    return line_;
}

std::string cmcGTex::GetText(const std::string& key) {
    std::string text;
    for (int i = 0;; ++i) {
        const std::string line = GetLine(key, i);
        if (!line.empty() && line[0] == '#')
            break;
        if (i > 0)
            text += '\n';
        text += line;
    }
    return text;
}

cmcGTex& cmcGTex::App() {
    if (appStore == nullptr)
        cmcFatal("GTEX Error !\nNo overlay store is installed.");
    return *appStore;
}

void cmcGTex::SetApp(cmcGTex* store) {
    appStore = store;
}

std::vector<std::string> cmcGTex::IndexOrder() const {
    std::vector<std::string> keys;
    keys.reserve(index_.size());
    for (const Entry& entry : index_)
        keys.push_back(entry.key);
    return keys;
}

cmcGTex::Entry* cmcGTex::findEntry(const std::string& key) {
    int depth = 0;
    for (auto it = index_.begin(); it != index_.end(); ++it, ++depth) {
        if (it->key != key)
            continue;
        if (depth >= kMoveToFrontDepth)
            index_.splice(index_.begin(), index_, it);
        return &*it;
    }
    while (indexing_) {
        Entry* added = indexStep();
        if (added != nullptr && added->key == key)
            return added;
    }
    return nullptr;
}

// Reads exactly one line (or opens the source) and records a header found there.
cmcGTex::Entry* cmcGTex::indexStep() {
    if (!open_) {
        if (!openSource())
            indexing_ = false;
        return nullptr;
    }
    position_ = scan_;
    if (!readLine()) {
        indexing_ = false;
        return nullptr;
    }
    scan_ = position_;
    if (!isHeader(line_))
        return nullptr;
    index_.push_back({line_.substr(1), scan_, 0, scan_});
    if (index_.back().key == kEndKey)
        indexing_ = false;
    return &index_.back();
}

bool cmcGTex::openSource() {
    if (source_ == Source::Memory) {
        open_ = true;
    } else if (source_ == Source::File && !path_.empty()) {
        file_.reset(std::fopen(path_.c_str(), "rb"));
        open_ = file_ != nullptr;
    }
    position_ = 0;
    fileOffset_ = 0;
    return open_;
}

bool cmcGTex::readLine() {
    return source_ == Source::File ? readFileLine() : readMemoryLine();
}

// Lines are cached by where they start, so a sheet re-reading its lines does
// not touch the file.
bool cmcGTex::readCachedLine() {
    if (source_ != Source::File)
        return readLine();
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->start != position_)
            continue;
        line_ = it->text;
        position_ += it->length;
        cache_.splice(cache_.begin(), cache_, it);
        return true;
    }
    const std::int64_t start = position_;
    if (!readFileLine())
        return false;
    if (cache_.size() >= kCacheLines)
        cache_.pop_back();
    cache_.push_front({start, position_ - start, line_});
    return true;
}

bool cmcGTex::readFileLine() {
    std::FILE* f = file_.get();
    if (fileOffset_ != position_) {
        if (fseeko(f, static_cast<off_t>(position_), SEEK_SET) != 0)
            return false;
        fileOffset_ = position_;
    }
    const std::int64_t start = position_;
    line_.clear();
    bool ended = false;
    for (;;) {
        const int c = std::getc(f);
        if (c == EOF)
            break;
        ++fileOffset_;
        if (c == '\n') {
            if (!line_.empty() && line_.back() == '\r')
                line_.pop_back();
            ended = true;
            break;
        }
        line_.push_back(static_cast<char>(c));
        // A full line may still be followed by its CR LF, which then belongs to it.
        const bool pendingCr = line_.size() == kMaxLine + 1 && c == '\r';
        if (line_.size() > kMaxLine && !pendingCr)
            break;
    }
    if (fileOffset_ == start)
        return false;
    if (!ended && line_.size() > kMaxLine) {
        // The rest of an over-long line is the next line; the stream has read
        // ahead, and the next read seeks back.
        line_.resize(kMaxLine);
        position_ = start + static_cast<std::int64_t>(kMaxLine);
    } else {
        position_ = fileOffset_;
    }
    ++sourceReads_;
    return true;
}

bool cmcGTex::readMemoryLine() {
    if (position_ < 0 || static_cast<std::size_t>(position_) >= lines_.size() ||
        lines_[static_cast<std::size_t>(position_)] == nullptr)
        return false;
    std::string_view text = lines_[static_cast<std::size_t>(position_)];
    const std::size_t end = text.find('\n');
    if (end != std::string_view::npos) {
        text = text.substr(0, end);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
    }
    line_.assign(text);
    ++position_;
    ++sourceReads_;
    return true;
}

void cmcGTex::lookupError(const std::string& key) {
    cmcFatal("GTEX Error !\nThe index '" + key + "' was not found.");
}
