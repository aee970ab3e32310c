#pragma once

#include "document/cloneCommands.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QMainWindow;
class QMenu;

namespace marlo {

class MemoryImage;
class CloneWindowCommands;
class CompareWindow;
class RadioAppController;

// File > Compare With File... and Clone > Compare With Radio...: the window's
// own actions, placed after Save As and after Write in the menus the overlay
// builds. Each reads the other side into an image of its own and opens a
// CompareWindow on it; the document is neither replaced nor changed.
//
//   File   the open dialog, then the file read as Open reads it (its boxes)
//   Radio  the radio identified and read as Clone Read does, with the
//          "Cloning" window and the same messages; a failure opens nothing
class CompareCommands : public QObject {
public:
    // The actions belong to `form`; `cloning` gives the clone window (made at
    // the first clone command).
    CompareCommands(QMainWindow& form, RadioAppController& controller,
                    std::function<CloneWindowCommands&()> cloning);
    ~CompareCommands() override;
    CompareCommands(const CompareCommands&) = delete;
    CompareCommands& operator=(const CompareCommands&) = delete;

    // False when nothing was compared (cancelled, refused, or busy).
    bool CompareWithFile();
    // False when the read could not start; `done` gets the chain's code.
    bool CompareWithRadio(CloneCommands::Done done = {});

    QAction* FileAction() const { return file_; }
    QAction* RadioAction() const { return radio_; }
    // The comparison window last opened, while it is up.
    CompareWindow* Window() const;

private:
    void Place(QMenu* menu, QAction* ours, std::int32_t afterLabel);
    void Open(std::unique_ptr<MemoryImage> other, const std::string& name);

    RadioAppController& controller_;
    std::function<CloneWindowCommands&()> cloning_;
    QPointer<QMainWindow> form_;
    QPointer<QAction> file_;
    QPointer<QAction> radio_;
    std::unique_ptr<MemoryImage> reading_;
    QPointer<CompareWindow> window_;
};

} // namespace marlo
