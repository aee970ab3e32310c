#include "tools/radiosim/radioSimLine.h"

#include "tools/radiosim/radioSimRadio.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace marlo {

namespace {

constexpr std::size_t outboxLimit = 4096;
constexpr int hangUpPauseMs = 100;

// Frees a notifier that may be the sender of the signal now running.
void dropNotifier(std::unique_ptr<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier.release()->deleteLater();
    }
}

} // namespace

RadioSim::Line::Line(RadioSim& sim) : sim_(sim) {
    pacer_.setSingleShot(true);
    pacer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pacer_, &QTimer::timeout, [this] { Service(); });
    clock_.start();
}

RadioSim::Line::~Line() {
    Close();
}

bool RadioSim::Line::Open() {
    Close();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        sim_.errorText_ = std::string("Cannot open a pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) {
        sim_.errorText_ = std::string("Cannot open ") + name + ": " + std::strerror(errno);
        Close();
        return false;
    }
    // Raw at once: the line discipline must never echo or translate a byte.
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    sim_.devicePath_ = name;

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, [this] { ReadProgram(); });
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, [this] { FlushOutbox(); });
    return true;
}

void RadioSim::Line::Close() {
    reopenPending_ = false;
    pacer_.stop();
    dropNotifier(readNotifier_);
    dropNotifier(writeNotifier_);
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
    queue_.clear();
    radioQueued_ = 0;
    outbox_.clear();
}

double RadioSim::Line::Now() const {
    if (sim_.clock_ == nullptr)
        return static_cast<double>(clock_.elapsed());
    const std::uint32_t elapsed = sim_.clock_() - sim_.clockStart_;
    return static_cast<double>(elapsed) / sim_.timeScale_;
}

double RadioSim::Line::ByteMs() const {
    return sim_.baud_ == 0 ? 0.0 : 10000.0 / sim_.baud_;
}

void RadioSim::Line::Send(const std::vector<std::uint8_t>& bytes, int delayMs) {
    const double ready = Now() + delayMs;
    for (std::uint8_t b : bytes)
        queue_.push_back({{b}, Kind::FromRadio, ready});
    radioQueued_ += bytes.size();
    Service();
}

void RadioSim::Line::SendBurst(const std::vector<std::uint8_t>& bytes) {
    queue_.push_back({bytes, Kind::FromRadio, Now()});
    radioQueued_ += bytes.size();
    Service();
}

void RadioSim::Line::HangUpAfterQueued() {
    // A moment's pause first, so the program has taken what was sent before the
    // line drops (a hang-up loses whatever is still in the pty).
    queue_.push_back({{}, Kind::HangUp, Now() + hangUpPauseMs / sim_.timeScale_});
    Service();
}

void RadioSim::Line::ReadProgram() {
    std::uint8_t buffer[4096];
    const double at = Now();
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i)
                queue_.push_back({{buffer[i]}, Kind::FromProgram, at});
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: all read. Anything else would repeat on every wake-up; stop
        // listening rather than spin.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            readNotifier_->setEnabled(false);
        break;
    }
    Service();
}

// Moves every item whose time on the line is over to its destination, asks the
// radio for more when the line runs dry, and sleeps until the next item is due.
void RadioSim::Line::Service() {
    if (servicing_)
        return; // whatever a delivery queues is picked up by the running loop
    servicing_ = true;
    while (IsOpen()) {
        if (queue_.empty()) {
            // Keep the pty's buffer from filling with a whole read at once.
            if (outbox_.size() >= outboxLimit || !sim_.radio_->Refill())
                break;
            continue;
        }
        const Item& front = queue_.front();
        const double start = std::max(lineFreeMs_, front.readyMs);
        const double done = start + ByteMs() * static_cast<double>(front.bytes.size());
        const double at = Now();
        if (done > at) {
            pacer_.start(static_cast<int>(std::ceil(done - at)));
            break;
        }
        lineFreeMs_ = done;
        const Item item = std::move(queue_.front());
        queue_.pop_front();
        Deliver(item);
    }
    servicing_ = false;
}

void RadioSim::Line::Deliver(const Item& item) {
    switch (item.kind) {
    case Kind::FromProgram:
        for (std::uint8_t b : item.bytes) {
            if (const int echo = sim_.radio_->EchoFor(b); echo >= 0)
                outbox_.push_back(static_cast<std::uint8_t>(echo));
            sim_.radio_->Receive(b);
        }
        break;
    case Kind::FromRadio:
        radioQueued_ -= item.bytes.size();
        outbox_.insert(outbox_.end(), item.bytes.begin(), item.bytes.end());
        break;
    case Kind::HangUp:
        HangUp();
        return;
    }
    FlushOutbox();
}

void RadioSim::Line::FlushOutbox() {
    while (!outbox_.empty() && IsOpen()) {
        const ssize_t n = ::write(master_, outbox_.data(), outbox_.size());
        if (n > 0) {
            outbox_.erase(outbox_.begin(), outbox_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // full: the program has not read yet
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(!outbox_.empty());
    if (outbox_.empty() && queue_.empty())
        Service();
}

void RadioSim::Line::HangUp() {
    FlushOutbox();
    Close();
    ++sim_.counters_.hangUps;
    // A pulled cable is plugged in again: a new line, under a new name, once the
    // current event has unwound.
    reopenPending_ = true;
    QTimer::singleShot(0, &pacer_, [this] {
        if (!std::exchange(reopenPending_, false))
            return; // stopped meanwhile
        sim_.radio_->Reset();
        if (Open() && sim_.reopened_)
            sim_.reopened_(sim_.devicePath_);
    });
}

} // namespace marlo
