#pragma once

#include "core/settingsStore.h"

namespace marlo {

// This program's settings store: its lock name and settings key.
class MarloSettings : public SettingsStore {
public:
    static constexpr const char* kMutexName = "Vexa Marlo APP Exclusive Mutex";
    static constexpr const char* kKey = "Software\\Vexa\\Marlo";

    explicit MarloSettings(const SettingsPlaces& places = {}, Access access = Access::Owner)
        : SettingsStore(kMutexName, kKey, places, access) {}
};

} // namespace marlo
