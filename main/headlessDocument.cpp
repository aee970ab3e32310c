#include "main/headlessDocument.h"

#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "main/cuiMain.h"

namespace {

// A ModelType no variant has, so that the change below always loads the file.
constexpr std::uint8_t noVariant = 0xFF;

} // namespace

void cmcStartHeadlessDocument(cuiMain& controller, int variant) {
    if (variant < 0 || variant >= controller.VariantCount())
        variant = 0;
    // ChangeModel loads the variant's initial file as the reference image, but
    // only when the variant changes.
    cmcEnviron::App().ModelType = noVariant;
    controller.ChangeModel(variant, false);
    controller.CurrentImage().Assign(controller.ReferenceImage());
    controller.ComparisonImage().Assign(controller.ReferenceImage());
    controller.TakeSaved();
    controller.SetDocumentName({});
}
