#include "document/indCloneChecks.h"

#include "clone/dst_CDrv_Result.h"
#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "document/cmcDocument.h"
#include "radio/imagePreparation.h"

#include <algorithm>

namespace {

using R = dst_CDrv_Result;

std::uint8_t informationCode(cmcDocument& controller, const R& result) {
    if (result.identification1 != static_cast<std::uint32_t>(controller.ModelCodeFirst()) ||
        result.identification2 != static_cast<std::uint32_t>(controller.ModelCodeSecond()))
        return R::codeInfoMismatch;
    dstRadioInfo& info = controller.RadioInfo;
    info.value1 = static_cast<std::uint16_t>(result.identification1);
    info.value2 = static_cast<std::uint16_t>(result.identification2);
    info.block.fill(0); // nothing of an earlier radio may pass for this one's

    const cmcBuff& block = result.information;
    const auto length = static_cast<std::size_t>(block.Count());
    if (length < info.block.size() || block.Data()[0] != length)
        return R::codeInfoMismatch;
    std::copy_n(block.Data(), info.block.size(), info.block.begin());

    if (!controller.MapRevisionAccepted(info.block[marloInfoBlock::mapRevision]))
        return R::codeModelUnknown;
    const cmcEeprom& document = controller.CurrentImage();
    if (!document.IsValidAddress(marloImageMap::variantAddress) ||
        info.block[marloInfoBlock::variant] != document.GetByte(marloImageMap::variantAddress))
        return R::codeModelMismatch;
    return R::codeSuccess;
}

} // namespace

void indCheckInformation(cmcDocument& controller, dst_CDrv_Result& result) {
    if (result.code == R::codeSuccess)
        result.code = informationCode(controller, result);
}

void indCheckRead(cmcDocument& controller, dst_CDrv_Result& result) {
    if (result.code != R::codeSuccess)
        return;
    if (controller.ImageRejected(result.image, true) != 0)
        result.code = R::codeImageRejected;
    else if (controller.ImageNewer(result.image) != 0)
        result.code = R::codeImageNewer;
}

void indInstallCloneChecks(indCloneMan& manager, cmcDocument& controller) {
    manager.SetInformationCheck(
        [&controller](R& result) { indCheckInformation(controller, result); });
    manager.SetReadCheck([&controller](R& result) { indCheckRead(controller, result); });
}
