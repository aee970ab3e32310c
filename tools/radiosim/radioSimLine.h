#pragma once

#include "tools/radiosim/radioSim.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace marlo {

// The simulated cable: the master side of a pty pair. Bytes from the program and
// bytes from the radio share one half-duplex line; each takes 10 / baud s on it,
// in the order they were put on it. A byte from the program reaches the radio,
// and comes back to the program as echo, when its time on the line is over.
class RadioSim::Line {
public:
    explicit Line(RadioSim& sim);
    ~Line();

    bool Open();
    void Close();
    bool IsOpen() const { return master_ >= 0; }

    // Puts the radio's bytes on the line, after what is on it already, no earlier
    // than `delayMs` from now. A burst arrives at the program in one piece.
    void Send(const std::vector<std::uint8_t>& bytes, int delayMs = 0);
    void SendBurst(const std::vector<std::uint8_t>& bytes);
    // Drops the line (as a pulled cable) once what is queued before it has gone.
    void HangUpAfterQueued();
    // Radio bytes on the line or waiting to reach the program.
    std::size_t Backlog() const { return radioQueued_ + outbox_.size(); }

private:
    enum class Kind { FromProgram, FromRadio, HangUp };
    struct Item {
        std::vector<std::uint8_t> bytes;
        Kind kind;
        double readyMs;
    };

    void ReadProgram();
    void Service();
    void Deliver(const Item& item);
    void FlushOutbox();
    void HangUp();
    double ByteMs() const;
    // Milliseconds of the line's time since it was made: the wall clock's, or
    // the simulator's clock divided by its rate.
    double Now() const;

    RadioSim& sim_;
    int master_ = -1;
    int slave_ = -1; // held open so the master never reads as hung up between opens
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    QTimer pacer_;
    QElapsedTimer clock_;
    std::deque<Item> queue_;
    std::size_t radioQueued_ = 0;
    double lineFreeMs_ = 0;
    std::vector<std::uint8_t> outbox_;
    bool servicing_ = false;
    bool reopenPending_ = false; // a hang-up's new line is still to be opened
};

} // namespace marlo
