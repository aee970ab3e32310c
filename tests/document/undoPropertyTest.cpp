#include "../exchange/exchangeFixture.h"
#include "../radio/cellFields.h"

#include "core/undoHistory.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <sstream>

using namespace marlo;

using namespace CellLabel;

namespace {

// Answers every question of a row operation at random, so that cancelled
// commands come up as often as confirmed ones.
class CoinPrompter : public Prompter {
public:
    explicit CoinPrompter(std::mt19937& random) : random_(random), previous_(Install(this)) {}
    ~CoinPrompter() override { Install(previous_); }
    CoinPrompter(const CoinPrompter&) = delete;
    CoinPrompter& operator=(const CoinPrompter&) = delete;

    PromptAnswer Message(const std::string&, const std::string&, PromptIcon,
                         PromptButtons buttons) override {
        if (buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        return random_() % 2 == 0 ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }

private:
    std::mt19937& random_;
    Prompter* previous_;
};

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const MemoryImage& image) {
    return {image.Data(), image.Data() + image.Size()};
}

struct ListRows {
    std::int32_t category;
    std::int32_t keyLabel;
    std::uint8_t type;
};
const ListRows kLists[] = {
    {CT_UserCh, CL_UCh_CH, listUserChannel},
    {CT_SelCallID, CL_SelCall_ID, listSelCallId},
    {CT_AleID, CL_Ale_ID, listAleId},
    {CT_TelNumber, CL_TelNumber_Number, listTelNumber},
};

// What the history must hold, kept apart from it: the image after every step,
// the position, and the step the document was last saved at.
struct Model {
    std::vector<Bytes> states;
    std::size_t position = 0;
    std::optional<std::size_t> saved;

    void stepped(Bytes now) {
        states.resize(position + 1);
        if (saved && *saved > position)
            saved.reset();
        states.push_back(std::move(now));
        ++position;
    }
};

class UndoProperty : public ExchangeTest {
protected:
    std::mt19937 random_;
    std::ostringstream log_;
    std::deque<CellModel> cells_;

    // The commands that led here, the last few, for a failure's message.
    std::string recent() const {
        const std::string all = log_.str();
        std::size_t at = all.size();
        for (int lines = 0; lines < 25 && at > 0; ++lines)
            at = all.rfind('\n', at - 1);
        return at == std::string::npos ? all : all.substr(at + 1);
    }

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    void evaluate(std::int32_t category, std::int32_t label, std::int32_t index,
                  CellRequest& request) {
        CellModel& cell = cells_.emplace_back();
        cell.category = category;
        cell.label = label;
        cell.index = index;
        request.cell = &cell;
        static int grid; // keys and lists act only on a cell of a grid
        request.grid = &grid;
        CellEngine engine(*context_);
        evaluateCell(engine, request, true);
    }

    // One user command of a random kind on a random cell or block of rows.
    void randomCommand() {
        static const std::vector<cellFields::FieldCell> fields = cellFields::fieldCells();
        static const char* const texts[] = {"",     "7055.5", "14100", "2000", "abc",
                                            "GOLF", "0",      "9999",  "12",   "06123 4567"};
        CellRequest request;
        CellRequest item;
        CellModel itemCell;
        const cellFields::FieldCell& field =
            fields[static_cast<std::size_t>(uniform(0, static_cast<int>(fields.size()) - 1))];
        std::int32_t index = field.index;
        for (const ListRows& list : kLists)
            if (list.category == field.category)
                index = uniform(0, ListRecord::LastIndex(list.type));
        switch (uniform(0, 5)) {
        case 0:
            request.inputMode = CellRequest::kEditedText;
            request.inputText = texts[uniform(0, std::size(texts) - 1)];
            log_ << "type '" << request.inputText << "'";
            break;
        case 1:
            request.action = uniform(0, 1) ? CellRequest::kSpace : CellRequest::kBackspace;
            log_ << "key " << request.action;
            break;
        case 2: // a pick from a list
            itemCell.label = std::array{Flex0, CL_Sel_Mode_U, CL_Sel_Mode_F, CL_Sel_Ale_U,
                                        CL_Sel_Call_U}[static_cast<std::size_t>(uniform(0, 4))];
            itemCell.index = uniform(0, 12);
            item.cell = &itemCell;
            request.inputMode = CellRequest::kChosen;
            request.partner = &item;
            if (uniform(0, 1)) { // most lists are a channel's
                const std::int32_t label = uniform(CL_UCh_Mode, CL_UCh_Edit);
                itemCell.label = label == CL_UCh_Mode   ? CL_Sel_Mode_U
                                 : label == CL_UCh_Ale  ? CL_Sel_Ale_U
                                 : label == CL_UCh_Call ? CL_Sel_Call_U
                                                        : Flex0;
                log_ << "pick " << itemCell.label << "/" << itemCell.index << " at " << label;
                evaluate(CT_UserCh, label, uniform(0, ListRecord::LastIndex(listUserChannel)),
                         request);
                log_ << "\n";
                return;
            }
            log_ << "pick " << itemCell.label << "/" << itemCell.index;
            break;
        case 3: { // the bit editor's byte, on a raw byte of either kind
            const std::int32_t label = uniform(0, 1) ? CL_EeDebugWin_3 : CL_Free_Byte_Dec;
            index = label == CL_EeDebugWin_3 ? uniform(0, 31) : uniform(0, 30000);
            itemCell.index = uniform(0, 255) << 18;
            item.cell = &itemCell;
            request.inputMode = CellRequest::kChosen;
            request.partner = &item;
            log_ << "bits " << (itemCell.index >> 18) << " at " << label << "[" << index << "]\n";
            evaluate(CT_Null, label, index, request);
            return;
        }
        default: {
            const ListRows& list = kLists[uniform(0, std::size(kLists) - 1)];
            const std::int32_t last = ListRecord::LastIndex(list.type);
            const std::int32_t first = uniform(0, last);
            request.block.flags = CellBlock::Selected;
            request.block.first = first;
            request.block.last = std::min(last, first + uniform(0, 1) * uniform(0, 30));
            request.popupCommand = list.type == listUserChannel && uniform(0, 5) == 0
                                       ? CL_PMenu_Sort
                                       : uniform(CL_PMenu_Copy, CL_PMenu_Insert);
            log_ << "rows " << request.popupCommand << " " << request.block.first << ".."
                 << request.block.last << " of list " << int(list.type) << "\n";
            evaluate(list.category, list.keyLabel, first, request);
            return;
        }
        }
        log_ << " at " << field.label << "[" << index << "]\n";
        evaluate(field.category, field.label, index, request);
    }
};

// Random commands of every kind on a full document, with undo, redo and saves
// between them: every undo and redo lands on the image the model remembers,
// the modified flag follows the saved point, and undoing all of it gives back
// the starting image.
TEST_F(UndoProperty, RandomCommandsUndoAndRedoToTheExactImages) {
    const unsigned seed = 20261207;
    random_.seed(seed);
    startDocument(0, true);
    fillEveryList();
    controller_->StartFreshHistory(true);
    CoinPrompter prompter(random_);
    const std::string file = folder_.filePath("saved.vcf").toStdString();

    Model model;
    model.states.push_back(bytesOf(document()));
    model.saved = 0;
    const Bytes start = model.states.front();
    int commands = 0;
    int steps = 0;
    for (int round = 0; round < 400 && !HasFailure(); ++round) {
        const int what = uniform(0, 19);
        if (what < 3) {
            const bool back = what < 2;
            log_ << (back ? "undo\n" : "redo\n");
            const bool can = back ? model.position > 0 : model.position + 1 < model.states.size();
            EXPECT_EQ(back ? controller_->Undo() : controller_->Redo(), can);
            if (can)
                model.position += back ? -1 : 1;
        } else if (what == 3) {
            log_ << "save\n";
            ASSERT_EQ(controller_->SaveFile(file), 0);
            Bytes now = bytesOf(document());
            if (now != model.states[model.position]) { // the save prepared the image
                log_ << "  the save prepared the image\n";
                model.states.resize(model.position + 1);
                model.states[model.position] = std::move(now);
                if (model.position > 0 && model.states[model.position - 1] == model.states.back()) {
                    model.states.pop_back();
                    --model.position;
                }
            }
            model.saved = model.position;
        } else {
            const Bytes before = bytesOf(document());
            randomCommand();
            ++commands;
            if (bytesOf(document()) != before) {
                model.stepped(bytesOf(document()));
                ++steps;
                log_ << "  changed\n";
            }
        }
        ASSERT_TRUE(bytesOf(document()) == model.states[model.position])
            << "seed " << seed << ", position " << model.position << ", after:\n"
            << recent();
        ASSERT_EQ(controller_->IsModified(), model.saved != model.position)
            << "seed " << seed << ", after:\n"
            << recent();
        ASSERT_EQ(controller_->History().StepCount(), model.states.size() - 1);
    }
    EXPECT_GE(commands, 200);
    EXPECT_GE(steps, 100) << "most commands should change something";

    const Bytes last = model.states.back();
    while (controller_->Redo()) {
    }
    EXPECT_TRUE(bytesOf(document()) == last) << "seed " << seed;
    while (controller_->Undo()) {
    }
    EXPECT_TRUE(bytesOf(document()) == model.states.front()) << "seed " << seed;
    EXPECT_TRUE(bytesOf(document()) == start) << "seed " << seed;
    while (controller_->Redo()) {
    }
    EXPECT_TRUE(bytesOf(document()) == last) << "seed " << seed;
}

} // namespace
