#include "radio/imagePreparation.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "radio/listRecord.h"

#include <cstdint>

namespace marlo {

using namespace marloImageMap;

namespace {

// The lists whose unused entries take the reference's contents.
constexpr std::uint8_t preparedLists[] = {listUserChannel, listSelCallId, listAleId, listTelNumber};

// Mode registration 1's use flag, then a setup byte and four more.
constexpr int modeOneUseAddress = 0x3BBA;
constexpr int setupAddress = 0x3BC4;
constexpr int setupLength = 5;
// Mode registrations 0, 7 and 8 keep the names the radio gives them.
constexpr int modeNamesAddress = 0x3C31;
constexpr int modeNameLength = 5;
constexpr int fixedModeNames[] = {0, 7, 8};

constexpr int optionAddress = 0x02B2;
constexpr std::uint8_t optionRadioBit = 0x40;
constexpr int option2Address = 0x02B4;

void copyBlock(MemoryImage& image, const MemoryImage& reference, int address, int length) {
    for (int a = address; a < address + length; ++a)
        image.SetByte(a, reference.GetByte(a));
}

void prepareList(MemoryImage& image, const MemoryImage& reference, std::uint8_t listType) {
    // A list record binds a writable image; the reference is only loaded from.
    ListRecord fromReference(const_cast<MemoryImage*>(&reference));
    ListRecord entry(&image);
    for (std::int32_t i = ListRecord::FirstIndex(listType); i <= ListRecord::LastIndex(listType);
         ++i) {
        entry.Load(listType, i);
        if (!entry.isUsed()) {
            fromReference.Load(listType, i);
            entry = fromReference;
            entry.Bind(&image);
        }
        entry.Store(listType, i);
    }
}

} // namespace

void prepareImage(MemoryImage& image, const MemoryImage& reference, const PrepareModes& modes) {
    if (image.Size() < marloModel::imageSize || reference.Size() < marloModel::imageSize)
        return;

    copyBlock(image, reference, signatureAddress, signatureLength);
    copyBlock(image, reference, marloModel::mapRevisionAddress, 1);

    for (std::uint8_t listType : preparedLists)
        prepareList(image, reference, listType);

    copyBlock(image, reference, modeOneUseAddress, 1);
    copyBlock(image, reference, setupAddress, setupLength);
    for (int mode : fixedModeNames)
        copyBlock(image, reference, modeNamesAddress + modeNameLength * mode, modeNameLength);

    const std::uint8_t option = image.GetByte(optionAddress);
    image.SetByte(optionAddress,
                  static_cast<std::uint8_t>((option & ~optionRadioBit) |
                                            (reference.GetByte(optionAddress) & optionRadioBit)));
    copyBlock(image, reference, option2Address, 1);

    if (modes.factory && modes.forSending) {
        if (modes.variant == 0)
            image.Write(identityAddress, modes.identity.data(),
                        static_cast<std::int32_t>(modes.identity.size()));
        copyBlock(image, reference, factoryByteAddress, 1);
    }
}

} // namespace marlo
