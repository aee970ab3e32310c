#include "cli/fleetLog.h"

#include <QCryptographicHash>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace marlo {

namespace {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

// A text that is absent is null rather than "".
std::string jsonText(const std::string& text) {
    return text.empty() ? "null" : jsonString(text);
}

template <typename N>
std::string jsonNumber(const std::optional<N>& n) {
    return n ? std::to_string(*n) : "null";
}

int openForAppend(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

} // namespace

std::string fleetRecordJson(const FleetRecord& r) {
    return "{\"time\":" + jsonString(r.time) + ",\"label\":" + jsonString(r.label) +
           ",\"row\":" + std::to_string(r.row) + ",\"radio\":" + jsonText(r.radio) +
           ",\"firmware\":" + jsonText(r.firmware) + ",\"plan_sha256\":" + jsonText(r.planSha256) +
           ",\"image_sha256\":" + jsonText(r.imageSha256) + ",\"backup\":" + jsonText(r.backup) +
           ",\"result\":" + std::to_string(r.result) + ",\"message\":" + jsonString(r.message) +
           ",\"changes_only\":" + (r.changesOnly ? "true" : "false") +
           ",\"blocks\":" + jsonNumber(r.blocks) + ",\"bytes\":" + jsonNumber(r.bytes) + "}";
}

bool FleetLog::Usable() const {
    const int fd = openForAppend(path_);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

bool FleetLog::Append(const FleetRecord& record) const {
    const std::string line = fleetRecordJson(record) + "\n";
    const int fd = openForAppend(path_);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced && done == line.size();
}

std::string sha256Hex(const std::vector<std::uint8_t>& bytes) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

std::optional<std::string> fileSha256Hex(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return sha256Hex(bytes);
}

std::string utcTimeNow(bool forFileName) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, forFileName ? "%Y%m%dT%H%M%SZ" : "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

} // namespace marlo
