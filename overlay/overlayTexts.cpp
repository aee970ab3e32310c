#include "overlay/overlayTexts.h"

#include "platform/fatalError.h"

#include <cstring>
#include <string_view>

namespace marlo {

namespace {
OverlayTexts* appStore = nullptr;

// Entries found deeper than this in the index move to its head: the sheet engine
// asks for the same few keys again and again.
constexpr std::size_t kMoveToFrontDepth = 10;

const char kEndKey[] = "End_Of_Ovl";

bool isHeader(const std::string& line) {
    return line.size() >= 2 && line[0] == '#' && line[1] != '\n';
}

std::string_view withoutLineEnd(std::string_view line) {
    return line.substr(0, line.find('\n'));
}
} // namespace

OverlayTexts::OverlayTexts() = default;
OverlayTexts::~OverlayTexts() = default;

bool OverlayTexts::SetFile(const std::string& path) {
    if (source_ != Source::None)
        return false;
    source_ = Source::File;
    path_ = path;
    return true;
}

bool OverlayTexts::SetLines(std::span<const char* const> lines) {
    if (source_ != Source::None)
        return false;
    source_ = Source::Lines;
    lines_ = lines;
    return true;
}

std::string OverlayTexts::GetLine(const std::string& key, int n) {
    Entry* entry = n >= 0 ? FindEntry(key) : nullptr;
    if (!entry || !open_)
        LookupError(key);
    // The cursor makes reading line n + 1 after line n a single read.
    std::int64_t k = 0;
    position_ = entry->start;
    if (entry->cursorLine <= n) {
        k = entry->cursorLine;
        position_ = entry->cursorPos;
    }
    for (; k <= n; ++k) {
        if (!ReadCached())
            LookupError(key);
    }
    entry->cursorLine = std::int64_t{n} + 1;
    entry->cursorPos = position_;
    return std::string(withoutLineEnd(line_));
}

bool OverlayTexts::Has(const std::string& key) {
    return FindEntry(key) != nullptr && open_;
}

std::string OverlayTexts::GetText(const std::string& key) {
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

void OverlayTexts::RequireEndMarker() {
    if (!FindEntry(kEndKey))
        LookupError(kEndKey);
}

OverlayTexts& OverlayTexts::App() {
    if (!appStore)
        fatalError("GTEX Error !\nNo overlay store is installed.");
    return *appStore;
}

void OverlayTexts::SetApp(OverlayTexts* store) {
    appStore = store;
}

std::vector<std::string> OverlayTexts::IndexKeys() const {
    std::vector<std::string> keys;
    keys.reserve(index_.size());
    for (const Entry& entry : index_)
        keys.push_back(entry.key);
    return keys;
}

OverlayTexts::Entry* OverlayTexts::FindEntry(const std::string& key) {
    std::size_t depth = 0;
    for (auto it = index_.begin(); it != index_.end(); ++it, ++depth) {
        if (it->key != key)
            continue;
        if (depth > kMoveToFrontDepth)
            index_.splice(index_.begin(), index_, it);
        return &*it;
    }
    const std::size_t known = index_.size();
    while (indexing_) {
        IndexStep();
        if (index_.size() > known && index_.back().key == key)
            return &index_.back();
    }
    return nullptr;
}

// Reads exactly one line of the source (or opens it).
void OverlayTexts::IndexStep() {
    if (!open_) {
        if (!Open())
            indexing_ = false;
        return;
    }
    position_ = scanPos_;
    if (!ReadPlain()) {
        indexing_ = false;
        return;
    }
    scanPos_ = position_;
    if (!isHeader(line_))
        return;
    Entry entry;
    // Trailing blanks are invisible in any editor; a key must not hide behind them.
    std::string_view key = withoutLineEnd(std::string_view(line_).substr(1));
    key = key.substr(0, key.find_last_not_of(" \t") + 1);
    entry.key = std::string(key);
    entry.start = position_;
    entry.cursorPos = position_;
    if (entry.key == kEndKey)
        indexing_ = false;
    index_.push_back(std::move(entry));
}

bool OverlayTexts::Open() {
    open_ = (source_ == Source::Lines) || (source_ == Source::File && file_.Open(path_));
    if (open_)
        position_ = 0;
    return open_;
}

bool OverlayTexts::ReadPlain() {
    const bool ok = source_ == Source::Lines ? ReadElement() : file_.ReadLine(position_, line_);
    if (ok)
        ++sourceReads_;
    return ok;
}

// Memory lines cost nothing to re-read; only the file goes through the cache.
bool OverlayTexts::ReadCached() {
    if (source_ != Source::File)
        return ReadPlain();
    if (const OverlayLineCache::Node* node = cache_.Find(position_)) {
        line_ = node->text;
        position_ += node->length;
        return true;
    }
    const std::uint64_t start = position_;
    if (!ReadPlain())
        return false;
    cache_.Add(start, position_ - start, line_);
    return true;
}

// A memory line keeps at most as many characters as a file line; the rest is dropped.
bool OverlayTexts::ReadElement() {
    line_.clear();
    if (position_ >= lines_.size() || lines_[position_] == nullptr)
        return false;
    const char* text = lines_[position_];
    line_.assign(text, strnlen(text, OverlayLineFile::kMaxLineChars));
    line_ += '\n';
    ++position_;
    return true;
}

void OverlayTexts::LookupError(const std::string& key) const {
    if (source_ == Source::File && !file_.Failure().empty())
        fatalError("GTEX Error !\nThe overlay file '" + path_ +
                   "' cannot be read: " + file_.Failure() + ".");
    fatalError("GTEX Error !\nThe index '" + key + "' was not found.");
}

} // namespace marlo
