#include "core/cloneFile.h"

#include "core/fileReplace.h"
#include "core/hexText.h"
#include "core/memoryImage.h"
#include "overlay/overlayTexts.h"
#include "platform/fatalError.h"
#include "platform/prompter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace marlo {

namespace {

constexpr int bytesPerRecord = 16;
constexpr std::size_t minDataLine = 8;   // one byte
constexpr std::size_t maxDataLine = 516; // 255 bytes
const char* const lineEnd = "\r\n";

int hexNumber(std::string_view text, std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i)
        value = value * 16 + hexDigitValue(text[at + i]);
    return value;
}

void appendHex(std::string& out, unsigned value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.push_back(upperHexDigit(value >> shift));
}

// The decimal number at `at`: optional sign, digits up to the first non-digit,
// 0 when there is none; saturates instead of overflowing.
int decimalAt(std::string_view text, std::size_t at) {
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min<long long>(value * 10 + (text[at] - '0'), INT_MAX + 1LL);
    value = negative ? -value : std::min<long long>(value, INT_MAX);
    return static_cast<int>(value);
}

std::size_t bitSetBytes(std::int32_t size) {
    return size > 0 ? (static_cast<std::size_t>(size) + 7) / 8 : 0;
}

void setBits(std::vector<std::uint8_t>& bits, std::int32_t first, std::int32_t last) {
    for (std::int32_t a = first; a <= last; ++a)
        bits[static_cast<std::size_t>(a) / 8] |= static_cast<std::uint8_t>(1u << (a % 8));
}

// The comment shares its line with nothing else: a line break in it would make
// a data line of the rest, and a line longer than the reader's buffer would be
// split into a piece the reader takes for data.
std::string commentForFile(const std::string& text) {
    std::string clean = text.substr(0, CloneFile::maxCommentLength);
    std::replace_if(
        clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; },
        ' ');
    return clean;
}

} // namespace

// Hands out the file's lines as the reader of the format expects them: CR LF
// becomes LF, and a line is cut into pieces of at most bufferSize - 1 bytes.
class CloneFile::Reader {
public:
    static constexpr std::size_t bufferSize = 768;

    explicit Reader(int fd) : fd_(fd) {}

    // The next piece, ending with '\n' when the line end came in time; false at
    // the end of the file or after a read error.
    bool next(std::string& line) {
        line.clear();
        while (line.size() < bufferSize - 1) {
            const int c = get();
            if (c < 0)
                break;
            line.push_back(static_cast<char>(c));
            if (c == '\n')
                break;
        }
        return !line.empty();
    }

    bool failed() const { return failed_; }

private:
    int get() {
        const int c = raw();
        if (c != '\r')
            return c;
        const int after = raw();
        if (after == '\n')
            return '\n';
        held_ = after;
        return c;
    }

    int raw() {
        if (held_ != none)
            return std::exchange(held_, none);
        if (pos_ == len_ && !fill())
            return -1;
        return static_cast<unsigned char>(chunk_[pos_++]);
    }

    bool fill() {
        if (atEnd_)
            return false;
        ssize_t n;
        do
            n = ::read(fd_, chunk_.data(), chunk_.size());
        while (n < 0 && errno == EINTR);
        failed_ = n < 0;
        atEnd_ = n <= 0;
        pos_ = 0;
        len_ = n > 0 ? static_cast<std::size_t>(n) : 0;
        return len_ > 0;
    }

    static constexpr int none = -2;
    int fd_;
    std::array<char, 65536> chunk_{};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    int held_ = none;
    bool atEnd_ = false;
    bool failed_ = false;
};

CloneFile::CloneFile() = default;
CloneFile::~CloneFile() = default;

void CloneFile::BindImage(MemoryImage& image) {
    image_ = &image;
    const std::size_t bytes = bitSetBytes(image.Size());
    required_.assign(bytes, 0);
    loaded_.assign(bytes, 0);
    if (image.Size() > 0)
        setBits(required_, 0, image.Size() - 1);
}

void CloneFile::SetModelCode(int first, int second) {
    modelFirst_ = first;
    modelSecond_ = second;
}

void CloneFile::SetComment(const std::string& text) {
    comment_ = text;
}

void CloneFile::SetMapRevision(int n) {
    mapRevisionToWrite_ = n;
}

void CloneFile::SetMapRevisionCheck(MapRevisionCheck check) {
    mapRevisionCheck_ = std::move(check);
}

MemoryImage& CloneFile::Image() {
    if (!image_)
        fatalError("No EEPROM image is bound to the clone file.");
    // The bit sets follow the image should its size have changed since binding.
    if (loaded_.size() != bitSetBytes(image_->Size()))
        BindImage(*image_);
    return *image_;
}

std::string CloneFile::HeaderText() const {
    std::string text;
    appendHex(text, static_cast<unsigned>(modelFirst_), 4);
    appendHex(text, static_cast<unsigned>(modelSecond_), 4);
    text += lineEnd;
    text += "#Comment=" + commentForFile(comment_) + lineEnd;
    text += "#MapRev=" + std::to_string(mapRevisionToWrite_) + lineEnd;
    return text;
}

std::string CloneFile::RecordsText(RangeList ranges) {
    const MemoryImage& img = Image();
    std::string text;
    forEachRange(ranges, img.Size(), [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t a = first; a <= last;) {
            const std::int32_t n = std::min(bytesPerRecord - a % bytesPerRecord, last - a + 1);
            appendHex(text, static_cast<unsigned>(a), 4);
            appendHex(text, static_cast<unsigned>(n), 2);
            for (std::int32_t i = 0; i < n; ++i)
                appendHex(text, img.GetByte(a + i), 2);
            text += lineEnd;
            a += n;
        }
    });
    return text;
}

CloneFile::Code CloneFile::Save(const std::string& path, RangeList ranges) {
    Code code = Ok;
    switch (replaceFile(path, HeaderText() + RecordsText(ranges))) {
    case ReplaceResult::Ok:
        break;
    case ReplaceResult::CannotCreate:
        code = FileOpen;
        break;
    case ReplaceResult::WriteFailed:
        code = FileAccess;
        break;
    }
    ShowMessage(code, path);
    return code;
}

CloneFile::Code CloneFile::Load(const std::string& path, std::optional<RangeList> coverage) {
    MemoryImage& img = Image();
    MemoryImage before;
    before.Assign(img);
    std::fill(loaded_.begin(), loaded_.end(), std::uint8_t{0});
    mapRevisionRead_ = -1;

    Code code = ReadFile(path);
    if (code == Ok && coverage)
        code = CheckCoverage(*coverage);
    if (code != Ok)
        img.Assign(before);
    ShowMessage(code, path);
    return code;
}

CloneFile::Code CloneFile::ReadFile(const std::string& path) {
    // Non-blocking, so that a FIFO or a device can never stall the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FileOpen;
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return FileOpen;
    Reader reader(fd);
    Code code = ReadModelLine(reader);
    if (code == Ok)
        code = ReadBody(reader);
    return reader.failed() ? FileOpen : code;
}

CloneFile::Code CloneFile::ReadModelLine(Reader& reader) const {
    std::string line;
    if (!reader.next(line) || line.size() != 9 || line[8] != '\n')
        return Format;
    int group[2] = {0, 0};
    for (std::size_t i = 0; i < 8; ++i) {
        // Each digit counts as a hex digit, but only 0-9 are taken.
        if (line[i] < '0' || line[i] > '9')
            return Format;
        group[i / 4] = group[i / 4] * 16 + (line[i] - '0');
    }
    if (group[0] != modelFirst_)
        return Model;
    if (group[1] != modelSecond_)
        return Extra;
    return Ok;
}

CloneFile::Code CloneFile::ReadBody(Reader& reader) {
    bool revisionChecked = false;
    std::string line;
    while (reader.next(line)) {
        if (line[0] == '\0')
            continue;
        if (line[0] == '#') {
            ReadCommentLine(line);
            continue;
        }
        if (!revisionChecked) {
            if (!mapRevisionCheck_ || !mapRevisionCheck_(mapRevisionRead_))
                return MapRev;
            revisionChecked = true;
        }
        const Code code = ReadDataLine(line);
        if (code != Ok)
            return code;
    }
    return Ok;
}

void CloneFile::ReadCommentLine(const std::string& line) {
    // The number is taken right after "#MapRev=", wherever the word itself stood.
    if (line.find("MapRev=", 1) != std::string::npos)
        mapRevisionRead_ = decimalAt(line, 8);
}

CloneFile::Code CloneFile::ReadDataLine(const std::string& line) {
    // The last character is the line end: a last line without one loses a digit.
    const std::string_view text(line.data(), line.size() - 1);
    if (text.size() < minDataLine || text.size() > maxDataLine)
        return Format;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c) >= 0; }))
        return Format;
    const std::int32_t address = hexNumber(text, 0, 4);
    const std::int32_t count = hexNumber(text, 4, 2);
    if (text.size() != 6 + 2 * static_cast<std::size_t>(count))
        return Format;
    MemoryImage& img = Image();
    if (!img.IsValidAddress(address) || !img.IsValidAddress(address + count - 1))
        return Data;
    for (std::int32_t i = 0; i < count; ++i)
        img.SetByte(address + i, static_cast<std::uint8_t>(hexNumber(text, 6 + 2 * i, 2)));
    setBits(loaded_, address, address + count - 1);
    return Ok;
}

CloneFile::Code CloneFile::CheckCoverage(RangeList coverage) {
    const std::int32_t size = Image().Size();
    std::fill(required_.begin(), required_.end(), std::uint8_t{0});
    forEachRange(coverage, size,
                 [&](std::int32_t first, std::int32_t last) { setBits(required_, first, last); });
    if (loaded_ == required_)
        return Ok;
    for (std::size_t i = 0; i < loaded_.size(); ++i) {
        if (loaded_[i] & ~required_[i])
            return Data;
    }
    return Coverage;
}

void CloneFile::ShowMessage(Code code, const std::string& path) {
    static constexpr std::array<const char*, 10> entries = {
        nullptr,
        "GI_Mess_FileErr_FileOpen",
        "GI_Mess_FileErr_FileAccess",
        "GI_Mess_FileErr_Model",
        "GI_Mess_FileErr_Extra",
        "GI_Mess_FileErr_MapRev",
        "GI_Mess_FileErr_Format",
        "GI_Mess_FileErr_Coverage",
        "GI_Mess_FileErr_Data",
        "GI_Mess_FileErr_Newer",
    };
    if (code == Ok || code >= entries.size())
        return;
    OverlayTexts& texts = OverlayTexts::App();
    const std::string text = texts.GetLine("GI_Mess_FileErr_Headline", 0) + "\n" + path + "\n\n" +
                             texts.GetLine(entries[code], 0);
    Prompter::Current().Message(texts.GetLine("GI_Sys_AppTitle", 0), text, PromptIcon::Warning,
                                PromptButtons::Ok);
}

} // namespace marlo
