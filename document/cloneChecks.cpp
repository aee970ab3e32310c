#include "document/cloneChecks.h"

#include "clone/cloneManager.h"
#include "clone/cloneResult.h"
#include "core/memoryImage.h"
#include "document/document.h"
#include "radio/imagePreparation.h"

#include <algorithm>

namespace marlo {

namespace {

using R = CloneResult;

std::uint8_t informationCode(Document& controller, const R& result) {
    if (result.identification1 != static_cast<std::uint32_t>(controller.ModelCodeFirst()) ||
        result.identification2 != static_cast<std::uint32_t>(controller.ModelCodeSecond()))
        return R::codeInfoMismatch;
    RadioInfo& info = controller.LastRadioInfo;
    info.value1 = static_cast<std::uint16_t>(result.identification1);
    info.value2 = static_cast<std::uint16_t>(result.identification2);
    info.block.fill(0); // nothing of an earlier radio may pass for this one's

    const ByteQueue& block = result.information;
    const auto length = static_cast<std::size_t>(block.Count());
    if (length < info.block.size() || block.Data()[0] != length)
        return R::codeInfoMismatch;
    std::copy_n(block.Data(), info.block.size(), info.block.begin());

    if (!controller.MapRevisionAccepted(info.block[marloInfoBlock::mapRevision]))
        return R::codeModelUnknown;
    const MemoryImage& document = controller.CurrentImage();
    if (!document.IsValidAddress(marloImageMap::variantAddress) ||
        info.block[marloInfoBlock::variant] != document.GetByte(marloImageMap::variantAddress))
        return R::codeModelMismatch;
    return R::codeSuccess;
}

} // namespace

void checkInformationResult(Document& controller, CloneResult& result) {
    if (result.code == R::codeSuccess)
        result.code = informationCode(controller, result);
}

void checkReadResult(Document& controller, CloneResult& result) {
    if (result.code != R::codeSuccess)
        return;
    if (controller.ImageRejected(result.image, true) != 0)
        result.code = R::codeImageRejected;
    else if (controller.ImageNewer(result.image) != 0)
        result.code = R::codeImageNewer;
}

void installCloneChecks(CloneManager& manager, Document& controller) {
    manager.SetInformationCheck(
        [&controller](R& result) { checkInformationResult(controller, result); });
    manager.SetReadCheck([&controller](R& result) { checkReadResult(controller, result); });
}

} // namespace marlo
