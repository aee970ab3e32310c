#pragma once

#include "document/indCloneCommands.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QMainWindow;
class QMenu;
class cmcEeprom;
class cuiCloneWindow;
class cuiCompareWindow;
class indMain;

// File > Compare With File... and Clone > Compare With Radio...: the window's
// own actions, placed after Save As and after Write in the menus the overlay
// builds. Each reads the other side into an image of its own and opens a
// cuiCompareWindow on it; the document is neither replaced nor changed.
//
//   File   the open dialog, then the file read as Open reads it (its boxes)
//   Radio  the radio identified and read as Clone Read does, with the
//          "Cloning" window and the same messages; a failure opens nothing
class cuiCompareCommands : public QObject {
public:
    // The actions belong to `form`; `cloning` gives the clone window (made at
    // the first clone command).
    cuiCompareCommands(QMainWindow& form, indMain& controller,
                       std::function<cuiCloneWindow&()> cloning);
    ~cuiCompareCommands() override;
    cuiCompareCommands(const cuiCompareCommands&) = delete;
    cuiCompareCommands& operator=(const cuiCompareCommands&) = delete;

    // False when nothing was compared (cancelled, refused, or busy).
    bool CompareWithFile();
    // False when the read could not start; `done` gets the chain's code.
    bool CompareWithRadio(indCloneCommands::Done done = {});

    QAction* FileAction() const { return file_; }
    QAction* RadioAction() const { return radio_; }
    // The comparison window last opened, while it is up.
    cuiCompareWindow* Window() const;

private:
    void Place(QMenu* menu, QAction* ours, std::int32_t afterLabel);
    void Open(std::unique_ptr<cmcEeprom> other, const std::string& name);

    indMain& controller_;
    std::function<cuiCloneWindow&()> cloning_;
    QPointer<QMainWindow> form_;
    QPointer<QAction> file_;
    QPointer<QAction> radio_;
    std::unique_ptr<cmcEeprom> reading_;
    QPointer<cuiCompareWindow> window_;
};
