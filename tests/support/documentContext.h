#pragma once

#include "core/memoryImage.h"
#include "radio/cellContext.h"
#include "radio/overlayLists.h"
#include "radio/rowClipboard.h"

#include <string>

using namespace marlo;

namespace marlo {
class OverlayTexts;
}

// A channel document with no window around it, for programs that evaluate cells
// outside the application (benchmarks, fuzz targets): three blank images of the
// radio's size, a clipboard, the overlay's selection lists; no commands, no file,
// no settings worth changing. Mode and model variant are the caller's to set.
class DocumentContext : public CellContext {
public:
    explicit DocumentContext(OverlayTexts& overlay);

    MemoryImage& CurrentImage() override { return current; }
    const MemoryImage& SavedImage() override { return saved; }
    const MemoryImage& ComparisonImage() override { return comparison; }
    RowClipboard& Clipboard() override { return clipboard_; }
    bool IsModified() const override { return false; }
    void SetModified() override {}
    bool HasDocumentName() const override { return false; }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return expert; }
    bool FactoryMode() const override { return false; }
    bool GeneMode() const override { return false; }
    IdentityDigits Identity() const override { return kNoIdentityDigits; }
    const RadioInfo& LastRadioInfo() const override { return radioInfo_; }
    int ModelVariant() const override { return variant; }
    void ChangeModel(int) override {}
    int FontSize() const override { return 100; }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return true; }
    int ComPort() const override { return 1; }
    void SetComPort(int) override {}
    std::string RecentFile(int) const override { return {}; }
    codec::SelectionLists& SelectionLists() override { return lists_; }
    CellCommands* Commands() override { return nullptr; }

    MemoryImage current;
    MemoryImage saved;
    MemoryImage comparison;
    bool expert = false;
    int variant = 0;

private:
    ProgramRowClipboard clipboard_;
    RadioInfo radioInfo_;
    OverlayLists lists_;
};
