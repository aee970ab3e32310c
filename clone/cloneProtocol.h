#pragma once

#include "clone/cloneResult.h"
#include "core/byteQueue.h"
#include "core/periodicTask.h"
#include "core/rangeList.h"
#include "core/timeout.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace marlo {

class SerialLink;
class MemoryImage;

// Called once per started operation with its outcome; the result dies when the
// callback returns. The callback may start the next operation or destroy the engine.
using CloneDoneCallback = void (*)(void* context, CloneResult& result);

// The clone engine: moves the radio's memory between the radio and an image over
// the clone cable, as one of three operations: information (who is the radio),
// read (fetch listed address ranges into a fresh image), write (send the listed
// ranges of an image). See clone/cloneFrames.h for the frames on the wire.
//
// Each operation is a state machine on a 10 ms task; apart from a 100 ms pause
// after opening the port nothing waits. A failed operation keeps the port open
// until the line has been quiet for a second (five at most), so that a late
// answer to it cannot pass for the answer to the next one, in this process or
// the next. The cable echoes every byte we send, so
// we expect our own bytes back, in order, before reading anything the radio says,
// and pace our output by that echo. An operation ends, successfully or not, with
// the buffers emptied and one call of the completion callback; the port is closed
// once that callback has returned, unless the operation succeeded and the callback
// started the next one on the same line, which then goes on over the open port
// without the pause (so identifying the radio costs a read or write no reopening).
//
// The usual use: Prepare (or PrepareDevice), SetIdentification, SetImageSize,
// then one Start... and wait for the callback.
class CloneProtocol {
public:
    // States of an operation. 1 is not used.
    enum State : std::uint8_t {
        stIdle = 0,
        stStarting = 2,
        stSettling = 3,
        stOpening = 4,
        stSendInformation = 5,
        stAwaitInformation = 6,
        stSendRead = 7,
        stReceiving = 8,
        stSendWrite = 9,
        stSendingData = 10,
        stSendEnd = 11,
        stAwaitWriteResult = 12,
        stDraining = 13,
        stDone = 14,
        stQuieting = 15, // after a failure: until the line has been quiet a moment
    };

    CloneProtocol();
    ~CloneProtocol();
    CloneProtocol(const CloneProtocol&) = delete;
    CloneProtocol& operator=(const CloneProtocol&) = delete;

    // The values sent in every request (16 bits of each are used).
    void SetIdentification(std::uint32_t value1, std::uint32_t value2);
    // The size of the image a read fills; also bounds every received address.
    void SetImageSize(std::int32_t n);
    // The clock of every wait and time-out, replaceable as the tick's is, so that
    // a suite can run the engine's time faster than the wall clock; null is the
    // system tick. `rate` is how many of its milliseconds pass in one of the wall
    // clock's: the engine's 10 ms step then comes that much more often, so that
    // a transfer, like a time-out, takes the same engine time. Only while idle.
    void SetClock(TimeoutClock clock, int rate = 1);
    // Sets up the next operation on port `portNumber` with the clone line settings.
    void Prepare(int portNumber);
    // The same, but the next operation opens this device path instead of a port number.
    void PrepareDevice(const std::string& devicePath);

    // Each returns false, and changes nothing, while an operation runs. StartRead
    // and StartWrite also refuse a range list with a block outside the image
    // (the read's image size, or the given image), which could never complete.
    // The range list is copied; the image of a write is copied.
    bool StartInformation(CloneDoneCallback done, void* context);
    bool StartRead(RangeList ranges, CloneDoneCallback done, void* context);
    bool StartWrite(const MemoryImage& image, RangeList ranges, CloneDoneCallback done,
                    void* context);
    bool IsBusy() const { return state_ != stIdle; }
    // Stops a running information request or read: it ends as a failure with
    // codeCancelled once the line has drained and gone quiet, as every failure
    // does. A write is never stopped (the radio would keep a half-written
    // memory); false then, and when nothing runs.
    bool Cancel();
    bool Cancellable() const;
    // Lets go of a port still open after a success, for a completion that will
    // not start another operation on it; nothing while an operation runs.
    void ReleasePort();

    // Progress of the running (or last) operation: memory bytes stored or sent, and
    // data frames accepted or generated.
    std::int32_t DataBytes() const { return dataBytes_; }
    std::uint32_t FrameCount() const { return frameCount_; }

private:
    static void TaskTick(void* context, PeriodicTask* task);
    void Tick();
    void Step();
    std::uint8_t Act(bool& progress);
    bool TakeEcho(bool& progress);
    bool CopyRanges(RangeList ranges, std::int32_t imageSize);
    bool Start(std::uint8_t operation, CloneDoneCallback done, void* context);
    void Finish();

    void ReadPort();
    void Send(const ByteQueue& bytes);
    void SendRequest(std::uint8_t command);
    std::uint8_t OpenPort();
    std::uint8_t OperationState() const;
    std::string LineName() const;
    bool ContinuesOnOpenPort() const;
    void ClosePortNow();
    void PurgeInput();
    void DiscardInput();
    ByteQueue TakeLastFrame();
    std::uint8_t AwaitInformation();
    std::uint8_t Receive(bool& progress);
    std::uint8_t SendData(bool& progress);
    void AppendDataFrame();
    void SendEnd();
    std::uint8_t AwaitWriteResult();
    std::uint8_t Drained();
    std::uint8_t Quieting();

    std::uint32_t identification1_ = 0;
    std::uint32_t identification2_ = 0;
    std::int32_t imageSize_ = 1;
    int portNumber_ = 1;
    std::string devicePath_; // when set, opened instead of the port number
    std::string lineSettings_ = "9600,n,8,1";
    std::int32_t commandPreamble_ = 0;
    std::int32_t dataPreambleFirst_ = 0;
    std::int32_t dataPreambleLater_ = 0;
    std::uint8_t operation_ = 0;
    bool frameCountInEnd_ = true;
    bool echoCheck_ = false;
    std::unique_ptr<SerialLink> port_;
    ByteQueue receive_;
    ByteQueue frame_;
    ByteQueue echo_;
    std::array<std::uint8_t, 256> scratch_{};
    std::uint32_t frameCount_ = 0;
    std::int32_t dataBytes_ = 0;
    // Read: the list checked at the end. Write: the list being sent, its cursor
    // and the next address to send.
    std::vector<AddressRange> ranges_;
    std::size_t rangeCursor_ = 0;
    std::int32_t currentAddress_ = 0;
    std::unique_ptr<CloneResult> result_;
    CloneDoneCallback done_ = nullptr;
    void* doneContext_ = nullptr;
    std::uint8_t state_ = stIdle;
    TimeoutClock clock_ = nullptr;
    int clockRate_ = 1;
    Timeout timeout_;
    Timeout quiet_;      // restarted by every byte that arrives while quieting
    Timeout quietLimit_; // a line that never falls quiet ends the wait anyway
    std::uint32_t timeoutDefault_ = 1000;
    std::uint32_t timeoutWriteResult_ = 2000;
    TaskPtr task_;
    // The line the port was opened on ("#<number>" or the device path), and
    // whether it stays open for an operation its successful predecessor's
    // completion starts.
    std::string openLine_;
    bool lingering_ = false;
    // Expires with the engine: tells finish() that a completion destroyed it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace marlo
