#pragma once

#include "core/cloneFile.h"
#include "core/periodicTask.h"
#include "core/rangeList.h"
#include "document/document.h"
#include "main/statusBar.h"
#include "platform/prompter.h"
#include "print/printHost.h"
#include "radio/cloneWriteImage.h"
#include "sheets/sheetDef.h"
#include "views/cellPainter.h"
#include "views/sheet.h"

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

namespace marlo {

class MemoryImage;
class Timeout;
class ImageList;
class Menu;
class Printing;
class Sheet;
class ToolBar;
class UndoCommands;
class SheetMenuCommands;
struct UndoPlace;
class Tree;
class RowClipboard;
class CloneManager;
struct HubMessage;

// The application controller, as far as it knows nothing of a particular radio:
// the document with the main window's parts around it and the periodic tick.
// What belongs to the radio model comes in through the virtual operations, which
// the model's controller replaces; the model's document rules come from its
// document class, which the model's controller also derives from (hence the
// shared, virtual, document base).
//
// Exactly one controller exists while the program runs. It needs the settings
// store, the overlay store and the hub installed before it is constructed, and it
// must be destroyed before them.
class AppController : public virtual Document, private PrintHost {
public:
    AppController(std::int32_t imageSize, const std::string& overlayBaseName);
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // The operations the model replaces, in the order of the table they form
    // (with those of the document).
    ~AppController() override;
    // Lays out the window's parts and loads the initial document (not when the
    // image is smaller than CatalogueExtent()); the window must outlive the controller's use of it
    // (its close handlers end that).
    virtual void BuildWindow(QMainWindow& form);
    virtual void RebuildTree();
    // A new sheet, not yet built, for a descriptor "[class]key,options" in
    // `parent`: the generic sheet of the key, showing the descriptor as its
    // display name and holding the options as its auxiliary text.
    virtual std::unique_ptr<Sheet> CreateSheet(QWidget* parent,
                                               const std::string& descriptor) override;
    virtual void StatusBarResize();
    virtual void StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect);
    // (Re)arms the delayed warnings check after an edit.
    void StartWarningsDelay() override;
    // A command on the shown sheet's cell is named after its column or its
    // context-menu item, and placed at the sheet's cursor.
    void CommandBegins(const CellRequest& request) override;
    // The Edit menu's Undo and Redo; null before BuildWindow.
    marlo::UndoCommands* UndoCommands() const { return undoCommands_.get(); }
    void ShowDocumentAfresh() override { ReopenSheet(); }
    // Opens the place's sheet (the tree following) and puts the cursor on its cell.
    void ShowPlace(const UndoPlace& place) { ShowStepPlace(place); }

    // The sheet pane. Positions are remembered per sheet key, newest
    // first, so that coming back to a sheet finds its cursor and scroll again.
    struct RememberedPosition {
        std::string key;
        Sheet::Position position;
    };
    void OpenSheet(const std::string& descriptor);
    void CloseSheet();
    // Opens the shown sheet again (the font size changed).
    void ReopenSheet();
    const std::string& ShownDescriptor() const { return shownDescriptor_; }
    const std::deque<RememberedPosition>& RememberedPositions() const { return positions_; }
    marlo::Tree* Tree() const { return tree_.get(); }
    Menu* MainMenu() const { return mainMenu_.get(); }
    marlo::ToolBar* ToolBar() const { return toolBar_.get(); }
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

    // The window's parts; null before BuildWindow and once the window has gone.
    QMainWindow* Form() const { return form_; }
    QFrame* LeftPane() const { return leftPane_; }
    QFrame* RightPane() const { return rightPane_; }
    QSplitter* Splitter() const { return splitter_; }
    marlo::StatusBar* StatusBar() const { return statusBar_; }
    const std::string& MessageText() const { return messageText_; }

    // The sheet on show, or null; the window's sheet opening replaces it.
    Sheet* ShownSheet() override { return sheet_.get(); }
    void SetShownSheet(std::unique_ptr<Sheet> sheet);
    // The warning and error images the sheets draw their marks with (on paper
    // the marks are drawn as shapes, so any images serve there).
    const marlo::MarkImages& MarkImages() const { return markImages_; }
    void SetMarkImages(marlo::MarkImages images) { markImages_ = std::move(images); }

    // The File menu's print commands. Print all goes on in the controller's
    // tick, one tree node each time.
    bool CanPrintCurrent();
    void PrintCurrent();
    void PrintAll();
    marlo::Printing& Printing() { return *printing_; }

    // The main window's close query and close: false refuses to close.
    bool FormCloseQuery();
    void FormClose();
    bool TickRunning() const;

protected:
    // What every sheet is built with: the font zoom and the model variant.
    marlo::SheetSetup SheetSetup() const;
    // Gives a new sheet its setup, its descriptor as display name and the
    // descriptor's options as auxiliary text.
    std::unique_ptr<Sheet> SetUpSheet(std::unique_ptr<Sheet> sheet, const std::string& descriptor,
                                      const marlo::SheetSetup& setup);
    // The nodes print all goes through: those of the tree entry "GI_Tree_Main".
    std::vector<PrintNode> PrintNodes() override;
    void ModelChanged() override;
    void CaptionChanged() override;
    void HistoryChanged() override;
    // Commits the editor first and, once the step is taken, shows its sheet and
    // cell, repaints and arms the warnings check.
    bool StepHistory(bool back) override;

private:
    QWidget* PrintOwner() override;
    std::string PdfFileSuggestion() override;
    static void OnTick(void* context, PeriodicTask* task);
    static void onEvent(void* context, const HubMessage& message);
    void Tick();
    void HandleEvent(const HubMessage& message);
    void BuildPanes(QMainWindow& form);
    void BuildStatusBar(QMainWindow& form);
    void BuildMenuAndToolBar(QMainWindow& form);
    void PlaceSplitter();
    // Hands a tree node's model to the cell engine as a click does.
    void RunTreeNode(const CellModel& model);
    void TreeSelected(const CellModel& model);
    void ReopenWhenNoneShown();
    void StorePlacement();
    void ShowStepPlace(const UndoPlace& place);
    void ReportRecoveryFile();
    // Writes the document, prepared for sending, to `path` and returns the
    // prepared copy; null when the save failed (its box has been shown).
    std::unique_ptr<MemoryImage> SavePreparedCopy(const std::string& path);

    QPointer<QMainWindow> form_;
    QPointer<QFrame> leftPane_;
    QPointer<QFrame> rightPane_;
    QPointer<QSplitter> splitter_;
    QPointer<marlo::StatusBar> statusBar_;
    std::unique_ptr<ImageList> treeImages_;
    std::unique_ptr<ImageList> toolImages_;
    marlo::MarkImages markImages_;
    std::unique_ptr<Menu> mainMenu_;
    std::unique_ptr<marlo::ToolBar> toolBar_;
    std::unique_ptr<marlo::UndoCommands> undoCommands_;
    std::unique_ptr<SheetMenuCommands> sheetCommands_;
    std::unique_ptr<marlo::Tree> tree_;
    std::unique_ptr<Sheet> sheet_;
    std::string shownDescriptor_;
    std::deque<RememberedPosition> positions_;
    bool focusAwayFromTree_ = false;
    QColor messageColour_;
    QColor messageBackground_;
    std::string messageText_;

    std::unique_ptr<Timeout> warningsDelay_;
    bool endingQuietly_ = false;
    std::string recoveryFile_;

    TaskPtr task_;
    // Last: it prints through the members above.
    std::unique_ptr<marlo::Printing> printing_;
};

} // namespace marlo
