#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace marlo {

class AppController;
class Sheet;
struct HubMessage;

// The Edit menu's spreadsheet commands on the shown sheet: Fill Down, Fill
// Series, Find, Go to Channel and Find Duplicates. Like Undo and Redo they are
// the window's own actions (their keys work wherever the focus is in the
// window) and stay at the foot of the Edit menu while its sheet items change.
class SheetMenuCommands : public QObject {
public:
    // The actions belong to `form`; `editMenu` is borrowed.
    SheetMenuCommands(QMainWindow& form, AppController& controller, QMenu* editMenu);
    ~SheetMenuCommands() override;
    SheetMenuCommands(const SheetMenuCommands&) = delete;
    SheetMenuCommands& operator=(const SheetMenuCommands&) = delete;

    // Enabled as the shown sheet allows.
    void Refresh();

    void FillSeries();
    void GoToChannel();
    void FindDuplicates();

private:
    void PlaceInEditMenu();
    static void OnHub(void* self, const HubMessage& message);

    AppController& controller_;
    QPointer<QMenu> editMenu_;
    QPointer<QAction> separator_;
    QPointer<QAction> fillDown_;
    QPointer<QAction> fillSeries_;
    QPointer<QAction> find_;
    QPointer<QAction> goTo_;
    QPointer<QAction> duplicates_;
};

// The rows of a sheet whose channels share receive frequency, transmit
// frequency and mode with another channel.
std::vector<int> duplicateChannelRows(Sheet& sheet);

} // namespace marlo
