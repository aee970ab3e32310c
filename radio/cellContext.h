#pragma once

#include "radio/cloneWriteImage.h"
#include "radio/identityDigits.h"
#include "sheets/colourTable.h"

#include <cstdint>
#include <string>

namespace marlo {

class CellRequest;
class MemoryImage;
class RowClipboard;
class CellCommands;
struct CellRect;

namespace codec {
class SelectionLists;
}

// What the cell engine needs of the program around it: the document's images and
// state, the modes of the command line, the settings that menu items show and
// change, the selection lists and the commands. The controller provides it in the
// program; a test provides its own.
class CellContext {
public:
    virtual ~CellContext() = default;

    // The images: the document, its state at the last new, open or save, and
    // the copy the raw-byte cells compare with.
    virtual MemoryImage& CurrentImage() = 0;
    virtual const MemoryImage& SavedImage() = 0;
    virtual const MemoryImage& ComparisonImage() = 0;
    virtual RowClipboard& Clipboard() = 0;

    // The document's state.
    virtual bool IsModified() const = 0;
    virtual void SetModified() = 0;
    virtual bool HasDocumentName() const = 0;
    // (Re)arms the delayed warnings check after an edit.
    virtual void StartWarningsDelay() = 0;
    // Every user command the engine runs (a key, an edited text, a pick, a
    // menu or context-menu command) is framed by these, so that whatever it
    // changes in the image can be taken back as one step. Frames nest: a pick
    // runs inside the evaluation of the list that offered it.
    virtual void CommandBegins(const CellRequest& request);
    virtual void CommandEnds();

    // The modes of the command line and what the radio reported.
    virtual bool ExpertMode() const = 0;
    virtual bool FactoryMode() const = 0;
    virtual bool GeneMode() const = 0;
    virtual IdentityDigits Identity() const = 0;
    virtual const RadioInfo& LastRadioInfo() const = 0;

    // The model variant, and its change (which asks the user first).
    virtual int ModelVariant() const = 0;
    virtual void ChangeModel(int variant) = 0;

    // Settings shown and changed by menu items.
    virtual int FontSize() const = 0;
    virtual void SetFontSize(int size) = 0;
    virtual bool ToolBarVisible() const = 0;
    virtual int ComPort() const = 0;
    virtual void SetComPort(int port) = 0;
    // What the recent-file menu shows for entry `index`; empty past the end.
    virtual std::string RecentFile(int index) const = 0;

    virtual codec::SelectionLists& SelectionLists() = 0;
    // Null while no window has taken the commands on.
    virtual CellCommands* Commands() = 0;

    // The context the menus and toolbar evaluate their items in, installed by
    // whoever owns it; ends the program when none is installed.
    static CellContext& App();
    static void SetApp(CellContext* context);
};

// Where a cell paints beyond its text. A request's canvas, when set, is one of
// these: the sheet that paints passes its own.
class CellCanvas {
public:
    virtual ~CellCanvas() = default;
    // Fills left..right-1, top..bottom-1.
    virtual void FillBox(const CellRect& box, Colour colour) = 0;
    virtual void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                          Colour colour) = 0;
};

} // namespace marlo
