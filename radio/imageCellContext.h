#pragma once

#include "radio/cellContext.h"
#include "radio/codecChoice.h"

#include <optional>
#include <string>

namespace marlo {

// A list that a cell asked to open, as the cell's codec named it.
struct OpenedList {
    std::string listKey;
    int kind = 0;
    std::int32_t value = 0;
};

// The cell engine on an image of its own, for work beside the document: reading
// another file's cells, or trying edits on a copy before they reach the
// document. Modes, selection lists and settings are those of `base`; the image
// counts as modified from the start, so the engine never compares it, and no
// window command runs. A list a cell asks to open is only noted.
class ImageCellContext : public CellContext {
public:
    // Both borrowed. `variant` is the model variant the cells show the image as.
    ImageCellContext(CellContext& base, MemoryImage& image, int variant);

    // The list the last evaluation asked to open, once.
    std::optional<OpenedList> TakeOpenedList();
    // Evaluates as in expert mode, or not, whatever the base says; none: the base's.
    void SetExpertMode(std::optional<bool> expert) { expert_ = expert; }

    MemoryImage& CurrentImage() override { return image_; }
    const MemoryImage& SavedImage() override { return image_; }
    const MemoryImage& ComparisonImage() override { return image_; }
    RowClipboard& Clipboard() override { return base_.Clipboard(); }
    bool IsModified() const override { return true; }
    void SetModified() override {}
    bool HasDocumentName() const override { return base_.HasDocumentName(); }
    void StartWarningsDelay() override {}
    bool ExpertMode() const override { return expert_.value_or(base_.ExpertMode()); }
    bool FactoryMode() const override { return base_.FactoryMode(); }
    bool GeneMode() const override { return base_.GeneMode(); }
    IdentityDigits Identity() const override { return base_.Identity(); }
    const RadioInfo& LastRadioInfo() const override { return base_.LastRadioInfo(); }
    int ModelVariant() const override { return variant_; }
    void ChangeModel(int) override {}
    int FontSize() const override { return base_.FontSize(); }
    void SetFontSize(int) override {}
    bool ToolBarVisible() const override { return base_.ToolBarVisible(); }
    int ComPort() const override { return base_.ComPort(); }
    void SetComPort(int) override {}
    std::string RecentFile(int index) const override { return base_.RecentFile(index); }
    codec::SelectionLists& SelectionLists() override { return lists_; }
    CellCommands* Commands() override { return nullptr; }

private:
    // The base's lists, with opening turned into a note.
    class NotedLists : public codec::SelectionLists {
    public:
        explicit NotedLists(codec::SelectionLists& base) : base_(base) {}
        std::string TextOf(std::string_view listKey, int kind, std::int32_t value) override {
            return base_.TextOf(listKey, kind, value);
        }
        std::optional<std::int32_t> Step(std::string_view listKey, int kind, std::int32_t value,
                                         int direction) override {
            return base_.Step(listKey, kind, value, direction);
        }
        void OpenList(CellRequest&, std::string_view listKey, int kind,
                      std::int32_t value) override {
            opened = OpenedList{std::string(listKey), kind, value};
        }

        std::optional<OpenedList> opened;

    private:
        codec::SelectionLists& base_;
    };

    CellContext& base_;
    MemoryImage& image_;
    int variant_;
    std::optional<bool> expert_;
    NotedLists lists_;
};

} // namespace marlo
