#pragma once

#include <memory>
#include <string>

namespace marlo {

class SettingsStore;

// The user's settings as marlo-clone uses them: read, never written back, and
// without the desktop program's single-instance lock, so that a scripted backup
// may run beside an open marlo. While it lives the store is the application's
// (SettingsStore::App) and the port overrides of the file are the port map's.
class SettingsSnapshot {
public:
    // `settingsFile` is the file to read (empty: the user's own); a missing file
    // gives the defaults.
    explicit SettingsSnapshot(const std::string& settingsFile = {});
    ~SettingsSnapshot();
    SettingsSnapshot(const SettingsSnapshot&) = delete;
    SettingsSnapshot& operator=(const SettingsSnapshot&) = delete;

    SettingsStore& Store() { return *store_; }

private:
    std::unique_ptr<SettingsStore> store_;
};

} // namespace marlo
