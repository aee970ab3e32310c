#pragma once

#include <string>

namespace marlo {

class MemoryImage;

// The factory contents of a new document for one model variant (0 or 1): the
// image that the initial clone file of that variant holds. Resizes `image` to
// the model's image size; bytes this program gives no meaning stay 0.
void buildInitialImage(MemoryImage& image, int variant);

// The comment line of the initial file of `variant`.
std::string initialFileComment(int variant);

} // namespace marlo
