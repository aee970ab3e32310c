#pragma once

namespace marlo {
class MemoryImage;
}

// Fills every list of a document image of the initial file, each entry in use
// (the ALE channel limit reached), with settings and band edges unlike the
// initial file's; nothing is marked invalid.
void fillEveryListOf(marlo::MemoryImage& image);
