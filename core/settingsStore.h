#pragma once

#include "core/recentFiles.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace marlo {

class InstanceLock;

struct ScreenSize {
    int width;
    int height;
};

struct WindowBounds {
    int left;
    int top;
    int width;
    int height;
};

// Where a store keeps its things. Empty fields mean the user's own: the settings file
// under the user's configuration folder, the lock in the runtime folder, the size of
// the primary screen.
struct SettingsPlaces {
    std::string settingsFile;
    std::string lockFolder;
    std::optional<ScreenSize> screen;
};

// The user's preferences from one run to the next, and the single-instance guard.
//
// Construction takes the lock named `mutexName`. Only the process that gets it loads
// the settings and writes them back when the store is destroyed; a second copy of the
// program loads nothing and saves nothing. `key` is a registry-style path such as
// "Software\Maker\Program"; its parts after "Software" name the settings file
// (<config>/Maker/Program.conf), and each sub-key is an INI group of that file.
//
// A missing or unreadable integer (or a file written by something else, recognised by
// its "BBT" signature) resets every setting to its default; a missing or unreadable
// text reads as empty.
class SettingsStore {
public:
    // Owner: the desktop program, which takes the lock and saves at the end.
    // ReadOnly: a companion tool that only reads the user's settings; it takes no lock
    // and never writes, so it may run beside an open program.
    enum class Access { Owner, ReadOnly };

    static constexpr std::int32_t kSignature = 753951;
    static constexpr int kRecentCapacity = 10;
    static constexpr int kHighestPort = 256;
    static constexpr int kDefaultSplitterV = 200;

    SettingsStore(const std::string& mutexName, const std::string& key,
                  const SettingsPlaces& places = {}, Access access = Access::Owner);
    virtual ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Whether this process holds the single-instance lock (the program runs only then).
    bool IsFirstInstance() const { return firstInstance_; }
    const std::string& SettingsFile() const { return settingsFile_; }

    // The default window: at most 800 x 600 and 90 % of the screen, centred
    // horizontally, with 30 % of the spare height above it.
    static WindowBounds DefaultBounds(ScreenSize screen);

    // The application's store, installed by whoever owns it; ends the program when
    // none is installed.
    static SettingsStore& App();
    static void SetApp(SettingsStore* store);

    // The settings, read and written directly by their users.
    std::int32_t Signature = 0;
    int ComPort = 1;              // 1..256
    std::string CurrentDirectory; // offered by the file dialogs
    RecentFiles Recent{kRecentCapacity};
    int FontSizePercentage = 100; // 25..1000
    int ToolbarVisible = 1;       // 0 or 1
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int SplitterV = kDefaultSplitterV; // tree pane width
    std::uint8_t ModelType = 0;        // model variant; the controller checks its range
    // Where a session ended by a signal kept its unsaved changes; the next start
    // reports it once and clears it.
    std::string RecoveryFile;

    // Device paths given to port numbers: INI group "Ports", values "Port1",
    // "Port2", ... written by the user or chosen in the port dialog.
    std::map<int, std::string> PortDevices;

private:
    bool Load();
    void LoadPortDevices();
    void ApplyDefaults();
    void Save() const;

    std::string settingsFile_;
    ScreenSize screen_;
    std::unique_ptr<InstanceLock> lock_;
    bool firstInstance_ = false;
    bool saves_ = false;
};

} // namespace marlo
