#pragma once

#include "radio/cellRequest.h"
#include "sheets/sheetDef.h"
#include "views/cellPainter.h"
#include "views/grid.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;

namespace marlo {

class OverlayTexts;
class SheetFinder;
struct CellValue;
class Menu;
class CellEngine;
struct HubMessage;

// One overlay-defined sheet in a host window: an optional title bar above a
// grid whose cells it paints. It keeps the cursor on selectable cells, keeps a
// selection of cells or lines, hands every key, character, double-click,
// edited text and context-menu command to the cell engine, opens the in-place
// editor when the engine asks, keeps the cell's context menu in step with the
// cursor, and repaints what the hub announces as changed.
//
//   Sheet sheet(panel, nullptr, {}, overlay, "GI_Sheet_UserCh", &marks);
//   sheet.Build();
//
// A picker variant (SetPopup before Build) lives in a PickerPopup and hands a
// pick back to the cell that opened it.
class Sheet : public QObject, public GridOwner {
    Q_OBJECT

public:
    // The cell the cursor starts on: the first selectable cell of that label
    // and index.
    struct StartCell {
        std::int32_t label = CellModel::kNoLabel;
        std::int32_t index = 0;
    };
    struct Position {
        int col = -1;
        int row = -1;
        int leftCol = -1;
        int topRow = -1;
    };
    // Interaction bits.
    static constexpr int kInternalMove = 0x01;
    static constexpr int kMultiActive = 0x02;
    static constexpr int kMouseHeld = 0x04;
    static constexpr int kLineMarksClear = 0x08;
    // The editor's limit: the engine's text buffers take 1,024 bytes with the
    // terminating zero.
    static constexpr int kEditorMaxChars = 1023;
    // Out-action replays before the dispatcher gives up on an engine that never
    // stops asking for one.
    static constexpr int kMaxReplays = 100;
    static constexpr std::int32_t kEditTopLabel = 35; // the main menu's Edit item

    // `ownerRequest` (copied) is the request of the cell that opened a picker;
    // `marks` (borrowed) the warning and error images; `models` the store of the
    // named cell models (the sheet's own store when null).
    Sheet(QWidget* host, const CellRequest* ownerRequest, StartCell start, OverlayTexts& store,
          std::string key, const MarkImages* marks, OverlayTexts* models = nullptr);
    ~Sheet() override;
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    // Before Build: the engine (default: evaluateCell with an engine object of
    // the sheet's own), the picker mode, the setup handed to the definition.
    void SetEngine(CellEngineCall engine) { engine_ = std::move(engine); }
    void SetPopup(bool on) { popup_ = on; }
    bool IsPopup() const { return popup_; }
    void SetSetup(const SheetSetup& setup) { setup_ = setup; }
    // The replays' pause; tests give a clock of their own.
    void SetWait(std::function<void(int ms)> wait) { wait_ = std::move(wait); }

    virtual std::string SetAuxText(const std::string& text);
    const std::string& AuxText() const { return auxText_; }
    // Creates the windows (first time), builds the cells, places the cursor.
    virtual void Build();
    virtual std::string TitleText() const;
    virtual bool Printable() const;

    // Printing: the printer's paint device (borrowed; null for the screen), an
    // explicit font height, and the view to come back to.
    void SetPrinter(QPaintDevice* printer);
    void SetFontHeight(int height) { fontHeight_ = height; }
    void SetSavedPosition(const Position& position) { saved_ = position; }
    Position CurrentPosition() const;
    void ScrollHome();
    int TotalWidth() const;
    int TotalHeight() const;

    const std::string& Key() const { return key_; }
    const std::string& DisplayName() const { return displayName_; }
    void SetDisplayName(std::string name) { displayName_ = std::move(name); }
    const SheetDef& Def() const { return *def_; }
    // The cell record; one outside the table ends the program.
    SheetCell& Cell(int col, int row) { return def_->Cell(col, row); }
    bool IsHighlighted(int col, int row) const;
    int Interaction() const { return interaction_; }

    marlo::Grid* Grid() const { return grid_; }
    QMenu* ContextMenu() const { return contextMenu_; }
    Menu* ContextMenuBuilder() const { return menuBuilder_.get(); }
    QPlainTextEdit* Editor() const { return editor_; }
    bool EditorVisible() const;
    QWidget* Host() const { return host_; }

    // The verbs behind keys and clicks, for callers that drive the sheet.
    bool MoveCursor(int dx, int dy);
    void SetCursor(int col, int row);
    std::uint8_t Dispatch(int col, int row, std::int32_t action, std::int32_t command = 0,
                          const std::string* edited = nullptr);
    void OpenEditor(int col, int row, const std::string& text, int selStart, int selLength);
    // Commits an open editor's text to its cell, or (keep = false) drops it.
    void CloseEditor(bool commit = true);
    // Paints one cell on any surface, the printer's page included.
    void PaintCell(QPainter& painter, int col, int row, const GridRect& rect);
    // The text a cell shows: its own, or the engine's for a bound cell.
    std::string ShownText(int col, int row);
    // What a command on the cursor's cell is called in Undo and Redo: a
    // context-menu command's own name, else the heading of the cursor's column
    // ("Receive kHz") or, on a sheet without headings, the label of its row.
    std::string StepName(std::int32_t popupCommand) const;

    // Spreadsheet habits. Every value goes through its cell as if typed, all or
    // nothing and as one command; refusals are listed through the prompter.
    // The rows of the line selection, top to bottom; the cursor's row without one.
    std::vector<int> SelectedRows() const;
    // Marks these rows as selected lines; the cursor goes to the first.
    void SelectRows(const std::vector<int>& rows);
    // The column's heading on one line ("Receive kHz"); empty without headings.
    std::string ColumnTitle(int col) const;
    // How messages name a row: its number in the sheet's first column, or its
    // place among the rows below the headings.
    std::string RowName(int row);
    // `text` into column `col` of each row. True when it was entered.
    bool EnterIntoRows(const std::vector<int>& rows, int col, const std::string& text);
    // The first selected row's value in the cursor's column into the other rows.
    bool FillDown();
    // start, start + step, ... into the cursor's column of the selected rows,
    // for columns of numbers; false and nothing changed for other columns.
    bool CanFillSeries() const;
    bool FillSeries(double start, double step);
    // The selected rows as tab-separated shown texts under a line of titles.
    std::string RowsAsText();
    // Tab-separated text from the cursor on, by title when its first line
    // names the sheet's columns; a single value is typed into the cursor cell.
    bool PasteText(const std::string& text);
    // The cell of that channel number, or none.
    std::optional<GridCell> FindChannel(const std::string& number);
    // The find bar under the sheet, made on first use.
    SheetFinder& Finder();
    SheetFinder* FinderIfOpen() const { return finder_.get(); }

signals:
    // A picker's pick went back to its owner cell.
    void Picked();

protected:
    // The definition class behind the sheet's build steps; derived sheets give
    // their own directives through it.
    virtual std::unique_ptr<SheetDef> CreateDef(OverlayTexts& store, const std::string& key,
                                                OverlayTexts& models);

    // GridOwner
    void GridSelectCell(int col, int row, bool& allow) override;
    void GridDrawCell(QPainter& painter, int col, int row, const GridRect& rect) override;
    void GridFocusGained() override;
    void GridFocusLost() override;
    bool GridTimedScroll(int directions) override;
    bool GridKeyDown(QKeyEvent& event) override;
    bool GridMousePress(QMouseEvent& event) override;
    bool GridMouseRelease(QMouseEvent& event) override;
    bool GridMouseMove(QMouseEvent& event) override;
    bool GridDoubleClick(QMouseEvent& event) override;
    QString GridCellText(int col, int row) override;
    bool GridFollowsLeft(int col, int row) override;
    QString GridName() override;
    bool GridCellSelected(int col, int row) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Build steps.
    void CreateWindows();
    void CreateTitle();
    void PlaceCursorAfterBuild();
    // Cursor.
    bool IsSelectable(int col, int row) const;
    std::optional<GridCell> Walk(GridCell from, int sx, int sy, bool wrap) const;
    std::optional<GridCell> LineSearch(GridCell from, int sx, int sy) const;
    std::optional<GridCell> HeadUnder(const QPoint& point) const;
    void ScrollToFirstSelectable();
    // Selection.
    void UpdateSelection(GridCell from, GridCell to);
    void ClearSelection();
    void SetMarks(int col, int row, std::uint8_t marks);
    void UpdateLineMarks();
    void SelectBlock(const CellRequest& request);
    int FirstDataCol() const;
    // Dispatcher.
    void FillRequest(CellRequest& request, int col, int row);
    std::optional<GridCell> FindBound(std::int32_t category, std::int32_t label,
                                      std::int32_t index) const;
    std::uint8_t DispatchPick(CellRequest& request);
    void Repaint(const CellModel& model, std::uint8_t bits);
    void InvalidateCell(int col, int row);
    void InvalidateHighlighted();
    static void OnChange(void* self, CellRequest& request, std::uint8_t bits);
    static void OnOpenEditor(void* self, CellRequest& request, std::uint8_t bits);
    // Editor and context menu.
    void CreateEditor();
    bool EditorKey(QKeyEvent& event);
    void UpdateContextMenu(int col, int row, bool forced);
    void DropContextMenu();
    void ShowContextMenu(const QPoint& global);
    void ClearStatus();
    // Says on the status line why the cell carries its error or warning mark.
    void ShowMarkReason(int col, int row);
    static void OnHub(void* self, const HubMessage& message);
    void AnswerHub(const HubMessage& message);
    bool IsCursor(int col, int row) const;
    // The system clipboard around the entry clipboard's Copy and Paste.
    void RunMenuCommand(std::int32_t label);
    bool PasteFromSystemClipboard();
    bool EnterValues(std::vector<CellValue> values, const std::string& commandName);
    std::vector<int> TitledColumns(const std::vector<std::string>& titles) const;
    // A picker's Alt+Enter: the pick goes to every row the owner had selected.
    bool PickIntoOwnerRows(CellRequest& request);

    QWidget* host_;
    OverlayTexts& store_;
    OverlayTexts& models_;
    std::string key_;
    std::optional<CellRequest> ownerRequest_;
    const MarkImages* marks_;
    CellEngineCall engine_;
    std::unique_ptr<CellEngine> ownEngine_;
    StartCell start_;
    std::string auxText_;
    bool building_ = false;
    GridCell lastHover_;
    QPaintDevice* printer_ = nullptr;
    int fontHeight_ = 0;
    Position saved_;
    std::string displayName_;
    bool popup_ = false;
    SheetSetup setup_;
    std::function<void(int)> wait_;

    std::unique_ptr<SheetDef> def_;
    // The windows belong to the host; they may go with it before the sheet does.
    QPointer<QFrame> titlePanel_;
    QPointer<QLabel> titleLabel_;
    QPointer<QFrame> gridPanel_;
    QPointer<marlo::Grid> grid_;
    QPointer<QPlainTextEdit> editor_;
    GridCell edited_;
    QPointer<QMenu> contextMenu_;
    std::unique_ptr<Menu> menuBuilder_;
    const CellModel* menuCell_ = nullptr;
    std::string menuKey_;

    CellRequest paintRequest_;
    CellPaintInput paintInput_;
    GridRect lastRect_;
    GridCell remembered_{0, 0};
    GridCell anchor_;
    int interaction_ = kLineMarksClear;
    bool shiftHeld_ = false;
    bool altEnter_ = false;
    // The rows selected when the editor opened, for Alt+Enter.
    std::vector<int> editorRows_;
    std::unique_ptr<SheetFinder> finder_;
};

// The common-settings sheet: lines for one model variant or for factory mode.
class CommonSettingsSheet : public Sheet {
public:
    using Sheet::Sheet;

protected:
    std::unique_ptr<SheetDef> CreateDef(OverlayTexts& store, const std::string& key,
                                        OverlayTexts& models) override;
};

} // namespace marlo
