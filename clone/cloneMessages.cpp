#include "clone/cloneMessages.h"

#include "clone/cloneResult.h"
#include "overlay/overlayTexts.h"

#include <initializer_list>
#include <iterator>

namespace marlo {

namespace {

using R = CloneResult;

constexpr std::uint8_t lastCode = R::codeWriteFailed;
constexpr int generalLine = 1;

std::string checkLines(std::initializer_list<int> lines) {
    OverlayTexts& texts = OverlayTexts::App();
    std::string text;
    for (const int n : lines) {
        if (!text.empty())
            text += '\n';
        text += texts.GetLine("GI_Mess_CloneErr_Check", n);
    }
    return text;
}

// The overlay entry of each kind, in the order of PortFailure::Kind.
constexpr const char* kPortFailureEntries[] = {
    nullptr,
    "GI_Mess_PortErr_NoSuchPort",
    "GI_Mess_PortErr_BadSettings",
    "GI_Mess_PortErr_Missing",
    "GI_Mess_PortErr_Permission",
    "GI_Mess_PortErr_Busy",
    "GI_Mess_PortErr_NotSerial",
    "GI_Mess_PortErr_Vanished",
    "GI_Mess_PortErr_Stalled",
    "GI_Mess_PortErr_Other",
};
static_assert(std::size(kPortFailureEntries) == PortFailure::Other + 1);

// "%1".."%3" replaced by the values; the overlay is the installation's, so its
// text is never handed to printf.
std::string filled(const std::string& format, std::initializer_list<const std::string*> values) {
    std::string text;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const std::size_t n = i + 1 < format.size() ? std::size_t(format[i + 1] - '1') : 99;
        if (format[i] == '%' && n < values.size()) {
            text += *values.begin()[n];
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

std::string checksFor(std::uint8_t code) {
    switch (code) {
    case R::codeWriteRefused:
        return checkLines({0, 2, 3});
    case R::codeInfoMismatch:
    case 12:
        return checkLines({0, 1, 2, 3, 4, 5});
    case R::codeModelUnknown:
        return checkLines({0, 4, 5});
    case R::codeImageNewer:
        return {};
    default:
        return checkLines({0, 1, 2, 3});
    }
}

} // namespace

std::string formatPortLine(const std::string& format, const std::string& value) {
    std::string text;
    bool filled = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c == '%' && next == '%') {
            text += '%';
            ++i;
        } else if (c == '%' && !filled && (next == 'd' || next == 's')) {
            text += value;
            filled = true;
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

std::string portFailureText(const PortFailure& failure) {
    if (!failure.Failed() ||
        static_cast<std::size_t>(failure.kind) >= std::size(kPortFailureEntries))
        return {};
    OverlayTexts& texts = OverlayTexts::App();
    const char* entry = kPortFailureEntries[failure.kind];
    const auto values = {&failure.device, &failure.reason, &failure.detail};
    std::string text = filled(texts.GetLine(entry, 0), values);
    // Line 1 only with a detail: without one it may be the next entry's header.
    if (!failure.detail.empty())
        text += "\n" + filled(texts.GetLine(entry, 1), values);
    return text;
}

std::string cloneMessage(std::uint8_t code, const std::string& port,
                         const PortFailure& portFailure) {
    if (code == R::codeSuccess)
        return {};
    if (code == R::codeModelMismatch)
        return OverlayTexts::App().GetText("GI_Mess_ModelError");
    // The entry has a line per code up to the last one; reading past it would
    // take whatever entry follows, so unknown codes get the general line 1.
    const int line = code <= lastCode ? code : generalLine;
    const std::string head = OverlayTexts::App().GetLine("GI_Mess_CloneErr_Head", line);
    std::string text = code == R::codePortError ? formatPortLine(head, port) : head;
    if (portFailure.Failed())
        text += "\n" + portFailureText(portFailure);
    return text + "\n\n" + checksFor(code);
}

} // namespace marlo
