#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace marlo {

class ImageList;
class AppController;

// The Edit menu's Undo and Redo, their keys and their toolbar buttons. They are
// the window's own actions rather than overlay items: the Edit menu's other
// items come and go with the sheet that has the focus, these stay on top, and
// their keys work wherever the focus is in the window.
class UndoCommands : public QObject {
public:
    // The actions belong to `form`; `editMenu` and `toolBar` are borrowed.
    UndoCommands(QMainWindow& form, AppController& controller, QMenu* editMenu, QToolBar* toolBar,
                 const ImageList& images);
    ~UndoCommands() override;
    UndoCommands(const UndoCommands&) = delete;
    UndoCommands& operator=(const UndoCommands&) = delete;

    // Captions ("Undo Delete Rows") and states from the history, and the items
    // back at the top of the Edit menu should a sheet have emptied it.
    void Refresh();
    QAction* UndoAction() const { return undo_; }
    QAction* RedoAction() const { return redo_; }

private:
    void PlaceInEditMenu();

    AppController& controller_;
    QPointer<QMenu> editMenu_;
    QPointer<QAction> undo_;
    QPointer<QAction> redo_;
    QPointer<QAction> separator_;
};

} // namespace marlo
