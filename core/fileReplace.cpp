#include "core/fileReplace.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace marlo {

namespace {

// Closes the descriptor it holds when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a save replaces (a symbolic link is followed so that the link
// survives) and the permissions the new file gets. Nothing when the target
// exists but is no regular file we may write.
struct SaveTarget {
    std::string path;
    mode_t mode;
};

std::optional<SaveTarget> saveTarget(const std::string& path) {
    if (path.empty() || path.back() == '/')
        return std::nullopt;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return SaveTarget{path, newFileMode()};
    std::string resolved = path;
    if (S_ISLNK(st.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real)
            return std::nullopt;
        resolved = real;
        std::free(real);
        if (::stat(resolved.c_str(), &st) != 0)
            return std::nullopt;
    }
    if (!S_ISREG(st.st_mode) || ::access(resolved.c_str(), W_OK) != 0)
        return std::nullopt;
    return SaveTarget{resolved, static_cast<mode_t>(st.st_mode & 07777)};
}

void syncFolder(const std::string& folder) {
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

} // namespace

ReplaceResult replaceFile(const std::string& path, std::string_view text) {
    const std::optional<SaveTarget> target = saveTarget(path);
    if (!target)
        return ReplaceResult::CannotCreate;
    const std::string folder = folderOf(target->path);
    const std::string name = target->path.substr(target->path.rfind('/') + 1);
    std::string temp = (folder == "." ? std::string() : folder) + "." + name + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.valid())
        return ReplaceResult::CannotCreate;
    ::fchmod(fd.get(), target->mode);
    const bool written = writeAll(fd.get(), text) && ::fsync(fd.get()) == 0 && fd.close() &&
                         ::rename(temp.c_str(), target->path.c_str()) == 0;
    if (!written) {
        fd.close();
        ::unlink(temp.c_str());
        return ReplaceResult::WriteFailed;
    }
    syncFolder(folder);
    return ReplaceResult::Ok;
}

} // namespace marlo
