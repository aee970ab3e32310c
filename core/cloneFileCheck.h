#pragma once

#include "core/cloneFile.h"

#include <string>

namespace marlo {

class MemoryImage;

// Reads a clone file of this model for whoever needs its bytes without a
// controller (the radio simulator, tests): the model code, an accepted map
// revision, an image that carries this map revision, and every byte of the clone
// range and no other. Opening a document, and marlo-clone's check, go through the
// controller's OpenImage, which adds the model's own checks. Shows the box for a failure and
// returns its code; `image` receives the file's contents only on success (it is resized to the
// model's image size then).
CloneFile::Code checkCloneFile(const std::string& path, MemoryImage& image);

} // namespace marlo
