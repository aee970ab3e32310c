#include "clone/cmcSettingsSnapshot.h"

#include "core/cmcPortMap.h"
#include "core/indEnviron.h"

namespace {

// The screen the store assumes without a display; the window bounds it derives from
// it are never used here.
constexpr cmcScreenSize anyScreen{1024, 768};

} // namespace

cmcSettingsSnapshot::cmcSettingsSnapshot(const std::string& settingsFile) {
    cmcEnvironPlaces places;
    places.settingsFile = settingsFile;
    places.screen = anyScreen;
    store_ = std::make_unique<indEnviron>(places, cmcEnviron::Access::ReadOnly);
    cmcEnviron::SetApp(store_.get());
    cmcPortMap::SetOverrides(store_->PortDevices);
}

cmcSettingsSnapshot::~cmcSettingsSnapshot() {
    cmcEnviron::SetApp(nullptr);
    cmcPortMap::SetOverrides({});
}
