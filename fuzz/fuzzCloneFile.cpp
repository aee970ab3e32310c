// The clone file reader: any bytes as a clone file, read as the Open command reads
// it and, into a small image, by the bare reader.
//
// A failed read leaves the image exactly as it was and says why in one box; a good
// one says nothing, carries the accepted map revision, and saves and reads back
// unchanged.
#include "fuzzSupport.h"

#include "clone/cloneFileSave.h"
#include "core/cloneFile.h"
#include "core/cloneFileCheck.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"

#include <cstddef>
#include <cstdint>

using namespace marlo;

namespace {

using fuzzSupport::Check;

void fillPattern(MemoryImage& image, std::int32_t size) {
    image.Resize(size);
    for (std::int32_t a = 0; a < size; ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a * 7 + 0x5A));
}

void openAsDocument(const std::string& path, fuzzSupport::CountingPrompter& boxes) {
    MemoryImage image;
    fillPattern(image, marloModel::imageSize);
    MemoryImage before;
    before.Assign(image);

    boxes.Reset();
    const CloneFile::Code code = checkCloneFile(path, image);
    if (code != CloneFile::Ok) {
        Check(image.Equals(before), "a failed open changed the image");
        Check(boxes.Shown() == 1, "a failed open did not show exactly one box");
        return;
    }
    Check(boxes.Shown() == 0, "a good open showed a box");
    Check(image.Size() == marloModel::imageSize, "an opened image has the wrong size");
    Check(image.GetByte(marloModel::mapRevisionAddress) == marloModel::mapRevision,
          "an opened image carries another map revision");

    const std::string copy = fuzzSupport::ScratchPath("copy.vcf");
    Check(saveDocumentFile(image, copy) == CloneFile::Ok, "an opened image did not save");
    MemoryImage again;
    Check(checkCloneFile(copy, again) == CloneFile::Ok, "a saved image did not open");
    Check(again.Equals(image), "an image changed through save and open");
}

// The reader itself, into an image smaller than the records may reach, with no
// coverage: records outside the image are refused without touching it.
void loadIntoSmallImage(const std::string& path, fuzzSupport::CountingPrompter& boxes) {
    constexpr std::int32_t size = 0x0400;
    MemoryImage image;
    fillPattern(image, size);
    MemoryImage before;
    before.Assign(image);

    CloneFile file;
    file.BindImage(image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    boxes.Reset();
    const CloneFile::Code code = file.Load(path);
    Check(image.Size() == size, "the reader resized the image");
    if (code != CloneFile::Ok) {
        Check(image.Equals(before), "a failed load changed the image");
        Check(boxes.Shown() == 1, "a failed load did not show exactly one box");
    } else {
        Check(boxes.Shown() == 0, "a good load showed a box");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSupport::InstallOverlay();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzSupport::CountingPrompter boxes;
    const std::string path = fuzzSupport::ScratchPath("input.vcf");
    fuzzSupport::WriteFile(path, data, size);
    openAsDocument(path, boxes);
    loadIntoSmallImage(path, boxes);
    return 0;
}
