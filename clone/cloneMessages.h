#pragma once

#include "clone/portFailure.h"

#include <cstdint>
#include <string>

namespace marlo {

// The words for a clone result code, from the overlay: a head line naming what
// went wrong ("GI_Mess_CloneErr_Head", line = code) and the things to check
// ("GI_Mess_CloneErr_Check"), chosen per code:
//
//   0                       no message (empty text)
//   2                       head line 2 with the port filled in; check lines 0..3
//   10                      head, check lines 0, 2, 3
//   11, 12                  head, check lines 0..5
//   13                      the text of "GI_Mess_ModelError" alone
//   14                      head, check lines 0, 4, 5
//   16                      head alone
//   4..9, 15, 17 and other  head, check lines 0..3
//
// A code past 17 has no line of its own and takes the general head line 1.
//
// The head is followed by an empty line, the check lines by single line breaks.
// `port` fills the "%d" of head line 2: a port number, or the device path when
// a device was named. `portFailure`, the port's account of what failed, follows
// the head line directly in the words of portFailureText.
std::string cloneMessage(std::uint8_t code, const std::string& port,
                         const PortFailure& portFailure = {});

// A port failure in words from the overlay entry of its kind
// ("GI_Mess_PortErr_Missing", ...): line 0 with "%1" the device and "%2" the
// system's reason, then line 1 with "%3" the detail when there is one. Empty for
// no failure.
std::string portFailureText(const PortFailure& failure);

// `format` with its first "%d" (or "%s") replaced by `value` and "%%" by "%";
// anything else after a "%" is kept as it stands. The overlay is the
// installation's, so its text is never handed to printf.
std::string formatPortLine(const std::string& format, const std::string& value);

} // namespace marlo
