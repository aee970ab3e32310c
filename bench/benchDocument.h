#pragma once

#include "core/cmcEeprom.h"
#include "radio/EntryClipboard.h"
#include "radio/cmcCellContext.h"
#include "radio/cmcOverlayLists.h"

#include <string>
#include <vector>

class cmcGTex;

// A channel document for the benchmarks that evaluate cells: 500 used channels
// that repeat numbers and ALE IDs and stray outside the band edges, so the
// invalid and duplicate marks are really searched for.

// The overlay's selection lists that the channel cells read.
std::vector<std::string> benchListLines();

// The document and nothing else: no commands, no settings worth changing.
class BenchContext : public cmcCellContext {
public:
    explicit BenchContext(cmcGTex& overlay);

    cmcEeprom& CurrentImage() override { return current_; }
    const cmcEeprom& SavedImage() override { return saved_; }
    const cmcEeprom& ComparisonImage() override { return saved_; }
    EntryClipboard& Clipboard() override { return clipboard_; }
    bool IsModified() const override { return false; }
    void SetModified() override {}
    bool HasDocumentName() const override { return false; }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return false; }
    bool FactoryMode() const override { return false; }
    bool GeneMode() const override { return false; }
    cmcIdentityDigits IdentityDigits() const override { return kNoIdentityDigits; }
    const dstRadioInfo& RadioInfo() const override { return info_; }
    int ModelVariant() const override { return 0; }
    void ChangeModel(int) override {}
    int FontSize() const override { return 100; }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return true; }
    int ComPort() const override { return 1; }
    void SetComPort(int) override {}
    std::string RecentFile(int) const override { return {}; }
    cmcCodec::cmcSelectionLists& SelectionLists() override { return lists_; }
    cmcCellCommands* Commands() override { return nullptr; }

private:
    cmcEeprom current_;
    cmcEeprom saved_;
    indEntryClipboard clipboard_;
    dstRadioInfo info_;
    cmcOverlayLists lists_;
};

void fillDocument(cmcEeprom& image);
