#include "platform/signalEnd.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace marlo {

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};
int pipeFds[2] = {-1, -1};
struct sigaction previous[kSignals.size()];

void onSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalEnd::SignalEnd(std::function<void()> onSignalCall, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignalCall)) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // no pipe: the signals keep their defaults
    notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalEnd::Drain);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
}

SignalEnd::~SignalEnd() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
    notifier_.reset();
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalEnd::Drain() {
    char bytes[16];
    for (ssize_t n = 0; (n = ::read(pipeFds[0], bytes, sizeof bytes)) > 0;) {
        if (signal_ == 0)
            signal_ = bytes[0];
    }
    // A second signal while the first is being handled changes nothing.
    if (handled_)
        return;
    handled_ = true;
    onSignal_();
}

} // namespace marlo
