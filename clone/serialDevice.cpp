#include "clone/serialDevice.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace marlo {

namespace {

// The rates a terminal can be set to; others are refused rather than rounded.
speed_t speedCode(std::uint32_t baud) {
    switch (baud) {
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B0;
    }
}

tcflag_t sizeFlag(std::uint8_t dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return 0; // 4 data bits: no terminal offers them
    }
}

bool isGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

} // namespace

SerialDevice::~SerialDevice() {
    Close();
}

int SerialDevice::Fail(int error) {
    lastError_ = error;
    if (isGoneError(error))
        vanished_ = true;
    return error;
}

int SerialDevice::Open(const std::string& path) {
    Close();
    vanished_ = false;
    lastError_ = 0;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(errno);
    int error = 0;
    if (!::isatty(fd))
        error = ENOTTY;
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    else if (::ioctl(fd, TIOCEXCL) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return Fail(error);
    }
    fd_ = fd;
    return 0;
}

int SerialDevice::Configure(const LineSettings& settings) {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0)
        return Fail(errno);
    const speed_t speed = speedCode(settings.baudRate);
    const tcflag_t size = sizeFlag(settings.dataBits);
    if (speed == B0 || size == 0)
        return Fail(EINVAL);

    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= size | CLOCAL | CREAD;
    switch (settings.parity) {
    case LineSettings::Parity::None:
        break;
    case LineSettings::Parity::Even:
        tio.c_cflag |= PARENB;
        break;
    case LineSettings::Parity::Odd:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case LineSettings::Parity::Mark:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    }
    if (settings.parity != LineSettings::Parity::None)
        tio.c_iflag |= INPCK;
    // A UART sends one and a half stop bits when asked for two at five data bits.
    if (settings.stopBits != LineSettings::One)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return Fail(errno);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0)
        return Fail(errno);
    return 0;
}

int SerialDevice::SetModemLines() {
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    if (::ioctl(fd_, TIOCMBIS, &rts) != 0 || ::ioctl(fd_, TIOCMBIC, &dtr) != 0) {
        // A pseudo-terminal has no modem lines; that is not a fault.
        if (errno == ENOTTY || errno == EINVAL)
            return 0;
        return Fail(errno);
    }
    return 0;
}

int SerialDevice::Purge() {
    return ::tcflush(fd_, TCIOFLUSH) == 0 ? 0 : Fail(errno);
}

void SerialDevice::Close() {
    if (fd_ < 0)
        return;
    // The exclusive mark stays on the terminal while anyone else keeps it open;
    // lift it so that the next open (ours included) is not refused.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

long SerialDevice::InQueue() {
    if (fd_ < 0 || vanished_)
        return -1;
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) {
        Fail(errno);
        return -1;
    }
    return n;
}

long SerialDevice::OutQueue() {
    if (fd_ < 0 || vanished_)
        return -1;
    int n = 0;
    if (::ioctl(fd_, TIOCOUTQ, &n) != 0) {
        Fail(errno);
        return -1;
    }
    return n;
}

int SerialDevice::Read(std::uint8_t* destination, int capacity) {
    if (fd_ < 0 || vanished_)
        return -1;
    if (capacity <= 0)
        return 0;
    for (;;) {
        const ssize_t n = ::read(fd_, destination, static_cast<std::size_t>(capacity));
        if (n > 0)
            return static_cast<int>(n);
        if (n == 0) {
            // A terminal in non-blocking raw mode reads -1/EAGAIN when idle; end of
            // file means it has been hung up.
            Fail(EIO);
            return -1;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        Fail(errno);
        return -1;
    }
}

int SerialDevice::Write(const std::uint8_t* bytes, int count, int timeoutMs) {
    if (fd_ < 0 || vanished_ || count <= 0)
        return 0;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int written = 0;
    while (written < count) {
        const ssize_t n = ::write(fd_, bytes + written, static_cast<std::size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            Fail(errno);
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            lastError_ = ETIMEDOUT;
            break;
        }
        pollfd p{fd_, POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            Fail(errno);
            break;
        }
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            Fail(EIO);
            break;
        }
    }
    return written;
}

} // namespace marlo
