#pragma once

#include "radio/cmcCellContext.h"
#include "radio/codecChoice.h"

#include <optional>
#include <string>

// A list that a cell asked to open, as the cell's codec named it.
struct dstOpenedList {
    std::string listKey;
    int kind = 0;
    std::int32_t value = 0;
};

// The cell engine on an image of its own, for work beside the document: reading
// another file's cells, or trying edits on a copy before they reach the
// document. Modes, selection lists and settings are those of `base`; the image
// counts as modified from the start, so the engine never compares it, and no
// window command runs. A list a cell asks to open is only noted.
class cmcImageCellContext : public cmcCellContext {
public:
    // Both borrowed. `variant` is the model variant the cells show the image as.
    cmcImageCellContext(cmcCellContext& base, cmcEeprom& image, int variant);

    // The list the last evaluation asked to open, once.
    std::optional<dstOpenedList> TakeOpenedList();
    // Evaluates as in expert mode, or not, whatever the base says; none: the base's.
    void SetExpertMode(std::optional<bool> expert) { expert_ = expert; }

    cmcEeprom& CurrentImage() override { return image_; }
    const cmcEeprom& SavedImage() override { return image_; }
    const cmcEeprom& ComparisonImage() override { return image_; }
    EntryClipboard& Clipboard() override { return base_.Clipboard(); }
    bool IsModified() const override { return true; }
    void SetModified() override {}
    bool HasDocumentName() const override { return base_.HasDocumentName(); }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return expert_.value_or(base_.ExpertMode()); }
    bool FactoryMode() const override { return base_.FactoryMode(); }
    bool GeneMode() const override { return base_.GeneMode(); }
    cmcIdentityDigits IdentityDigits() const override { return base_.IdentityDigits(); }
    const dstRadioInfo& RadioInfo() const override { return base_.RadioInfo(); }
    int ModelVariant() const override { return variant_; }
    void ChangeModel(int) override {}
    int FontSize() const override { return base_.FontSize(); }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return base_.ToolBarVisible(); }
    int ComPort() const override { return base_.ComPort(); }
    void SetComPort(int) override {}
    std::string RecentFile(int index) const override { return base_.RecentFile(index); }
    cmcCodec::cmcSelectionLists& SelectionLists() override { return lists_; }
    cmcCellCommands* Commands() override { return nullptr; }

private:
    // The base's lists, with opening turned into a note.
    class NotedLists : public cmcCodec::cmcSelectionLists {
    public:
        explicit NotedLists(cmcCodec::cmcSelectionLists& base) : base_(base) {}
        std::string TextOf(std::string_view listKey, int kind, std::int32_t value) override {
            return base_.TextOf(listKey, kind, value);
        }
        std::optional<std::int32_t> Step(std::string_view listKey, int kind, std::int32_t value,
                                         int direction) override {
            return base_.Step(listKey, kind, value, direction);
        }
        void OpenList(cmcCellCapsule&, std::string_view listKey, int kind,
                      std::int32_t value) override {
            opened = dstOpenedList{std::string(listKey), kind, value};
        }

        std::optional<dstOpenedList> opened;

    private:
        cmcCodec::cmcSelectionLists& base_;
    };

    cmcCellContext& base_;
    cmcEeprom& image_;
    int variant_;
    std::optional<bool> expert_;
    NotedLists lists_;
};
