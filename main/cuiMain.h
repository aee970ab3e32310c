#pragma once

#include "clone/cmcCloneWriter.h"
#include "core/cmcRangeList.h"
#include "core/cmcTask.h"
#include "core/cmcVcfFile.h"
#include "main/cuiStatusBar.h"
#include "platform/cmcPrompter.h"
#include "print/cuiPrintHost.h"
#include "radio/cloneWriteImage.h"
#include "sheets/cmcSheetDef.h"
#include "views/cellPainter.h"
#include "views/cuiSheet.h"

#include <QColor>
#include <QFrame>
#include <QMainWindow>
#include <QPointer>
#include <QSplitter>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

class QPainter;
class QRect;
class cmcEeprom;
class cmcTick;
class cmcUndoHistory;
struct cmcUndoPlace;
class cuiImageList;
class cuiMenu;
class cuiPrinting;
class cuiSheet;
class cuiToolBar;
class cuiUndoCommands;
class cuiTree;
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
class cuiMain : private cuiPrintHost {
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
    // A new sheet, not yet built, for a descriptor "[class]key,options" in
    // `parent`: the generic sheet of the key, showing the descriptor as its
    // display name and holding the options as its auxiliary text.
    virtual std::unique_ptr<cuiSheet> CreateSheet(QWidget* parent,
                                                  const std::string& descriptor) override;
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

    // The undo history. Each user command the cell engine runs is framed by
    // CommandBegins and CommandEnds and becomes one step with everything it
    // changed; the modified state follows the history's saved point.
    void CommandBegins(const cmcCellCapsule& request);
    void CommandEnds();
    const cmcUndoHistory& History() const { return *history_; }
    // A document that replaced the previous one (`saved`: it equals a file).
    void StartFreshHistory(bool saved);
    // Undo and Redo take a step back or forth, show the sheet and the cell it
    // changed and refresh the views; false when there was none.
    bool Undo();
    bool Redo();
    // The Edit menu's Undo and Redo; null before BuildWindow.
    cuiUndoCommands* UndoCommands() const { return undoCommands_.get(); }

    // The sheet pane. A descriptor is "[class]key,options": the class and the
    // options may be missing. Positions are remembered per sheet key, newest
    // first, so that coming back to a sheet finds its cursor and scroll again.
    struct SheetDescriptor {
        std::string className;
        std::string key;
        std::string options;
    };
    static SheetDescriptor SplitDescriptor(const std::string& descriptor);
    struct RememberedPosition {
        std::string key;
        cuiSheet::Position position;
    };
    void OpenSheet(const std::string& descriptor);
    void CloseSheet();
    // Opens the shown sheet again (the font size changed).
    void ReopenSheet();
    const std::string& ShownDescriptor() const { return shownDescriptor_; }
    const std::deque<RememberedPosition>& RememberedPositions() const { return positions_; }
    cuiTree* Tree() const { return tree_.get(); }
    cuiMenu* MainMenu() const { return mainMenu_.get(); }
    cuiToolBar* ToolBar() const { return toolBar_.get(); }
    void ToggleToolbar();
    // The program's About box, modal.
    void ShowAbout();
    // The window is going: its parts go first, while their widgets still exist.
    void ReleaseWindow();

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

    // The sheet on show, or null; the window's sheet opening replaces it.
    cuiSheet* ShownSheet() override { return sheet_.get(); }
    void SetShownSheet(std::unique_ptr<cuiSheet> sheet);
    // The warning and error images the sheets draw their marks with (on paper
    // the marks are drawn as shapes, so any images serve there).
    const cuiMarkImages& MarkImages() const { return markImages_; }
    void SetMarkImages(cuiMarkImages images) { markImages_ = std::move(images); }

    // The File menu's print commands. Print all goes on in the controller's
    // tick, one tree node each time.
    bool CanPrintCurrent();
    void PrintCurrent();
    void PrintAll();
    cuiPrinting& Printing() { return *printing_; }

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
    // What every sheet is built with: the font zoom and the model variant.
    cmcSheetSetup SheetSetup() const;
    // Gives a new sheet its setup, its descriptor as display name and the
    // descriptor's options as auxiliary text.
    std::unique_ptr<cuiSheet> SetUpSheet(std::unique_ptr<cuiSheet> sheet,
                                         const std::string& descriptor, const cmcSheetSetup& setup);
    // The nodes print all goes through: those of the tree entry "GI_Tree_Main".
    std::vector<cuiPrintNode> PrintNodes() override;

private:
    QWidget* PrintOwner() override;
    std::string PdfFileSuggestion() override;
    static void onTick(void* context, cmcTask* task);
    static void onEvent(void* context, const cmcEvMessage& message);
    void Tick();
    void HandleEvent(const cmcEvMessage& message);
    void LoadReference(int variant);
    void BuildPanes(QMainWindow& form);
    void BuildStatusBar(QMainWindow& form);
    void BuildMenuAndToolBar(QMainWindow& form);
    void PlaceSplitter();
    // Hands a tree node's model to the cell engine as a click does.
    void RunTreeNode(const cmcCellObj& model);
    void TreeSelected(const cmcCellObj& model);
    void ReopenWhenNoneShown();
    void StorePlacement();
    bool StepHistory(bool back);
    void ShowStepPlace(const cmcUndoPlace& place);
    void FollowSavedPoint();
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
    std::unique_ptr<cuiImageList> treeImages_;
    std::unique_ptr<cuiImageList> toolImages_;
    cuiMarkImages markImages_;
    std::unique_ptr<cuiMenu> mainMenu_;
    std::unique_ptr<cuiToolBar> toolBar_;
    std::unique_ptr<cuiUndoCommands> undoCommands_;
    std::unique_ptr<cuiTree> tree_;
    std::unique_ptr<cuiSheet> sheet_;
    std::string shownDescriptor_;
    std::deque<RememberedPosition> positions_;
    bool focusAwayFromTree_ = false;
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
    std::unique_ptr<cmcUndoHistory> history_;
    cmcTaskPtr task_;
    // Last: it prints through the members above.
    std::unique_ptr<cuiPrinting> printing_;
};
