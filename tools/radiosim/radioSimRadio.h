#pragma once

#include "tools/radiosim/radioSim.h"

#include <cstdint>
#include <string>
#include <vector>

namespace marlo {

// The radio's side of the clone protocol: collects frames from the program and
// answers them on the line, with the configured fault mixed in.
class RadioSim::Radio {
public:
    explicit Radio(RadioSim& sim) : sim_(sim) {}

    // The byte the cable returns for `b`, or -1 for none.
    int EchoFor(std::uint8_t b);
    // A byte from the program has reached the radio.
    void Receive(std::uint8_t b);
    // Queues the next part of a running read; false when there is nothing to send.
    bool Refill();
    // Forgets any half-received frame and any running transfer.
    void Reset();

private:
    void HandleFrame();
    void AnswerInformation();
    void StartRead();
    void StartWrite();
    void AcceptDataFrame();
    void FinishWrite();
    void SendFrame(std::uint8_t command, const std::vector<std::uint8_t>& payload);
    void SendReply(std::vector<std::uint8_t> bytes);
    std::vector<std::uint8_t> ReadFrame(std::int32_t address, int count);
    std::vector<std::uint8_t> FaultyReadFrame(std::int32_t address, int count, bool& skipped);
    std::vector<std::uint8_t> EndFrame(int count) const;
    bool faultIs(Fault fault) const { return sim_.fault_ == fault; }

    RadioSim& sim_;
    std::vector<std::uint8_t> frame_; // from the single leading FE, without the FD
    bool echoAfterPreamble_ = false;  // the next non-FE byte is a frame's first

    // A read being sent.
    bool reading_ = false;
    std::int32_t readAddress_ = 0;
    int readFrames_ = 0;   // data frames generated so far, sent or not
    int framesOnWire_ = 0; // data frames actually sent
    bool faultDone_ = false;
    bool hangUpPending_ = false;

    // A write being received.
    bool writing_ = false;
    int writeFrames_ = 0;
    bool writeBad_ = false;

    int replyDelayMs_ = 0;
};

} // namespace marlo
