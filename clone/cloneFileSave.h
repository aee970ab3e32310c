#pragma once

#include "core/cloneFile.h"

#include <string>

namespace marlo {

class MemoryImage;

// The comment line of a saved document: the radio's own name for its memory,
// image bytes 0x2BB..0x2CA, with every byte outside printable ASCII shown as a
// space and trailing spaces dropped.
std::string documentComment(const MemoryImage& image);

// Writes `image` as a clone file of this model: its model code, `comment`, map
// revision 6 and the clone range. The file is replaced only once it is complete,
// so a failure leaves an existing file as it was. Shows the box for a failure.
CloneFile::Code saveImageFile(MemoryImage& image, const std::string& path,
                              const std::string& comment);

// Writes `image` as a document file, commented with the radio's own name for it.
CloneFile::Code saveDocumentFile(MemoryImage& image, const std::string& path);

} // namespace marlo
