#include "cli/headlessDocument.h"

#include "core/memoryImage.h"
#include "core/settingsStore.h"
#include "document/document.h"

namespace marlo {

namespace {

// A ModelType no variant has, so that the change below always loads the file.
constexpr std::uint8_t noVariant = 0xFF;

} // namespace

void startHeadlessDocument(Document& controller, int variant) {
    if (variant < 0 || variant >= controller.VariantCount())
        variant = 0;
    // ChangeModel loads the variant's initial file as the reference image, but
    // only when the variant changes.
    SettingsStore::App().ModelType = noVariant;
    controller.ChangeModel(variant, false);
    controller.CurrentImage().Assign(controller.ReferenceImage());
    controller.ComparisonImage().Assign(controller.ReferenceImage());
    controller.TakeSaved();
    controller.SetDocumentName({});
}

CloneFile::Code readDocumentFile(Document& controller, const std::string& path,
                                 MemoryImage& image) {
    // The desktop program's own Open steps, so the tools never accept a file it refuses.
    return controller.OpenImage(path, image);
}

CloneFile::Code openHeadlessDocument(Document& controller, const std::string& path) {
    MemoryImage file;
    const CloneFile::Code code = readDocumentFile(controller, path, file);
    if (code != CloneFile::Ok)
        return code;
    MemoryImage& document = controller.CurrentImage();
    document.Assign(file);
    controller.AfterLoad(document);
    controller.TakeSaved();
    controller.SetDocumentName(path);
    return code;
}

} // namespace marlo
