#pragma once

#include "document/cmcDocument.h"
#include "document/commandLine.h"
#include "radio/warningCheck.h"

#include <memory>
#include <string>
#include <vector>

class indMainCellContext;

// The document of this radio model: its identity, the modes of the command line,
// and the checks and the preparation of its images. marlo-clone uses it alone;
// the desktop program's controller is one with the window around it.
class indDocument : public virtual cmcDocument {
public:
    // `args` is the whole command line, the program's own name first.
    explicit indDocument(std::vector<std::string> args);
    ~indDocument() override;

    void Initialize() override;
    int ImageRejected(const cmcEeprom& image, bool strict) override;
    void AfterLoad(cmcEeprom& image) override;
    void PrepareImage(cmcEeprom& image, bool forSending) override;
    dstCloneWriteImage MakeCloneWriteImage() override;
    void CloneWriteDone(int code) override;
    bool MapRevisionAccepted(int revision) override;
    // Runs the overlay's check list on the document; the result per line stays
    // in LastWarningCheck.
    void CheckWarnings(int& errors, int& warnings) override;
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
    // The name of the current model variant.
    std::string VariantName() const;

    // The cell engine's view of this document, made on first use.
    indMainCellContext& CellContext();
    // What the last warnings check found.
    const dstWarningCheck& LastWarningCheck() const { return lastCheck_; }

protected:
    const std::vector<std::string>& Arguments() const { return args_; }

private:
    std::vector<std::string> args_;
    dstModeSwitches modes_;
    std::unique_ptr<indMainCellContext> cellContext_;
    dstWarningCheck lastCheck_;
};
