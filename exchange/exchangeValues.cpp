#include "exchange/exchangeValues.h"

#include "radio/codecSteps.h"
#include "radio/codecText.h"

#include <algorithm>
#include <cctype>

namespace marlo {

namespace exchangeValue {

namespace {

using Form = ValueForm;

bool isNumeric(Form form) {
    return form == Form::Decimal || form == Form::Frequency || form == Form::Transmit ||
           form == Form::Timer;
}

// A number written the one way: no sign for 0, no leading zeros, no trailing
// decimal zeros. None when the text holds no digit.
std::optional<std::string> canonicalNumber(std::string_view text) {
    const std::string kept = codec::filter(text, ".-");
    if (kept.find_first_of("0123456789") == std::string::npos)
        return std::nullopt;
    const bool negative = !kept.empty() && kept.front() == '-';
    std::string whole;
    std::string fraction;
    bool inFraction = false;
    for (const char c : kept) {
        if (c == '.') {
            if (inFraction)
                break;
            inFraction = true;
        } else if (c != '-') {
            (inFraction ? fraction : whole) += c;
        }
    }
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    std::string number = whole.empty() ? "0" : whole;
    if (!fraction.empty())
        number += "." + fraction;
    if (negative && number != "0")
        number = "-" + number;
    return number;
}

bool sameNumber(std::string_view a, std::string_view b) {
    const std::string ta = codec::trimSpaces(a);
    const std::string tb = codec::trimSpaces(b);
    if (ta.empty() || tb.empty())
        return ta.empty() && tb.empty();
    const auto na = canonicalNumber(ta);
    return na && na == canonicalNumber(tb);
}

// A channel range as the codec reads it: "20-5" is "5-20", "7-7" is "7", "0" none.
std::string canonicalRange(std::string_view text) {
    const std::string kept = codec::filter(text, "-");
    if (kept.empty())
        return {};
    const std::size_t dash = kept.find('-');
    const std::string first = kept.substr(0, dash);
    const std::string second = dash == std::string::npos ? std::string() : kept.substr(dash + 1);
    std::int64_t a = first.empty() ? 1 : codec::leadingDigits(first);
    std::int64_t b = second.empty() ? a : codec::leadingDigits(second);
    if (b < a)
        std::swap(a, b);
    if (a == 0)
        a = b;
    if (a == 0)
        return {};
    return a == b ? std::to_string(a) : std::to_string(a) + "-" + std::to_string(b);
}

// The UTF-8 characters of a text, each as its bytes.
std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> all;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        all.push_back(text.substr(i, n));
        i += n;
    }
    return all;
}

std::string tooLong(int length) {
    return "longer than " + std::to_string(length) + " characters";
}

std::string cannotStore(std::string_view character, std::string_view what) {
    return "the radio cannot store the character '" + std::string(character) + "' " +
           std::string(what);
}

// A channel range as spreadsheets write it: an en or em dash, "..", or "to"
// between the numbers, spaces around them. The codec's filter would drop such a
// separator and join the numbers ("5..9" as 59); it reads only "5-9".
std::string rangeWithDash(const std::string& text) {
    std::string dashed = text;
    for (const std::string_view separator :
         {"\xE2\x80\x93", "\xE2\x80\x94", "..", "to", "TO", "To"}) {
        for (std::size_t at = dashed.find(separator); at != std::string::npos;
             at = dashed.find(separator, at + 1))
            dashed.replace(at, separator.size(), "-");
    }
    const std::size_t dash = dashed.find('-');
    if (dash == std::string::npos)
        return text;
    return codec::trimSpaces(dashed.substr(0, dash)) + "-" +
           codec::trimSpaces(dashed.substr(dash + 1));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The first character of `text` the codec's filter would drop or misread: what
// is left after an optional "-", digits, and one "." with more digits (a number),
// or after digits and one "-" (a range). npos when it reads the whole text.
std::size_t firstUnread(std::string_view text, bool range) {
    std::size_t i = 0;
    const auto digits = [&] {
        while (i < text.size() && isDigit(text[i]))
            ++i;
    };
    if (!range && i < text.size() && text[i] == '-')
        ++i;
    digits();
    if (i < text.size() && text[i] == (range ? '-' : '.')) {
        ++i;
        digits();
    }
    return i == text.size() ? std::string_view::npos : i;
}

// Why the cell's filter would not read the typed value as written, so that the
// check of what it stored could never see the difference ("12 (old 15)" as
// 1215, "7e3" as 73). Empty when it reads all of it.
std::string unreadable(Form form, std::string_view text) {
    const bool number = form == Form::Decimal || form == Form::Frequency ||
                        (form == Form::Transmit && text != "<-") ||
                        (form == Form::Timer && text.find_first_of("0123456789") != text.npos);
    if (!number && form != Form::Range)
        return {};
    const std::size_t at = firstUnread(text, form == Form::Range);
    if (at == std::string_view::npos)
        return {};
    const std::string_view character = characters(text.substr(at)).front();
    return form == Form::Range
               ? "'" + std::string(character) + "' cannot be read in a channel range (write 5-9)"
               : "'" + std::string(character) +
                     "' cannot be read in a number (digits, one point, a leading minus)";
}

} // namespace

std::string typedForm(Form form, std::string_view value, bool decimalComma, std::string& problem) {
    problem.clear();
    std::string text = codec::trimSpaces(value);
    if (form == Form::Range)
        text = rangeWithDash(text);
    if (isNumeric(form) && text.find(',') != std::string::npos) {
        if (!decimalComma || text.find('.') != std::string::npos) {
            problem = decimalComma ? "a number with a thousands separator cannot be read"
                                   : "a comma in a number cannot be read: use a point for decimals";
            return text;
        }
        std::replace(text.begin(), text.end(), ',', '.');
    }
    problem = unreadable(form, text);
    return text;
}

std::string unstorable(Form form, int length, std::string_view value) {
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return "line breaks and control characters cannot be stored";
    }
    const std::vector<std::string_view> chars = characters(value);
    const auto count = static_cast<int>(chars.size());
    switch (form) {
    case Form::Name:
    case Form::Printable:
    case Form::Ale:
        if (count > length)
            return tooLong(length);
        break;
    case Form::Digits:
        if (count > length)
            return "more than " + std::to_string(length) + " digits";
        break;
    default:
        return {};
    }
    for (const std::string_view c : chars) {
        const bool single = c.size() == 1;
        if (form == Form::Name && !(single && codec::kNameAlphabet.find(c[0]) != c.npos))
            return cannotStore(c, "in a name (letters A-Z, digits, space and _-/.'()*+<=>@)");
        if (form == Form::Printable && !single)
            return cannotStore(c, "(printable ASCII only)");
        if (form == Form::Ale && !(single && codec::kAleAlphabet.find(c[0]) != c.npos))
            return cannotStore(c, "in an ALE address (letters A-Z, digits and @?_)");
        if (form == Form::Digits && !(single && std::isdigit(static_cast<unsigned char>(c[0]))))
            return "only digits can be stored";
    }
    return {};
}

bool sameChoice(std::string_view a, std::string_view b) {
    const std::string ta = codec::trimSpaces(a);
    const std::string tb = codec::trimSpaces(b);
    return std::equal(ta.begin(), ta.end(), tb.begin(), tb.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool holds(Form form, std::string_view value, std::string_view shown, std::string_view receive) {
    switch (form) {
    case Form::Decimal:
    case Form::Frequency:
        return sameNumber(value, shown);
    case Form::Transmit:
        return sameNumber(codec::trimSpaces(value) == "<-" ? receive : value,
                          codec::trimSpaces(shown) == "<-" ? receive : shown);
    case Form::Timer:
        if (sameNumber(value, shown) || sameChoice(value, shown))
            return true;
        // 0 shows the cell's word for it.
        return canonicalNumber(value) == "0" && !canonicalNumber(shown);
    case Form::Range:
        return canonicalRange(value) == canonicalRange(shown);
    case Form::Choice:
    case Form::Ale:
        return sameChoice(value, shown);
    case Form::Name:
    case Form::Printable:
    case Form::Digits:
    case Form::Shown:
        break;
    }
    return codec::trimSpaces(value) == codec::trimSpaces(shown);
}

} // namespace exchangeValue

} // namespace marlo
