#pragma once

#include "clone/cmcCloneWriter.h"
#include "core/cmcRangeList.h"
#include "core/cmcTask.h"
#include "core/cmcVcfFile.h"
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

    // Switches the model variant and loads its initial file as the reference
    // image; with `confirm`, asks first and then starts an untitled document from
    // it. The same variant asks nothing and changes nothing.
    void ChangeModel(int variant, bool confirm);
    // The variant the settings store holds.
    int ModelVariant() const;

    // Reads a clone file as opening a document does: the file as this model's
    // (model code, map revision), then ImageRejected, ImageNewer and every byte
    // of the clone range, in that order, each failure shown with its box. The one
    // rule for a usable file: marlo-clone's check and write go through it too.
    // `image` receives the contents only when every step passed.
    cmcVcfFile::Code OpenImage(const std::string& path, cmcEeprom& image);

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
