#include "document/indDocument.h"

#include "core/cmcEeprom.h"
#include "core/modelIdentity.h"
#include "document/indMainCellContext.h"
#include "overlay/cmcGTex.h"
#include "radio/imagePreparation.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcEvMan.h"

#include <cstring>

namespace {

constexpr char makerSignature[] = "VEXA Inc";
// The highest address the cell catalogue reaches is the last call-kind mirror byte.
constexpr std::int32_t catalogueImageExtent = 33268;

bool signatureDiffers(const cmcEeprom& image) {
    return std::memcmp(image.Data() + marloImageMap::signatureAddress, makerSignature,
                       marloImageMap::signatureLength) != 0;
}

} // namespace

indDocument::indDocument(std::vector<std::string> args)
    : cmcDocument(marloModel::imageSize, marloModel::overlayBaseName), args_(std::move(args)) {
    Initialize();
}

indDocument::~indDocument() = default;

void indDocument::Initialize() {
    cmcDocument::Initialize();
    modes_ = cmcReadModeSwitches(
        args_, [] { return cmcGTex::App().GetLine("GI_StatusPanel_Expert", 0); }, cmcTimeSeed());
    SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
}

std::string indDocument::VariantName() const {
    return cmcGTex::App().GetLine("GI_AppInd_Model", ModelVariant());
}

int indDocument::ImageRejected(const cmcEeprom& image, bool strict) {
    if (image.Size() < ImageSize())
        return 1;
    if (!MapRevisionAccepted(image.GetByte(marloModel::mapRevisionAddress)))
        return 1;
    // Only the model's variants have an initial file to adapt the image to.
    if (image.GetByte(marloImageMap::variantAddress) >= VariantCount())
        return 1;
    return strict && signatureDiffers(image) ? 1 : 0;
}

void indDocument::AfterLoad(cmcEeprom& image) {
    if (image.IsValidAddress(marloImageMap::variantAddress))
        ChangeModel(image.GetByte(marloImageMap::variantAddress), false);
    PrepareImage(image, false);
    cmcEvMan::App().Post(evDocumentReloaded);
}

void indDocument::PrepareImage(cmcEeprom& image, bool forSending) {
    dstPrepareModes modes;
    modes.forSending = forSending;
    modes.factory = FactoryMode();
    modes.variant = ModelVariant();
    modes.identity = IdentityDigits();
    cmcPrepareImage(image, ReferenceImage(), modes);
}

dstCloneWriteImage indDocument::MakeCloneWriteImage() {
    return cmcMakeCloneWriteImage(CurrentImage(), RadioInfo, FactoryMode());
}

void indDocument::CloneWriteDone(int code) {
    // The next radio made in the factory gets an identity of its own.
    if (FactoryMode())
        cmcDrawIdentityDigits(modes_.identity, cmcTimeSeed());
    cmcDocument::CloneWriteDone(code);
}

bool indDocument::MapRevisionAccepted(int revision) {
    return revision == marloModel::mapRevision;
}

indMainCellContext& indDocument::CellContext() {
    if (!cellContext_)
        cellContext_ = std::make_unique<indMainCellContext>(*this);
    return *cellContext_;
}

void indDocument::CheckWarnings(int& errors, int& warnings) {
    indActiveCell engine(CellContext());
    lastCheck_ = cmcCheckWarnings(engine, cmcGTex::App());
    errors = lastCheck_.errors;
    warnings = lastCheck_.warnings;
}

int indDocument::VariantCount() const {
    return marloModel::variantCount;
}

cmcRangeList indDocument::CloneRange() const {
    return marloModel::cloneRange;
}

std::int32_t indDocument::CatalogueExtent() const {
    return catalogueImageExtent;
}

int indDocument::MapRevision() const {
    return marloModel::mapRevision;
}
