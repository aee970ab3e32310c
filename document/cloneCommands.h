#pragma once

#include "document/document.h"

#include <functional>
#include <string>

namespace marlo {

class MemoryImage;
class CloneManager;
struct CloneResult;

// The Clone Info, Read and Write commands as chains of clone operations, without
// any window: the desktop program's menu commands and marlo-clone run the same
// chains. Every chain first identifies the radio (an information operation and
// its check), then moves data:
//
//   Info   identify
//   Read   identify, read the clone range, check the image; on success the image
//          becomes the document (AfterLoad), untitled and modified
//   ReadBack  identify, read the clone range, check the image; on success the
//          bytes as they arrived go to the caller's image, the document is left alone
//   Write  identify, let the controller prepare the document and start the
//          write (StartCloneWrite), wait for the write's end
//   WriteChanges  identify, then as Write, but only the blocks that differ from
//          the radio base are sent (StartCloneWriteChanges)
//
// A failed step has shown its message before the chain ends; the document is
// left alone unless a read succeeds. One chain at a time: a start while the
// manager is busy returns false and calls nothing.
class CloneCommands {
public:
    // The chain's outcome: the code of the step that ended it (0: every step
    // succeeded), or notStarted when a step could not even start.
    using Done = std::function<void(int code)>;
    static constexpr int notStarted = -1;
    // Write Changes' own outcomes: the radio is not the base's (nothing sent),
    // nothing differs from the base (nothing sent), the confirmation declined.
    static constexpr int otherRadio = -3;
    static constexpr int nothingToSend = -4;
    static constexpr int declined = -5;

    // Borrowed; it must outlive this object. The chains run on the controller's
    // own clone manager, which carries the controller's checks and sends its writes.
    explicit CloneCommands(Document& controller);
    ~CloneCommands();
    CloneCommands(const CloneCommands&) = delete;
    CloneCommands& operator=(const CloneCommands&) = delete;

    bool Info(Done done);
    bool Read(Done done);
    // `into` is borrowed until the chain ends.
    bool ReadBack(MemoryImage& into, Done done);
    bool Write(Done done);
    // False, calling nothing, without a radio base.
    bool WriteChanges(Document::ChangesConfirm confirm, Done done);

    // The Clone Write menu command: ends any cell edit, refuses a document with
    // data errors (the data-error box), asks for confirmation, then Write. False
    // when it stopped before anything was sent.
    bool WriteCommand(Done done);
    // The Clone Write Changes menu command: as WriteCommand, but the question
    // comes once the radio is known and says how many blocks and bytes go; a
    // radio that is not the base's (or no base at all) is refused with the offer
    // of the full write; nothing to send is said and sends nothing.
    bool WriteChangesCommand(Done done);

private:
    bool Identify(std::function<void(CloneResult&)> next);
    void ReadData(CloneResult& identified);
    void TakeImage(CloneResult& read);
    void KeepImage(CloneResult& read);
    void StartWriting(CloneResult& identified);
    void StartWritingChanges(CloneResult& identified);
    bool DocumentMayBeSent();
    bool OfferFullWrite(const std::string& why, Done done);
    void WriteEnded(const CloneResult& result);
    void Finish(int code);

    Document& controller_;
    CloneManager& manager_;
    Done done_;
    Document::ChangesConfirm confirmChanges_;
    MemoryImage* readBack_ = nullptr; // where ReadBack puts the radio's bytes
    bool awaitingWrite_ = false;
};

} // namespace marlo
