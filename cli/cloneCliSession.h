#pragma once

#include "cli/cloneCliOptions.h"
#include "cli/settingsSnapshot.h"
#include "clone/changedBlocks.h"
#include "core/notificationHub.h"
#include "core/rangeList.h"
#include "document/cloneCommands.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace marlo {

class CloneProgress;
class MemoryImage;
class RecordingWriter;
class RadioDocument;
struct RadioInfo;

// Exit statuses of marlo-clone's radio commands besides the clone result codes
// (0 success; 2, 4..11, 13..17).
namespace marloCloneExit {
inline constexpr int fileBase = 32;     // plus the clone file code of FILE
inline constexpr int usage = 64;        // bad arguments
inline constexpr int dataErrors = 65;   // write: the document has errors, nothing sent
inline constexpr int verifyFailed = 66; // write --verify: the radio differs from what was sent
inline constexpr int notStarted = 70;   // the operation could not start at all
// write --changes-from: the radio is not the one BASE came from (nothing sent).
inline constexpr int otherRadio = 11;
} // namespace marloCloneExit

// One radio command of marlo-clone: the settings (read only), a hub, the model's
// controller with an untitled document of the chosen variant, its clone manager
// set to the chosen port, and the clone chains over them. Needs a Qt application
// and the overlay store; runs a local event loop until the chain has ended.
// Failures have gone to the prompter by the time a command returns; what only
// the command line says (the sheets with errors, the bytes a verify found
// different, an interruption) goes to `diagnostics`.
class CloneCliSession {
public:
    // `progress` is borrowed and may be null; `diagnostics` is borrowed.
    CloneCliSession(const CloneCliOptions& options, CloneProgress* progress,
                    std::FILE* diagnostics = stderr);
    ~CloneCliSession();
    CloneCliSession(const CloneCliSession&) = delete;
    CloneCliSession& operator=(const CloneCliSession&) = delete;

    // Opens the options' file as the desktop program opens a document, and no
    // more: the clone file code.
    int Check();
    // Identifies the radio and describes on `out` what it reported, also when
    // the check then refused it (another variant, another map revision).
    int Info(std::FILE* out);
    // Reads the radio into the document and saves it as the options' file; the
    // file is written only when the whole read succeeded. A file name that could
    // not be saved is refused before the radio is spoken to.
    int Read();
    // Opens the options' file as the document and refuses it, before the port is
    // opened, while the warnings check finds errors (the sheets on stderr). With
    // a backup file, reads the radio first and writes only once that is saved;
    // with verify, reads the radio back afterwards and compares every byte sent
    // with the bytes the radio returns, as they arrive (the differing blocks and
    // their count on stderr). With changes-from, BASE (a clone file of the
    // radio's memory, opened as a document is) is what the radio holds, and only
    // the blocks where the document differs from it are sent; a radio of another
    // variant or identity is refused, nothing to send sends nothing, and verify
    // compares every byte of the write ranges (with a backup, the memory just
    // read is the base instead). With changes-only and a backup, the memory just
    // read is the base and the document takes the radio's own identity bytes,
    // which no normal write sends: a plan for many radios came from none of them.
    int Write();
    // Reads the radio, leaving FILE as it is, and prints on `out` what differs
    // between FILE and the radio's memory as diff does for two files: 0 when
    // nothing, 1 when something does, the read's code when the radio failed.
    // The radio must be of FILE's variant.
    int Diff(std::FILE* out);

    // Ends the running radio operation at once: the port is closed and no file
    // is written. For the end signals; the command then returns `status`.
    void Abort(int status);

    RadioDocument& Controller() { return *controller_; }
    // The bytes the last write handed to the radio, range after range; empty when
    // no write started.
    std::vector<std::uint8_t> SentBytes() const;
    // What the radio holds after the last write over every range a full write
    // reaches, also when only the changed blocks (or none) were sent; empty when
    // no write started and none was found unneeded.
    std::vector<std::uint8_t> ImageBytes() const;
    // The blocks a write of only the changes sent (none: nothing differed); no
    // value when no such write got as far as comparing.
    const std::optional<ChangedBlocks>& ChangesSent() const { return changes_; }

private:
    using Start = std::function<bool(CloneCommands&, CloneCommands::Done)>;
    int Run(const Start& start);
    int CheckDocument();
    int Backup();
    int Verify(const MemoryImage& expected, RangeList ranges);
    int WriteChanges();
    void TakeRadioIdentity();
    std::string BaseName() const;

    CloneCliOptions options_;
    std::FILE* diagnostics_;
    SettingsSnapshot settings_;
    NotificationHub hub_;
    std::unique_ptr<RadioDocument> controller_;
    std::unique_ptr<CloneCommands> commands_;
    std::unique_ptr<RecordingWriter> recorder_;
    std::optional<ChangedBlocks> changes_;
    std::unique_ptr<MemoryImage> image_; // what the radio holds once only changes went
    std::vector<AddressRange> imageRanges_;
    std::function<void()> quitRunning_; // set while Run waits
    int abortStatus_ = 0;
};

// The radio's identification as marlo-clone prints it, one "name: value" a line.
std::string describeRadio(const RadioInfo& info);

// Can a file be saved as `path`: an existing regular file, or a new name in a
// folder we may write to? (A device or a folder cannot take a saved document.)
bool pathTakesFile(const std::string& path);

} // namespace marlo
