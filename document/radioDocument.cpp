#include "document/radioDocument.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/notificationHub.h"
#include "document/appCellContext.h"
#include "overlay/overlayTexts.h"
#include "radio/cellEngine.h"
#include "radio/imagePreparation.h"

#include <cstring>

namespace marlo {

namespace {

constexpr char makerSignature[] = "VEXA Inc";
// The highest address the cell catalogue reaches is the last call-kind mirror byte.
constexpr std::int32_t catalogueImageExtent = 33268;

bool signatureDiffers(const MemoryImage& image) {
    return std::memcmp(image.Data() + marloImageMap::signatureAddress, makerSignature,
                       marloImageMap::signatureLength) != 0;
}

} // namespace

RadioDocument::RadioDocument(std::vector<std::string> args)
    : Document(marloModel::imageSize, marloModel::overlayBaseName), args_(std::move(args)) {
    Initialize();
}

RadioDocument::~RadioDocument() = default;

void RadioDocument::Initialize() {
    Document::Initialize();
    modes_ = readModeSwitches(
        args_, [] { return OverlayTexts::App().GetLine("GI_StatusPanel_Expert", 0); }, timeSeed());
    SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
}

std::string RadioDocument::VariantName() const {
    return OverlayTexts::App().GetLine("GI_AppInd_Model", ModelVariant());
}

int RadioDocument::ImageRejected(const MemoryImage& image, bool strict) {
    if (image.Size() < ImageSize())
        return 1;
    if (!MapRevisionAccepted(image.GetByte(marloModel::mapRevisionAddress)))
        return 1;
    // Only the model's variants have an initial file to adapt the image to.
    if (image.GetByte(marloImageMap::variantAddress) >= VariantCount())
        return 1;
    return strict && signatureDiffers(image) ? 1 : 0;
}

void RadioDocument::AfterLoad(MemoryImage& image) {
    if (image.IsValidAddress(marloImageMap::variantAddress))
        ChangeModel(image.GetByte(marloImageMap::variantAddress), false);
    PrepareImage(image, false);
    NotificationHub::App().Post(evDocumentReloaded);
}

void RadioDocument::PrepareImage(MemoryImage& image, bool forSending) {
    PrepareModes modes;
    modes.forSending = forSending;
    modes.factory = FactoryMode();
    modes.variant = ModelVariant();
    modes.identity = Identity();
    prepareImage(image, ReferenceImage(), modes);
}

CloneWriteImage RadioDocument::MakeCloneWriteImage() {
    return makeCloneWriteImage(CurrentImage(), LastRadioInfo, FactoryMode());
}

void RadioDocument::CloneWriteDone(int code) {
    // The next radio made in the factory gets an identity of its own.
    if (FactoryMode())
        drawIdentityDigits(modes_.identity, timeSeed());
    Document::CloneWriteDone(code);
}

bool RadioDocument::MapRevisionAccepted(int revision) {
    return revision == marloModel::mapRevision;
}

AppCellContext& RadioDocument::CellContext() {
    if (!cellContext_)
        cellContext_ = std::make_unique<AppCellContext>(*this);
    return *cellContext_;
}

void RadioDocument::CheckWarnings(int& errors, int& warnings) {
    CellEngine engine(CellContext());
    lastCheck_ = checkWarnings(engine, OverlayTexts::App());
    errors = lastCheck_.errors;
    warnings = lastCheck_.warnings;
}

int RadioDocument::VariantCount() const {
    return marloModel::variantCount;
}

RangeList RadioDocument::CloneRange() const {
    return marloModel::cloneRange;
}

std::int32_t RadioDocument::CatalogueExtent() const {
    return catalogueImageExtent;
}

int RadioDocument::MapRevision() const {
    return marloModel::mapRevision;
}

} // namespace marlo
