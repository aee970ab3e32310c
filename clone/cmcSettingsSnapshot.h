#pragma once

#include <map>
#include <memory>
#include <string>

class QTemporaryDir;
class cmcEnviron;

// The user's settings as marlo-clone uses them: read, never written back, and
// without the desktop program's single-instance lock, so that a scripted backup
// may run beside an open marlo.
//
// The store works on a private copy of the settings file, and keeps its lock
// beside that copy; both go when the snapshot does. While it lives the store is
// the application's (cmcEnviron::App) and the port overrides of the file are the
// port map's.
class cmcSettingsSnapshot {
public:
    // `userFile` is the settings file to read; a missing file gives the defaults.
    explicit cmcSettingsSnapshot(const std::string& userFile = UserSettingsFile());
    ~cmcSettingsSnapshot();
    cmcSettingsSnapshot(const cmcSettingsSnapshot&) = delete;
    cmcSettingsSnapshot& operator=(const cmcSettingsSnapshot&) = delete;

    cmcEnviron& Store() { return *store_; }

    // Where the desktop program keeps the user's settings.
    static std::string UserSettingsFile();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<cmcEnviron> store_;
};

// The [Ports] group of a settings file: port number to device path.
std::map<int, std::string> cmcReadPortOverrides(const std::string& settingsFile);
