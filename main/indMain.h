#pragma once

#include "main/commandLine.h"
#include "main/cuiMain.h"
#include "radio/warningCheck.h"

#include <memory>
#include <string>
#include <vector>

class indMainCellContext;
class indMainCommands;

// The controller of this radio model: its identity, the modes of the command
// line, the checks and the preparation of its images, and the mode panel of the
// status bar.
class indMain : public cuiMain {
public:
    // `args` is the whole command line, the program's own name first.
    explicit indMain(std::vector<std::string> args);

    ~indMain() override;
    void Initialize() override;
    void BuildWindow(QMainWindow& form) override;
    // The base's tree with the variant's name after the first node's text.
    void RebuildTree() override;
    int ImageRejected(const cmcEeprom& image, bool strict) override;
    void AfterLoad(cmcEeprom& image) override;
    void PrepareImage(cmcEeprom& image, bool forSending) override;
    void StartCloneWrite(int code) override;
    void CloneWriteDone(int code) override;
    bool MapRevisionAccepted(int revision) override;
    void StatusBarResize() override;
    void StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect) override;
    // Runs the overlay's check list on the document; the result per line stays
    // for the tree's marks.
    void CheckWarnings(int& errors, int& warnings) override;
    // The common settings' class "St_Common" gets the sheet that knows the
    // variant and factory lines; the rest get the generic sheet.
    std::unique_ptr<cuiSheet> CreateSheet(QWidget* parent, const std::string& descriptor) override;
    int VariantCount() const override;
    cmcRangeList CloneRange() const override;
    std::int32_t CatalogueExtent() const override;
    int MapRevision() const override;

    // The modes, read by the cell engine, the codecs and the main sheet.
    bool ExpertMode() const { return modes_.expert != 0; }
    bool FactoryMode() const { return modes_.factory != 0; }
    bool GeneMode() const { return modes_.gene != 0; }
    const cmcIdentityDigits& IdentityDigits() const { return modes_.identity; }
    const std::string& ModeText() const { return modes_.modeText; }
    // The status bar panel that shows the mode text; -1 when there is none.
    int ModePanel() const { return modePanel_; }
    // The name of the current model variant.
    std::string VariantName() const;

    // The cell engine's view of this controller, made on first use.
    indMainCellContext& CellContext();
    // What the last warnings check found.
    const dstWarningCheck& LastWarningCheck() const { return lastCheck_; }

private:
    // The tree shows the last check: the error mark over the warning mark.
    void MarkTree();
    void OpenCommandLineFile(QMainWindow& form);

    std::vector<std::string> args_;
    dstModeSwitches modes_;
    int modePanel_ = -1;
    std::unique_ptr<indMainCellContext> cellContext_;
    std::unique_ptr<indMainCommands> commands_;
    bool contextInstalled_ = false; // the program's cell context from BuildWindow on
    dstWarningCheck lastCheck_;
};
