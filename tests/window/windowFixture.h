#pragma once

#include "../main/controllerFixture.h"
#include "main/mainWindow.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

using namespace marlo;

class QMenu;
class QWidget;
namespace marlo {
class MemoryImage;
class Sheet;
} // namespace marlo

// The image a clone file of the radio holds, read as the program reads it.
std::unique_ptr<MemoryImage> loadCloneFile(const std::string& path);

// The real main window on the screen, driven as a person drives it: mouse
// clicks and key presses go through the window system's path (shortcuts, the
// menu bar's mnemonics and popups see them as they would see a person's), and
// every step waits for what a person would wait for (the popup on screen, the
// sheet shown). Message boxes and file dialogs go to the scripted prompter.
class WindowTest : public ControllerTest {
protected:
    enum class Document { Initial, Full };

    ~WindowTest() override;

    // Starts the program with the variant's initial file (Initial) or with a
    // clone file whose every list is full (Full), and waits until the window is
    // on screen and active.
    MainWindow& open(Document document = Document::Initial);
    // Starts the program with the clone file at `path`.
    MainWindow& openFile(const std::string& path);
    // A clone file of variant 0 with every channel, ID, address and number in use.
    std::string writeFullDocument(const std::string& name);

    // Clicks the tree node of that caption and waits until its sheet is shown.
    Sheet& showSheet(const QString& caption);
    Sheet* sheet() const;
    // The centre of a cell in its grid's viewport; the cell must be in view.
    QPoint cellCentre(int col, int row) const;
    void clickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton,
                   Qt::KeyboardModifiers modifiers = {});

    // A key pressed and released where the keyboard goes now: the open popup,
    // else the window that has the focus.
    static void key(int key, Qt::KeyboardModifiers modifiers = {});
    static void type(const QString& text);
    // A click whose release is not sent when the press took the widget away.
    static void click(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                      QPoint at);
    // The popup menu on screen, waiting for it; null when none came.
    static QMenu* waitForPopup();
    static bool waitForNoPopup();
    // Clicks the item of that caption (without its '&') in the open popup and
    // waits until the popup has gone; false when there is no such enabled item.
    static bool clickPopupItem(const QString& caption);
    // Chooses that item in the open popup with Down from the top, then Return.
    static bool pickPopupItemByKeys(const QString& caption);
    // Chooses along a path of the menu bar by its mnemonics: Alt+letter for the
    // top item, then each item's letter in the popups that open.
    static void menuPath(const QStringList& captions);
    // The caption of an item with its mnemonic marker removed.
    static QString plain(const QString& caption);

    static bool waitFor(const std::function<bool()>& condition, int limitMs = 10000);

    std::string caption() const;
    std::string cellText(int col, int row) const;

    std::unique_ptr<MainWindow> form_;
    std::unique_ptr<QTemporaryDir> files_ = std::make_unique<QTemporaryDir>();
};
