#include "cli/settingsSnapshot.h"

#include "core/marloSettings.h"
#include "core/portMap.h"

namespace marlo {

namespace {

// The screen the store assumes without a display; the window bounds it derives from
// it are never used here.
constexpr ScreenSize anyScreen{1024, 768};

} // namespace

SettingsSnapshot::SettingsSnapshot(const std::string& settingsFile) {
    SettingsPlaces places;
    places.settingsFile = settingsFile;
    places.screen = anyScreen;
    store_ = std::make_unique<MarloSettings>(places, SettingsStore::Access::ReadOnly);
    SettingsStore::SetApp(store_.get());
    PortMap::SetOverrides(store_->PortDevices);
}

SettingsSnapshot::~SettingsSnapshot() {
    SettingsStore::SetApp(nullptr);
    PortMap::SetOverrides({});
}

} // namespace marlo
