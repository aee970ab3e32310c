#pragma once

#include "core/memoryImage.h"
#include "core/rangeList.h"
#include "core/timeout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// A stand-in for the radio and its clone cable, served on a pseudo-terminal so
// that the program can clone without hardware: the program opens DevicePath() as
// its serial device. Runs on the Qt event loop of the calling thread.
//
// The cable: every byte the program sends comes back to it (the echo) before the
// radio answers. With a baud rate set, every byte on the line, in either
// direction, takes 10 / baud seconds on one shared half-duplex line (an echoed
// byte counts once); baud 0 delivers at once.
//
// The radio answers frames FE FE EE EF <command> <payload> FD with frames
// FE FE EF EE <command> <payload> FD, and stays silent on requests whose first
// identification value is not its model code:
//
//   E0 id1 id2          -> E1 26 20 00 01 <information block, 32 bytes>
//   E2 id1 id2          -> E4 data frames over the read range, then
//                          E5 "Vexa Inc." "<frames sent, %02X>"
//   E3 id1 id2, E4..., E5 "Vexa Inc." "<count>"
//                       -> E6 00 (accepted) or E6 01 (a bad frame or count, or
//                          a frame that leaves its 16-byte block of the clone memory)
//
// A data frame's payload is upper-case hex text "AAAANN<data>SS": address, count,
// data bytes and a checksum that makes all decoded bytes add up to 0 (mod 256).
// Read frames are aligned to 16-byte blocks.
//
// The information block:
//   byte 0       its length, 32
//   byte 1       hardware revision, 0x10 (shown as 1.0)
//   byte 2       memory map revision (6)
//   bytes 3..22  comment, 20 ASCII characters, "MARLO SIMULATOR 0001"
//   byte 23      model variant
//   bytes 24..27 firmware characters (default "3400")
//   bytes 28..31 0
class RadioSim {
public:
    // One fault at a time; each provokes one way a clone can fail.
    enum class Fault {
        None,
        NoEcho,            // nothing comes back at all (cable not connected)
        EchoOnly,          // the echo returns, the radio never answers
        ChangedEcho,       // the echo of each frame's first byte after FE is altered
        ShortReply,        // information reply ends after 7 bytes
        MalformedReply,    // information reply whose model code is not two-digit BCD
        WrongModel,        // information reply with model code 26 21
        WrongSecond,       // information reply with second value 00 02
        WrongVariant,      // information block byte 23 is the other variant
        ShortInfo,         // information block of 31 bytes
        BadChecksum,       // read: one data frame has a wrong checksum
        LowerCaseHex,      // read: one data frame is written in lower-case hex
        CountMismatch,     // read: one data frame's count disagrees with its length
        FramePastImage,    // read: one data frame addresses memory past the image
        FrameOutsideRange, // read: one valid data frame lies outside the read range
        MissingFrame,      // read: one data frame is left out (the end count agrees)
        WrongEndCount,     // read: the end frame's count is one less than sent
        RefusedWrite,      // write: the radio answers E6 01
        SlowReply,         // every answer starts 1500 ms late
        TwoFrames,         // a wrong answer and the right one arrive in one burst
        Flood,             // the answer is one over-long frame of garbage
        HangUp,            // the line is dropped mid-transfer (a pulled cable)
    };

    struct FaultInfo {
        Fault fault;
        std::string_view name; // as given to --fault
        std::string_view help;
    };
    static std::span<const FaultInfo> Faults();
    static std::optional<Fault> FaultFromName(std::string_view name);

    // What the radio has done since Start, for tests and the console.
    struct Counters {
        int informationRequests = 0;
        int readRequests = 0;
        int writeRequests = 0;
        int framesSent = 0;       // read data frames sent
        int framesAccepted = 0;   // write data frames stored
        int framesRejected = 0;   // write data frames refused (format, checksum, address)
        int lastWriteResult = -1; // the last E6 byte sent, -1 before any
        int hangUps = 0;
    };

    static constexpr int slowReplyMs = 1500;

    RadioSim();
    ~RadioSim();
    RadioSim(const RadioSim&) = delete;
    RadioSim& operator=(const RadioSim&) = delete;

    // Opens the pseudo-terminal pair; false (and ErrorText) when the system refuses.
    bool Start();
    void Stop();
    bool IsRunning() const;
    // The program side of the line ("/dev/pts/N").
    const std::string& DevicePath() const { return devicePath_; }
    const std::string& ErrorText() const { return errorText_; }

    // The memory; a new simulator holds a blank image of the model's size (0xFF,
    // with the map revision, the variant byte and the maker signature set).
    void SetImage(const MemoryImage& image);
    const MemoryImage& Image() const { return image_; }
    // Reads a clone file into the memory as the program opens one; false (the box
    // has gone to the prompter) when it cannot be used.
    bool LoadImage(const std::string& path);
    // Saves the memory as a clone file over the clone range; false on failure.
    bool DumpImage(const std::string& path);
    // After every accepted write the memory is also saved here (empty: never).
    void SetDumpPath(const std::string& path) { dumpPath_ = path; }

    // The variant reported in the information block; by default the image's
    // variant byte.
    void SetVariant(int variant) { variant_ = variant; }
    // Four characters; shorter texts are padded with '0'.
    void SetFirmware(const std::string& firmware);
    void SetMapRevision(int revision) { mapRevision_ = revision; }
    void SetModelCode(int first, int second);
    void SetReadRange(AddressRange range) { readRange_ = range; }
    void SetBaud(unsigned baud) { baud_ = baud; }
    // The simulator's time for a program whose clock (CloneProtocol::SetClock) is
    // `clock`, running `rate` times faster than the wall clock: its own delays
    // (a slow reply, the pause before a hang-up) shrink by that rate, and every
    // time on the line is told by that clock, so that the radio and the program
    // agree on what came first. Null is the wall clock. While the line is idle.
    void SetClock(TimeoutClock clock, int rate);
    void SetFault(Fault fault) { fault_ = fault; }
    Fault CurrentFault() const { return fault_; }
    // Which data frame (from 0) a per-frame fault or a hang-up hits; default 2.
    void SetFaultFrame(int index) { faultFrame_ = index; }

    // Called after a hang-up has reopened the line on a new device path.
    void SetReopenedCallback(std::function<void(const std::string&)> callback);

    const Counters& Stats() const { return counters_; }
    // The information reply exactly as the radio sends it (without faults).
    std::vector<std::uint8_t> InformationReply() const;

private:
    class Line;
    class Radio;

    std::vector<std::uint8_t> InformationBlock() const;

    MemoryImage image_;
    std::string devicePath_;
    std::string errorText_;
    std::string dumpPath_;
    std::optional<int> variant_;
    std::string firmware_ = "3400";
    int mapRevision_;
    int modelFirst_;
    int modelSecond_;
    AddressRange readRange_;
    unsigned baud_ = 0;
    int timeScale_ = 1;
    TimeoutClock clock_ = nullptr;
    std::uint32_t clockStart_ = 0;
    Fault fault_ = Fault::None;
    int faultFrame_ = 2;
    Counters counters_;
    std::function<void(const std::string&)> reopened_;
    std::unique_ptr<Line> line_;
    std::unique_ptr<Radio> radio_;
};

} // namespace marlo
