#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace marlo {

// Turns SIGTERM, SIGHUP and SIGINT into a call on the event loop, so that a
// `kill`, a closed terminal or Ctrl+C end the program as a window close does
// instead of losing its settings. The handler only writes one byte to a pipe;
// everything else runs later, on the main thread. One at a time; the signals'
// previous dispositions come back when it is destroyed.
class SignalEnd : public QObject {
    Q_OBJECT

public:
    explicit SignalEnd(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalEnd() override;
    SignalEnd(const SignalEnd&) = delete;
    SignalEnd& operator=(const SignalEnd&) = delete;

    // The signal that arrived first; 0 before any.
    int Signal() const { return signal_; }

private:
    void Drain();

    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool handled_ = false;
    int signal_ = 0;
};

} // namespace marlo
