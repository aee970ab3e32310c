// Saving and loading the whole image as a clone file, through real files.
#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace marlo;

namespace {

struct Scratch {
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vcfbench.XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) ? pattern : std::string();
        path = folder + "/image.vcf";
        image.Resize(marloModel::imageSize);
        for (int a = 0; a < image.Size(); ++a)
            image.SetByte(a, static_cast<std::uint8_t>(a * 31 + 7));
        image.SetByte(marloModel::mapRevisionAddress, marloModel::mapRevision);
    }
    ~Scratch() {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }
    std::string folder;
    std::string path;
    MemoryImage image;
};

CloneFile::Code save(MemoryImage& image, const std::string& path) {
    CloneFile file;
    file.BindImage(image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetComment("Bench");
    file.SetMapRevision(marloModel::mapRevision);
    return file.Save(path, marloModel::cloneRange);
}

void BM_SaveCloneFile(benchmark::State& state) {
    Scratch scratch;
    for (auto _ : state) {
        if (save(scratch.image, scratch.path) != CloneFile::Ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * (0x6C3F - 0x02B0 + 1));
}
BENCHMARK(BM_SaveCloneFile)->Unit(benchmark::kMicrosecond);

void BM_LoadCloneFile(benchmark::State& state) {
    Scratch scratch;
    if (save(scratch.image, scratch.path) != CloneFile::Ok)
        state.SkipWithError("save failed");
    MemoryImage target;
    target.Resize(marloModel::imageSize);
    for (auto _ : state) {
        CloneFile file;
        file.BindImage(target);
        file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
        file.SetMapRevisionCheck([](int revision) { return revision == marloModel::mapRevision; });
        if (file.Load(scratch.path, marloModel::cloneRange) != CloneFile::Ok)
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(state.iterations() * (0x6C3F - 0x02B0 + 1));
}
BENCHMARK(BM_LoadCloneFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
