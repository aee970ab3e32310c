#pragma once

#include "document/commandLine.h"
#include "document/document.h"
#include "radio/warningCheck.h"

#include <memory>
#include <string>
#include <vector>

namespace marlo {

class AppCellContext;

// The document of this radio model: its identity, the modes of the command line,
// and the checks and the preparation of its images. marlo-clone uses it alone;
// the desktop program's controller is one with the window around it.
class RadioDocument : public virtual Document {
public:
    // `args` is the whole command line, the program's own name first.
    explicit RadioDocument(std::vector<std::string> args);
    ~RadioDocument() override;

    void Initialize() override;
    int ImageRejected(const MemoryImage& image, bool strict) override;
    void AfterLoad(MemoryImage& image) override;
    void PrepareImage(MemoryImage& image, bool forSending) override;
    CloneWriteImage MakeCloneWriteImage() override;
    void CloneWriteDone(int code) override;
    bool MapRevisionAccepted(int revision) override;
    // Runs the overlay's check list on the document; the result per line stays
    // in LastWarningCheck.
    void CheckWarnings(int& errors, int& warnings) override;
    int VariantCount() const override;
    RangeList CloneRange() const override;
    std::int32_t CatalogueExtent() const override;
    int MapRevision() const override;

    // The modes, read by the cell engine, the codecs and the main sheet.
    bool ExpertMode() const { return modes_.expert != 0; }
    bool FactoryMode() const { return modes_.factory != 0; }
    bool GeneMode() const { return modes_.gene != 0; }
    const IdentityDigits& Identity() const { return modes_.identity; }
    const std::string& ModeText() const { return modes_.modeText; }
    // The name of the current model variant.
    std::string VariantName() const;

    // The cell engine's view of this document, made on first use.
    AppCellContext& CellContext();
    // What the last warnings check found.
    const WarningCheck& LastWarningCheck() const { return lastCheck_; }

protected:
    const std::vector<std::string>& Arguments() const { return args_; }

private:
    std::vector<std::string> args_;
    ModeSwitches modes_;
    std::unique_ptr<AppCellContext> cellContext_;
    WarningCheck lastCheck_;
};

} // namespace marlo
