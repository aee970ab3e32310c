#include "cli/headlessDocument.h"

#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "document/cmcDocument.h"

namespace {

// A ModelType no variant has, so that the change below always loads the file.
constexpr std::uint8_t noVariant = 0xFF;

} // namespace

void cmcStartHeadlessDocument(cmcDocument& controller, int variant) {
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

cmcVcfFile::Code cmcReadDocumentFile(cmcDocument& controller, const std::string& path,
                                     cmcEeprom& image) {
    // The desktop program's own Open steps, so the tools never accept a file it refuses.
    return controller.OpenImage(path, image);
}

cmcVcfFile::Code cmcOpenHeadlessDocument(cmcDocument& controller, const std::string& path) {
    cmcEeprom file;
    const cmcVcfFile::Code code = cmcReadDocumentFile(controller, path, file);
    if (code != cmcVcfFile::Ok)
        return code;
    cmcEeprom& document = controller.CurrentImage();
    document.Assign(file);
    controller.AfterLoad(document);
    controller.TakeSaved();
    controller.SetDocumentName(path);
    return code;
}
