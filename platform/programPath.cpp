#include "platform/programPath.h"

#include <climits>
#include <unistd.h>

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
