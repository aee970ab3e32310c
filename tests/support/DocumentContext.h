#pragma once

#include "core/cmcEeprom.h"
#include "radio/EntryClipboard.h"
#include "radio/cmcCellContext.h"
#include "radio/cmcOverlayLists.h"

#include <string>

class cmcGTex;

// A channel document with no window around it, for programs that evaluate cells
// outside the application (benchmarks, fuzz targets): three blank images of the
// radio's size, a clipboard, the overlay's selection lists; no commands, no file,
// no settings worth changing. Mode and model variant are the caller's to set.
class DocumentContext : public cmcCellContext {
public:
    explicit DocumentContext(cmcGTex& overlay);

    cmcEeprom& CurrentImage() override { return current; }
    const cmcEeprom& SavedImage() override { return saved; }
    const cmcEeprom& ComparisonImage() override { return comparison; }
    EntryClipboard& Clipboard() override { return clipboard_; }
    bool IsModified() const override { return false; }
    void SetModified() override {}
    bool HasDocumentName() const override { return false; }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return expert; }
    bool FactoryMode() const override { return false; }
    bool GeneMode() const override { return false; }
    cmcIdentityDigits IdentityDigits() const override { return kNoIdentityDigits; }
    const dstRadioInfo& RadioInfo() const override { return radioInfo_; }
    int ModelVariant() const override { return variant; }
    void ChangeModel(int) override {}
    int FontSize() const override { return 100; }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return true; }
    int ComPort() const override { return 1; }
    void SetComPort(int) override {}
    std::string RecentFile(int) const override { return {}; }
    cmcCodec::cmcSelectionLists& SelectionLists() override { return lists_; }
    cmcCellCommands* Commands() override { return nullptr; }

    cmcEeprom current;
    cmcEeprom saved;
    cmcEeprom comparison;
    bool expert = false;
    int variant = 0;

private:
    indEntryClipboard clipboard_;
    dstRadioInfo radioInfo_;
    cmcOverlayLists lists_;
};
