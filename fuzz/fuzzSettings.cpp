// The settings loader: any bytes as the settings file, read by a companion tool,
// then by the program itself, which writes its settings back when it ends.
//
// Whatever the file holds, every setting comes out inside its range, and what the
// program writes back reads back the same.
#include "fuzzSupport.h"

#include "core/marloSettings.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace marlo;

namespace {

using fuzzSupport::Check;

struct Snapshot {
    std::int32_t signature;
    int comPort;
    std::string currentDirectory;
    std::vector<std::string> recent;
    int fontSize;
    int toolbar;
    int left, top, width, height, splitter;
    std::uint8_t modelType;
    std::map<int, std::string> ports;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const SettingsStore& settings) {
    Snapshot s{settings.Signature,
               settings.ComPort,
               settings.CurrentDirectory,
               {},
               settings.FontSizePercentage,
               settings.ToolbarVisible,
               settings.Left,
               settings.Top,
               settings.Width,
               settings.Height,
               settings.SplitterV,
               settings.ModelType,
               settings.PortDevices};
    // The file keeps ten entries, the unused ones empty, and each comes back
    // (once); an empty entry is no file and shows as none.
    for (int i = 0; i < settings.Recent.Count(); ++i) {
        if (!settings.Recent.Item(i).empty())
            s.recent.push_back(settings.Recent.Item(i));
    }
    return s;
}

void checkRanges(const SettingsStore& settings) {
    Check(settings.IsFirstInstance(), "the settings store did not start");
    Check(settings.Signature == SettingsStore::kSignature, "loaded settings without the signature");
    Check(settings.ComPort >= 1 && settings.ComPort <= SettingsStore::kHighestPort,
          "port number out of range");
    Check(settings.FontSizePercentage >= 25 && settings.FontSizePercentage <= 1000,
          "font size out of range");
    Check(settings.ToolbarVisible == 0 || settings.ToolbarVisible == 1, "toolbar flag not 0 or 1");
    Check(settings.Recent.Count() <= SettingsStore::kRecentCapacity, "too many recent files");
    for (const auto& [port, device] : settings.PortDevices)
        Check(port >= 1 && port <= SettingsStore::kHighestPort && !device.empty(),
              "a port device out of range or empty");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every input gets a file of its own name: the settings class keeps what it
    // read of a file, and a file rewritten within the same second may pass for
    // unchanged.
    static unsigned serial = 0;
    const std::string path =
        fuzzSupport::ScratchPath("settings" + std::to_string(++serial) + ".conf");
    fuzzSupport::WriteFile(path, data, size);
    SettingsPlaces places;
    places.settingsFile = path;
    places.lockFolder = fuzzSupport::ScratchPath("");
    places.screen = ScreenSize{1280, 1024};

    Snapshot read;
    {
        const MarloSettings tool(places, SettingsStore::Access::ReadOnly);
        checkRanges(tool);
        read = snapshotOf(tool);
    }
    {
        const MarloSettings program(places, SettingsStore::Access::Owner);
        checkRanges(program);
        Check(snapshotOf(program) == read, "the program read other settings than the tool");
    } // writes the settings back
    {
        const MarloSettings again(places, SettingsStore::Access::ReadOnly);
        Check(snapshotOf(again) == read, "the settings written back read back differently");
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return 0;
}
