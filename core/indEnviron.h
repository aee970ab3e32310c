#pragma once

#include "core/cmcEnviron.h"

// This program's settings store: its lock name and settings key.
class indEnviron : public cmcEnviron {
public:
    static constexpr const char* kMutexName = "Vexa Marlo APP Exclusive Mutex";
    static constexpr const char* kKey = "Software\\Vexa\\Marlo";

    explicit indEnviron(const cmcEnvironPlaces& places = {}, Access access = Access::Owner)
        : cmcEnviron(kMutexName, kKey, places, access) {}
};
