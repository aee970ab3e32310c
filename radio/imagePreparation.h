#pragma once

#include "radio/identityDigits.h"

namespace marlo {

class MemoryImage;

// What an image is prepared for, and the modes that decide what may be written.
struct PrepareModes {
    bool forSending = false; // to the radio (or into a file), not just loaded
    bool factory = false;
    int variant = 0;
    IdentityDigits identity = kNoIdentityDigits;
};

// Gives `image` back the parts of the memory that belong to the radio rather
// than to the user, taken from `reference` (the factory contents of the model
// variant): the maker signature and map revision, every unused list entry, the
// fixed mode registrations and a few setup bytes. Used entries are stored back
// through their list records, which also renews the channels' call-kind copy
// that files and the radio do not carry.
//
// When sending in factory mode, variant 0 also gets the identity digits.
//
// `image` and `reference` may be the same image. Nothing is read or written
// outside either image; when one of them is smaller than the model's image the
// call does nothing.
void prepareImage(MemoryImage& image, const MemoryImage& reference, const PrepareModes& modes);

// Where the preparation reads and writes.
namespace marloImageMap {
inline constexpr int signatureAddress = 0x6C2C; // "VEXA Inc"
inline constexpr int signatureLength = 8;
inline constexpr int identityAddress = 0x6C1A; // five bytes of identity digits
inline constexpr int factoryByteAddress = 0x6C24;
inline constexpr int variantAddress = 0x02B1;
} // namespace marloImageMap

} // namespace marlo
