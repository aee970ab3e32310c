#pragma once

#include <QObject>

#include <optional>
#include <string>

namespace marlo {

// The system clipboard as the sheets use it beside the entry clipboard: rows
// copied go on it as tab-separated text with this program's mark, and any other
// text on it is pasted value by value.
//
// An instance keeps whether there is such text as the clipboard changes while
// the program runs, so that the menus' Paste can say so on every refresh
// without asking the window system (for another program's clipboard, a round
// trip to that program); at each change the menus are refreshed.
class SystemClipboard : public QObject {
public:
    SystemClipboard();

    bool HasTextToPaste() const { return hasTextToPaste_; }

    // Puts the rows just copied to the entry clipboard on the system clipboard
    // as `text`, marked as this program's latest copy.
    static void PutCopiedRows(const std::string& text);
    // The text a sheet's Paste takes value by value; none while the clipboard
    // holds no text, or this program's own latest copy, whose entries go back
    // whole.
    static std::optional<std::string> TextToPaste();

private:
    void Update();

    bool hasTextToPaste_ = false;
};

} // namespace marlo
