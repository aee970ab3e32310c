#include "sheets/cellParser.h"

#include "overlay/overlayTexts.h"
#include "platform/fatalError.h"
#include "sheets/cellNames.h"
#include "sheets/textUtil.h"

#include <algorithm>
#include <string>
#include <vector>

namespace marlo {

namespace {

constexpr std::string_view kCellModelPrefix = "CellModel_";
// Named models taken within one another; real overlays nest three or four.
constexpr std::size_t kMaxModelDepth = 64;
// Named models taken for one cell: a short chain whose models each take the next
// one twice would otherwise run for hours.
constexpr std::size_t kMaxModelUses = 4096;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "@chN" at the start of `text`, one digit and no second one, with counters to
// read: the counter N. Anything else is a broken overlay line.
std::int32_t& counterAt(std::string_view text, const CellModel& model) {
    const bool wellFormed = text.size() >= 4 && text.starts_with("@ch") && isDigit(text[3]) &&
                            (text.size() == 4 || !isDigit(text[4]));
    if (!wellFormed || model.counters == nullptr)
        fatalError("Ch No. Error");
    return (*model.counters)[static_cast<std::size_t>(text[3] - '0')];
}

std::int32_t wrappingAdd(std::int32_t a, std::int64_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Every backslash removed, the character after it kept.
std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && ++i == text.size())
            break;
        out += text[i];
    }
    return out;
}

struct FlagLetter {
    char letter;
    bool inLayout; // else a behaviour bit
    std::uint8_t mask;
    std::uint8_t value;
    bool clearable; // '!' before it clears the bit
};

constexpr FlagLetter kFlagLetters[] = {
    {'<', true, CellLayout::HAlignMask, 0, false},
    {'^', true, CellLayout::HAlignMask, 1, false},
    {'>', true, CellLayout::HAlignMask, 2, false},
    {'~', true, CellLayout::VAlignMask, 0 << CellLayout::VAlignShift, false},
    {'-', true, CellLayout::VAlignMask, 1 << CellLayout::VAlignShift, false},
    {'_', true, CellLayout::VAlignMask, 2 << CellLayout::VAlignShift, false},
    {'W', true, CellLayout::FitWidth, CellLayout::FitWidth, true},
    {'H', true, CellLayout::FitHeight, CellLayout::FitHeight, true},
    {'+', true, CellLayout::Continues, CellLayout::Continues, true},
    {'B', true, CellLayout::Rule, CellLayout::Rule, true},
    {'S', false, CellBehaviour::Selectable, CellBehaviour::Selectable, true},
    {'T', false, CellBehaviour::Tail, CellBehaviour::Tail, true},
};

// Applies attribute text to one model; remembers the named models being applied
// so that a model that refers to itself, nests too deep or is taken too often
// ends with a message naming it instead of recursing.
class AttributeReader {
public:
    AttributeReader(OverlayTexts& models, CellModel& model) : models_(models), model_(model) {}

    void Apply(std::string_view text) {
        bool negate = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\\') {
                ++i; // the next character is ordinary, so no flag
            } else if (c == '(') {
                std::size_t end = i + 1;
                while (end < text.size() && (text[end] != ')' || text[end - 1] == '\\'))
                    ++end;
                Group(text.substr(i + 1, end - i - 1));
                i = end;
            } else if (c == '!') {
                negate = true;
                continue;
            } else {
                Flag(c, negate);
            }
            negate = false;
        }
    }

private:
    void Flag(char c, bool clear) {
        for (const auto& f : kFlagLetters) {
            if (f.letter != c)
                continue;
            std::uint8_t& bits = f.inLayout ? model_.layout : model_.behaviour;
            const std::uint8_t value = clear && f.clearable ? 0 : f.value;
            bits = static_cast<std::uint8_t>((bits & ~f.mask) | value);
            return;
        }
    }

    // The text after the first '=' of a group, or nothing without one.
    static std::optional<std::string_view> ValueOf(std::string_view group) {
        const auto at = group.find('=');
        if (at == std::string_view::npos)
            return std::nullopt;
        return group.substr(at + 1);
    }

    void Group(std::string_view g) {
        if (g.starts_with('$'))
            NamedModel(g.substr(1));
        else if (g.starts_with("Color"))
            Colour(g);
        else if (g.starts_with("Font"))
            Font(g);
        else if (g.starts_with('%'))
            Reference(g.substr(1));
        else if (g.starts_with('@'))
            CounterCommand(g);
        else if (g.starts_with("ImageIndex"))
            ImageIndex(g);
        else if (g.starts_with("PopupMenu"))
            PopupMenu(g);
        else if (g.starts_with("Flag"))
            UserFlag(g);
    }

    void NamedModel(std::string_view name) {
        const std::string key = std::string(kCellModelPrefix) + std::string(name);
        if (std::find(active_.begin(), active_.end(), key) != active_.end())
            fatalError("Cell model refers to itself.\n'" + key + "'");
        if (active_.size() >= kMaxModelDepth)
            fatalError("Cell models nest more than " + std::to_string(kMaxModelDepth) +
                       " deep.\n'" + key + "'");
        if (++uses_ > kMaxModelUses)
            fatalError("Cell models are taken more than " + std::to_string(kMaxModelUses) +
                       " times in one cell.\n'" + key + "'");
        active_.push_back(key);
        const std::string line = models_.GetLine(key, 0);
        Apply(line);
        active_.pop_back();
    }

    void Colour(std::string_view g) {
        if (const auto name = ValueOf(g))
            colourFromName(*name, model_.colour);
    }

    void Font(std::string_view g) {
        if (!model_.font) {
            const CellModel* parent = model_.parent;
            model_.font = parent && parent->font ? std::make_unique<CellFont>(*parent->font)
                                                 : std::make_unique<CellFont>();
        }
        if (const auto spec = ValueOf(g))
            model_.font->ApplySpec(*spec);
    }

    // [category.]label[[index]][:parameter]
    void Reference(std::string_view r) {
        const auto dot = r.find('.');
        if (dot != std::string_view::npos && (dot == 0 || r[dot - 1] != '\\')) {
            model_.category = categoryNumber(r.substr(0, dot));
            r.remove_prefix(dot + 1);
        }
        const std::string_view label = textUpTo(r, "[:");
        model_.label = labelNumber(label);
        r.remove_prefix(label.size());
        if (r.starts_with('[')) {
            const std::string_view index = textUpTo(r.substr(1), "]");
            model_.index = index.starts_with('@') ? counterAt(index, model_) : readDecimal(index);
            r.remove_prefix(std::min(r.size(), index.size() + 2));
        }
        if (const auto colon = r.find(':'); colon != std::string_view::npos)
            model_.parameter = unescaped(r.substr(colon + 1));
    }

    void CounterCommand(std::string_view g) {
        std::int32_t& counter = counterAt(g, model_);
        const std::string_view rest = skipBlanks(g.substr(4));
        if (rest.starts_with("++"))
            counter = wrappingAdd(counter, 1);
        else if (rest.starts_with('='))
            counter = readDecimal(rest.substr(1));
    }

    void ImageIndex(std::string_view g) {
        if (const auto value = ValueOf(g))
            model_.imageIndex = readDecimal(*value);
    }

    void PopupMenu(std::string_view g) {
        if (const auto value = ValueOf(g))
            model_.popupMenu = std::string(*value);
    }

    void UserFlag(std::string_view g) {
        if (g.size() < 7 || g[4] < '0' || g[4] > '3' || g[5] != '=' || (g[6] != '0' && g[6] != '1'))
            return;
        const auto bit = static_cast<std::uint8_t>(CellBehaviour::Flag0 << (g[4] - '0'));
        model_.behaviour = static_cast<std::uint8_t>(g[6] == '1' ? model_.behaviour | bit
                                                                 : model_.behaviour & ~bit);
    }

    OverlayTexts& models_;
    CellModel& model_;
    std::vector<std::string> active_;
    std::size_t uses_ = 0;
};

// Blanks and control characters; bytes of 0x80 and above are text.
bool isTrimmed(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b <= 0x20 || b == 0x7F;
}

std::string_view trimmedDisplay(std::string_view text) {
    while (!text.empty() && isTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

// "@chN[ ...][+k]" up to the closing parenthesis: counter N plus k, at most six
// characters of its decimal form.
std::string counterExpression(std::string_view expr, const CellModel& model) {
    std::int64_t value = counterAt(expr, model);
    const std::string_view rest = skipBlanks(expr.substr(4));
    if (rest.starts_with('+'))
        value += readDecimal(rest.substr(1));
    return std::to_string(value).substr(0, 6);
}

std::string displayText(std::string_view raw, const CellModel& model) {
    const std::string_view text = trimmedDisplay(raw);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            break; // a lone backslash at the end stands for nothing
        switch (text[i]) {
        case 'n':
        case 'N':
            out += '\n';
            break;
        case '_':
            out += ' ';
            break;
        case '(': {
            const std::string_view expr = textUpTo(text.substr(i + 1), ")");
            out += counterExpression(expr, model);
            i += expr.size() + 1; // onto the ')' (or the end)
            break;
        }
        default:
            out += text[i];
            break;
        }
    }
    return out;
}

} // namespace

std::string_view CellParser::CellText(std::string_view line, std::string_view* rest) {
    std::size_t i = 0;
    while (i < line.size() && line[i] != '|')
        i += line[i] == '\\' ? 2 : 1;
    if (i >= line.size()) {
        *rest = {};
        return line;
    }
    *rest = line.substr(i + 1);
    return line.substr(0, i);
}

std::size_t CellParser::CountCells(std::string_view line) {
    std::size_t count = 0;
    while (!line.empty()) {
        CellText(line, &line);
        ++count;
    }
    return count;
}

std::string_view CellParser::SplitCell(std::string_view line, CellModel& model,
                                       const CellModel* parent, ChannelCounters* counters,
                                       bool countOnly) const {
    std::string_view rest;
    const std::string_view cell = CellText(line, &rest);
    model.parent = parent;
    model.Reset();
    if (countOnly)
        return rest;

    std::string attributes;
    std::string display;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '{') {
            display += cell[i];
            continue;
        }
        const std::string_view inside = textUpTo(cell.substr(i + 1), "}");
        attributes += inside;
        i += inside.size() + 1;
    }
    model.counters = counters;
    ApplyAttributes(model, attributes);
    const std::string shown = displayText(display, model);
    model.counters = nullptr;
    if (shown.empty())
        model.text.reset();
    else
        model.text = shown;
    return rest;
}

void CellParser::ApplyAttributes(CellModel& model, std::string_view attributes) const {
    AttributeReader(models_, model).Apply(attributes);
}

} // namespace marlo
