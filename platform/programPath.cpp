#include "platform/programPath.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace marlo {

std::string programPath() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string programDir() {
    const std::string path = programPath();
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string programFileName() {
    const std::string path = programPath();
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string programFilesDir(const std::string& executableDir) {
    const std::string installed = executableDir + "../share/marlo/";
    struct stat info {};
    if (::stat(installed.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return installed;
    return executableDir;
}

std::string programFilesDir() {
    return programFilesDir(programDir());
}

} // namespace marlo
