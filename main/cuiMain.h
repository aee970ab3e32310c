#pragma once

#include "clone/cmcCloneWriter.h"
#include "core/cmcRangeList.h"
#include "core/cmcTask.h"
#include "main/cuiStatusBar.h"
#include "platform/cmcPrompter.h"
#include "radio/cloneWriteImage.h"

#include <QColor>
#include <QFrame>
#include <QMainWindow>
#include <QPointer>
#include <QSplitter>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QPainter;
class QRect;
class cmcEeprom;
class cmcTick;
class EntryClipboard;
class indCloneMan;
struct cmcEvMessage;

// The application controller, as far as it knows nothing of a particular radio:
// it owns the document (the image being edited, its name and modified state),
// the images it is compared with, the clone manager, the main window's parts and
// the periodic tick.
// What belongs to the radio model comes in through the virtual operations, which
// the model's controller replaces.
//
// Exactly one controller exists while the program runs. It needs the settings
// store, the overlay store and the hub installed before it is constructed, and it
// must be destroyed before them.
class cuiMain {
public:
    // Message box caption and the program's title.
    static std::string AppTitle();

    cuiMain(std::int32_t imageSize, const std::string& overlayBaseName);
    cuiMain(const cuiMain&) = delete;
    cuiMain& operator=(const cuiMain&) = delete;

    // The operations the model replaces, in the order of the table they form.
    virtual ~cuiMain();
    virtual void Initialize();
    // Lays out the window's parts and loads the initial document; the window
    // must outlive the controller's use of it (its close handlers end that).
    virtual void BuildWindow(QMainWindow& form);
    virtual void RebuildTree();
    // Non-zero when this program cannot use `image`.
    virtual int ImageRejected(const cmcEeprom& image, bool strict);
    virtual int ImageNewer(const cmcEeprom& image);
    virtual void AfterLoad(cmcEeprom& image);
    virtual void PrepareImage(cmcEeprom& image, bool forSending);
    // (The sheet factory takes its place here once sheets exist.)
    virtual int CanCloneWrite();
    // (So does the Clone Write command, with the clone commands.)
    virtual void StartCloneWrite(int code);
    virtual void CloneWriteDone(int code);
    virtual bool MapRevisionAccepted(int revision);
    virtual void StatusBarResize();
    virtual void StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect);

    // The check that marks problem sheets; without the tree there is nothing to
    // count and both counts are 0.
    virtual void CheckWarnings(int& errors, int& warnings);

    // What the model tells the general controller about its memory, beyond the
    // table above. Variants are 0..VariantCount()-1 (the settings store's
    // ModelType); the base has one.
    virtual int VariantCount() const;
    // The addresses clone files and clone reads cover; the base: the whole image.
    virtual cmcRangeList CloneRange() const;
    // The image extent the cell catalogue addresses; the window is not built
    // when the image is smaller. The base has no catalogue: 0.
    virtual std::int32_t CatalogueExtent() const;
    // The map revision written into saved files; the base writes none (-1).
    virtual int MapRevision() const;

    // Switches the model variant and loads its initial file as the reference
    // image; with `confirm`, asks first and then starts an untitled document from
    // it. The same variant asks nothing and changes nothing.
    void ChangeModel(int variant, bool confirm);
    // The variant the settings store holds.
    int ModelVariant() const;

    // The document.
    bool UpdateModified();
    void TakeSaved();
    void SetModified();
    bool IsModified() const { return modified_; }
    std::string DocumentPath() const;
    const std::string& DocumentName() const { return documentName_; }
    void SetDocumentName(const std::string& name);
    void RefreshCaption();
    const std::string& Caption() const { return caption_; }
    // (Re)arms the delayed warnings check after an edit.
    void StartWarningsDelay();

    // Document commands. Each asks and reports through the prompter; a failure
    // leaves the document, its name and its modified flag as they were.
    // The save question: kAskSaved (saved, or nothing to save), kAskDiscard (go
    // on without saving) or kAskCancel. `another`: the file about to be opened is
    // the document's own, so a save must go elsewhere.
    static constexpr int kAskSaved = 6;
    static constexpr int kAskDiscard = 7;
    static constexpr int kAskCancel = 2;
    int AskSave(bool another);
    // Each returns 0 on success, non-zero when it failed or was cancelled.
    int NewDocument();
    int OpenDialog();
    int OpenFile(const std::string& path);
    // Opens entry `index` of the recent-file list; non-zero past its end.
    int OpenRecent(int index);
    int SaveAsDialog();
    int SaveFile(const std::string& path);

    // Ends the program as closing the window does, but asks nothing: unsaved
    // changes are first written as a recovery file in the user's data folder,
    // which the next start names in the status line. For the end signals.
    void EndWithoutQuestions();
    // The recovery file the last such end wrote; empty when none.
    const std::string& RecoveryFile() const { return recoveryFile_; }

    std::int32_t ImageSize() const { return imageSize_; }
    int ModelCodeFirst() const { return modelCodeFirst_; }
    int ModelCodeSecond() const { return modelCodeSecond_; }
    cmcEeprom& CurrentImage() { return *current_; }
    cmcEeprom& SavedImage() { return *saved_; }
    cmcEeprom& ReferenceImage() { return *reference_; }
    cmcEeprom& ComparisonImage() { return *comparison_; }
    EntryClipboard& Clipboard() { return *clipboard_; }

    // The window's parts; null before BuildWindow and once the window has gone.
    QMainWindow* Form() const { return form_; }
    QFrame* LeftPane() const { return leftPane_; }
    QFrame* RightPane() const { return rightPane_; }
    QSplitter* Splitter() const { return splitter_; }
    cuiStatusBar* StatusBar() const { return statusBar_; }
    const std::string& MessageText() const { return messageText_; }

    // The main window's close query and close: false refuses to close.
    bool FormCloseQuery();
    void FormClose();
    bool TickRunning() const;

    // The controller's clone manager; its information and read checks are the
    // controller's own from Initialize on.
    indCloneMan& CloneManager() { return *cloneManager_; }
    // What StartCloneWrite sends through: the clone manager unless another writer
    // (borrowed) is set; null gives the clone manager back.
    void SetCloneWriter(cmcCloneWriter* writer);

    std::string CurrentDirectory; // offered by the file dialogs
    dstRadioInfo RadioInfo;       // the radio's answer to the last identification

protected:
    void SetModelCode(int first, int second);
    // Prepares the document for sending as a clone write does: false when the
    // write must not start.
    bool PrepareDocumentForSending(int code);
    // Starts sending `image` over `ranges` with CloneWriteDone as completion.
    void SendImage(std::unique_ptr<cmcEeprom> image, cmcRangeList ranges);
    void ShowMessage(const std::string& text, PromptIcon icon);

private:
    static void onTick(void* context, cmcTask* task);
    static void onEvent(void* context, const cmcEvMessage& message);
    void Tick();
    void HandleEvent(const cmcEvMessage& message);
    void LoadReference(int variant);
    void BuildPanes(QMainWindow& form);
    void BuildStatusBar(QMainWindow& form);
    void StorePlacement();
    void ReportRecoveryFile();
    // Writes the document, prepared for sending, to `path` and returns the
    // prepared copy; null when the save failed (its box has been shown).
    std::unique_ptr<cmcEeprom> SavePreparedCopy(const std::string& path);

    std::int32_t imageSize_;
    std::array<cmcRange, 2> wholeImage_;
    int modelCodeFirst_ = 0;
    int modelCodeSecond_ = 0;

    QPointer<QMainWindow> form_;
    QPointer<QFrame> leftPane_;
    QPointer<QFrame> rightPane_;
    QPointer<QSplitter> splitter_;
    QPointer<cuiStatusBar> statusBar_;
    QColor messageColour_;
    QColor messageBackground_;
    std::string messageText_;

    std::unique_ptr<cmcTick> warningsDelay_;
    std::string documentName_;
    std::string caption_;
    bool modified_ = false;
    bool endingQuietly_ = false;
    std::string recoveryFile_;

    cmcCloneWriter* cloneWriter_ = nullptr;
    std::unique_ptr<cmcEeprom> sending_; // the image a running clone write sends
    // Declared after the image it may be sending, so that it goes first.
    std::unique_ptr<indCloneMan> cloneManager_;
    std::unique_ptr<EntryClipboard> clipboard_;
    std::unique_ptr<cmcEeprom> current_;
    std::unique_ptr<cmcEeprom> saved_;
    std::unique_ptr<cmcEeprom> reference_;
    std::unique_ptr<cmcEeprom> comparison_;
    cmcTaskPtr task_;
};
