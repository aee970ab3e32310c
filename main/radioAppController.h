#pragma once

#include "document/radioDocument.h"
#include "main/appController.h"

#include <memory>
#include <string>
#include <vector>

namespace marlo {

class CompareCommands;
class MainWindowCommands;

// The controller of this radio model: the model's document in the window, the
// marks of the checks on the tree, and the mode panel of the status bar.
class RadioAppController : public AppController, public RadioDocument {
public:
    // `args` is the whole command line, the program's own name first.
    explicit RadioAppController(std::vector<std::string> args);

    ~RadioAppController() override;
    void BuildWindow(QMainWindow& form) override;
    // The base's tree with the variant's name after the first node's text.
    void RebuildTree() override;
    void StatusBarResize() override;
    void StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) override;
    // The document's check, its result marked on the tree.
    void CheckWarnings(int& errors, int& warnings) override;
    // The common settings' class "St_Common" gets the sheet that knows the
    // variant and factory lines; the rest get the generic sheet.
    std::unique_ptr<Sheet> CreateSheet(QWidget* parent, const std::string& descriptor) override;

    // File > Compare With File and Clone > Compare With Radio; null before BuildWindow.
    marlo::CompareCommands* CompareCommands() const;

    // The status bar panel that shows the mode text; -1 when there is none.
    int ModePanel() const { return modePanel_; }

private:
    // The tree shows the last check: the error mark over the warning mark.
    void MarkTree();
    void OpenCommandLineFile(QMainWindow& form);

    int modePanel_ = -1;
    std::unique_ptr<MainWindowCommands> commands_;
    bool contextInstalled_ = false; // the program's cell context from BuildWindow on
};

} // namespace marlo
