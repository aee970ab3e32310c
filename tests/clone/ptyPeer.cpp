#include "ptyPeer.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
        return;
    }
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (slave_ >= 0 && ::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, [this] { readProgram(); });
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, [this] { flush(); });
}

PtyPeer::~PtyPeer() {
    readNotifier_.reset();
    writeNotifier_.reset();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

void PtyPeer::AlterEcho(std::size_t index, std::uint8_t value) {
    alteredIndex_ = index;
    alteredValue_ = value;
}

void PtyPeer::Send(const Bytes& bytes) {
    outbox_.insert(outbox_.end(), bytes.begin(), bytes.end());
    flush();
}

void PtyPeer::readProgram() {
    std::uint8_t buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            const std::uint8_t b = buffer[i];
            if (heard_.size() < echoLimit_)
                outbox_.push_back(heard_.size() == alteredIndex_ ? alteredValue_ : b);
            heard_.push_back(b);
            if (b == 0xFE) {
                frame_.assign(1, b);
            } else if (b == 0xFD && !frame_.empty()) {
                frames_.push_back(frame_);
                if (answer_) {
                    const Bytes reply = answer_(frame_);
                    outbox_.insert(outbox_.end(), reply.begin(), reply.end());
                }
                frame_.clear();
            } else if (!frame_.empty()) {
                frame_.push_back(b);
            }
        }
    }
    flush();
}

void PtyPeer::flush() {
    while (!outbox_.empty()) {
        const ssize_t n = ::write(master_, outbox_.data(), outbox_.size());
        if (n <= 0)
            break;
        outbox_.erase(outbox_.begin(), outbox_.begin() + n);
    }
    writeNotifier_->setEnabled(!outbox_.empty());
}
