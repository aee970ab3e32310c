#pragma once

#include "clone/changedBlocks.h"
#include "clone/cloneWriter.h"
#include "core/cloneFile.h"
#include "core/rangeList.h"
#include "platform/prompter.h"
#include "radio/cloneWriteImage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace marlo {

class CellRequest;
class MemoryImage;
class UndoHistory;
class RowClipboard;
struct UndoPlace;
class CloneManager;
struct RadioBase;

// The document without a window: the image being edited, its name and modified
// state, the images it is compared with, the clone manager, and the rules for
// opening a file and preparing an image for the radio. The desktop program's
// controller is one of these with a window around it; marlo-clone uses one alone.
// What belongs to the radio model comes in through the virtual operations, which
// the model's document replaces.
//
// It needs the settings store, the overlay store and the hub installed before it
// is constructed, and it must be destroyed before them.
class Document {
public:
    // Message box caption and the program's title.
    static std::string AppTitle();

    Document(std::int32_t imageSize, const std::string& overlayBaseName);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    virtual ~Document();

    // The operations the model replaces.
    virtual void Initialize();
    // Non-zero when this program cannot use `image`.
    virtual int ImageRejected(const MemoryImage& image, bool strict);
    virtual int ImageNewer(const MemoryImage& image);
    virtual void AfterLoad(MemoryImage& image);
    virtual void PrepareImage(MemoryImage& image, bool forSending);
    virtual int CanCloneWrite();
    // (So does the Clone Write command, with the clone commands.)
    virtual void StartCloneWrite(int code);
    // What a clone write sends, made from the document already prepared for
    // sending; the base: a copy of it over the whole clone range.
    virtual CloneWriteImage MakeCloneWriteImage();
    virtual void CloneWriteDone(int code);
    virtual bool MapRevisionAccepted(int revision);
    // The check that marks problem sheets; the base has nothing to check: 0 and 0.
    virtual void CheckWarnings(int& errors, int& warnings);
    // Variants are 0..VariantCount()-1 (the settings store's ModelType); the base has one.
    virtual int VariantCount() const;
    // The addresses clone files and clone reads cover; the base: the whole image.
    virtual RangeList CloneRange() const;
    // The image extent the cell catalogue addresses; the base has no catalogue: 0.
    virtual std::int32_t CatalogueExtent() const;
    // The map revision written into saved files; the base writes none (-1).
    virtual int MapRevision() const;
    // (Re)arms the delayed warnings check after an edit; without a window nothing
    // checks on its own.
    virtual void StartWarningsDelay() {}
    // The document's bytes were replaced behind the views (a clone read, the
    // preparation of a clone write): a window shows them afresh, where it was.
    virtual void ShowDocumentAfresh() {}

    // Switches the model variant and loads its initial file as the reference
    // image; with `confirm`, asks first and then starts an untitled document from
    // it. The same variant asks nothing and changes nothing.
    void ChangeModel(int variant, bool confirm);
    // The variant the settings store holds.
    int ModelVariant() const;

    // Reads a clone file as opening a document does: the file as this model's
    // (model code, map revision), then ImageRejected, ImageNewer and every byte
    // of the clone range, in that order, each failure shown with its box. The one
    // rule for a usable file: the window's Open and marlo-clone's check and write
    // go through it. `image` receives the contents only when every step passed.
    CloneFile::Code OpenImage(const std::string& path, MemoryImage& image);
    // The one way a document is saved, by the window and by marlo-clone alike:
    // `prepared` becomes a copy of `image` prepared for saving, and that copy is
    // written to `path` as a clone file. `image` itself is never changed, so a
    // failed save leaves the document as it was.
    CloneFile::Code SavePreparedCopy(const MemoryImage& image, const std::string& path,
                                     MemoryImage& prepared);

    bool UpdateModified();
    void TakeSaved();
    void SetModified();
    bool IsModified() const { return modified_; }
    std::string DocumentPath() const;
    const std::string& DocumentName() const { return documentName_; }
    void SetDocumentName(const std::string& name);
    void RefreshCaption();
    // The document's file name alone, "Untitled" before the first save.
    std::string DocumentTitle() const;
    // A file of that name in the directory the file dialogs offer.
    std::string InCurrentDirectory(const std::string& fileName) const;

    // The undo history. Each user command the cell engine runs is framed by
    // CommandBegins and CommandEnds and becomes one step with everything it
    // changed; the modified state follows the history's saved point.
    virtual void CommandBegins(const CellRequest& request);
    void CommandEnds();
    UndoHistory& History() { return *history_; }
    const UndoHistory& History() const { return *history_; }
    // A document that replaced the previous one (`saved`: it equals a file).
    void StartFreshHistory(bool saved);
    // Undo and Redo take a step back or forth; false when there was none.
    bool Undo() { return StepHistory(true); }
    bool Redo() { return StepHistory(false); }

    std::int32_t ImageSize() const { return imageSize_; }
    int ModelCodeFirst() const { return modelCodeFirst_; }
    int ModelCodeSecond() const { return modelCodeSecond_; }
    MemoryImage& CurrentImage() { return *current_; }
    MemoryImage& SavedImage() { return *saved_; }
    MemoryImage& ReferenceImage() { return *reference_; }
    MemoryImage& ComparisonImage() { return *comparison_; }
    RowClipboard& Clipboard() { return *clipboard_; }

    // The clone manager; its information and read checks are the document's own
    // from Initialize on.
    marlo::CloneManager& CloneManager() { return *cloneManager_; }
    // What StartCloneWrite sends through: the clone manager unless another writer
    // (borrowed) is set; null gives the clone manager back.
    void SetCloneWriter(CloneWriter* writer);

    // The radio base: the image last read from or written to a radio in this run,
    // with that radio's identification (null before any). Clone Read, Clone
    // Write and Compare With Radio set it after success; a write that failed once
    // data may have moved forgets it, since the radio's memory is then unknown.
    void SetRadioBase(const MemoryImage& image, const RadioInfo& radio);
    // A base from a clone file of the radio: its identification is unknown.
    void SetRadioBase(const MemoryImage& image);
    void ForgetRadioBase();
    const marlo::RadioBase* RadioBase() const { return radioBase_.get(); }

    // Write Changes, once the radio has been identified (`code`: how that
    // ended). The radio must be the base's: the same identification (when the
    // base has one) and variant, and the bytes this write never sends (the
    // radio's identity) the same in the base as in the document. Then the
    // document is prepared exactly as for a full write and only the blocks that
    // differ from the base are sent, once `confirm` (may be null) agrees. On
    // success the base takes the blocks sent; on failure it is forgotten.
    enum class ChangesStart { Sending, NotStarted, OtherRadio, NothingDiffers, Declined };
    using ChangesConfirm = std::function<bool(const ChangedBlocks&)>;
    ChangesStart StartCloneWriteChanges(int code, const ChangesConfirm& confirm);

    std::string CurrentDirectory; // offered by the file dialogs
    RadioInfo LastRadioInfo;      // the radio's answer to the last identification

protected:
    // This program's model: what a class further down a controller's line of
    // descent constructs the shared base with, without naming it.
    Document();
    void SetModelCode(int first, int second);
    // Prepares the document for sending as a clone write does: false when the
    // write must not start.
    bool PrepareDocumentForSending(int code);
    // Starts sending `image` over `ranges` with CloneWriteDone as completion.
    void SendImage(std::unique_ptr<MemoryImage> image, RangeList ranges);
    void ShowMessage(const std::string& text, PromptIcon icon);
    // An untitled document without changes from the initial file of the settings'
    // variant (the first one when the settings name none of the model's).
    void StartFromInitialFile();
    // What a window shows of the document follows these.
    virtual void ModelChanged() {}
    virtual void CaptionChanged() {}
    virtual void HistoryChanged() {}
    // Applies the step and moves the saved-point state along with it; a window
    // also shows where the step changed the document.
    virtual bool StepHistory(bool back);

private:
    void LoadReference(int variant);
    void FollowSavedPoint();

    std::int32_t imageSize_;
    std::array<AddressRange, 2> wholeImage_;
    int modelCodeFirst_ = 0;
    int modelCodeSecond_ = 0;
    std::string documentName_;
    bool modified_ = false;

    CloneWriter* cloneWriter_ = nullptr;
    std::unique_ptr<MemoryImage> sending_; // the image a running clone write sends
    ChangedBlocks changesSent_;            // what a running Write Changes sends of it
    // Declared after the image it may be sending, so that it goes first.
    std::unique_ptr<marlo::CloneManager> cloneManager_;
    std::unique_ptr<RowClipboard> clipboard_;
    std::unique_ptr<MemoryImage> current_;
    std::unique_ptr<MemoryImage> saved_;
    std::unique_ptr<MemoryImage> reference_;
    std::unique_ptr<MemoryImage> comparison_;
    std::unique_ptr<UndoHistory> history_;
    std::unique_ptr<marlo::RadioBase> radioBase_;
};

} // namespace marlo
