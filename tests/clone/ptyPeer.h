#pragma once

#include <QSocketNotifier>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A scripted far end of a pseudo-terminal, for exchanges the simulator does not
// play: it records every byte the program sends, echoes it at once (optionally
// altered) and answers each complete frame the way the test says. Frames handed
// to the answer run from the last FE up to, not including, the FD.
class PtyPeer {
public:
    using Bytes = std::vector<std::uint8_t>;
    using Answer = std::function<Bytes(const Bytes& frame)>;

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool IsOpen() const { return master_ >= 0; }
    const std::string& DevicePath() const { return path_; }

    void SetAnswer(Answer answer) { answer_ = std::move(answer); }
    // Only the program's first `count` bytes come back; the rest are lost.
    void LimitEcho(std::size_t count) { echoLimit_ = count; }
    // The echo of the program's byte number `index` (from 0) comes back as `value`.
    void AlterEcho(std::size_t index, std::uint8_t value);
    // Puts bytes on the line at once, as the radio.
    void Send(const Bytes& bytes);

    // Every byte the program has sent.
    const Bytes& Heard() const { return heard_; }
    // Every frame the program has sent, in order.
    const std::vector<Bytes>& Frames() const { return frames_; }

private:
    void readProgram();
    void flush();

    int master_ = -1;
    int slave_ = -1; // held so the line never reads as hung up between the program's opens
    std::string path_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    Answer answer_;
    std::size_t echoLimit_ = SIZE_MAX;
    std::size_t alteredIndex_ = SIZE_MAX;
    std::uint8_t alteredValue_ = 0;
    Bytes heard_;
    Bytes frame_;
    std::vector<Bytes> frames_;
    Bytes outbox_;
};
