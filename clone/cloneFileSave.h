#pragma once

#include "core/cmcVcfFile.h"

#include <string>

class cmcEeprom;

// The comment line of a saved document: the radio's own name for its memory,
// image bytes 0x2BB..0x2CA, with every byte outside printable ASCII shown as a
// space and trailing spaces dropped.
std::string cmcDocumentComment(const cmcEeprom& image);

// Writes `image` as a clone file of this model: its model code, `comment`, map
// revision 6 and the clone range. The file is replaced only once it is complete,
// so a failure leaves an existing file as it was. Shows the box for a failure.
cmcVcfFile::Code cmcSaveImageFile(cmcEeprom& image, const std::string& path,
                                  const std::string& comment);

// Writes `image` as a document file, commented with the radio's own name for it.
cmcVcfFile::Code cmcSaveDocumentFile(cmcEeprom& image, const std::string& path);
