#pragma once

#include <functional>

// Runs the Qt event loop until `done` holds or `limitMs` passes; returns `done()`.
// The limit is generous on purpose: tests wait on outcomes, never on timing.
bool runEventLoopUntil(const std::function<bool()>& done, int limitMs = 10000);

// Runs the Qt event loop for about `ms` milliseconds.
void runEventLoopFor(int ms);
