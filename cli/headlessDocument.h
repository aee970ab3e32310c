#pragma once

#include "core/cloneFile.h"

#include <string>

namespace marlo {

class Document;

// Starts an untitled document without changes from the initial file of model
// variant `variant`, as the desktop program does when it builds its window;
// for controllers that never get one (marlo-clone, tests). A variant the model
// does not have means its first one. The variant becomes the settings store's
// (in memory: nothing here saves it).
void startHeadlessDocument(Document& controller, int variant);

class MemoryImage;

// Reads `path` as opening a document does, without adapting it to the program:
// through the controller's OpenImage: a clone file of this model whose image it can
// use and that is not newer than it. Shows the box for a failure and returns its
// code; `image` receives the file only on success.
CloneFile::Code readDocumentFile(Document& controller, const std::string& path, MemoryImage& image);

// Opens `path` as the desktop program opens a document: read as above, then
// made the controller's unmodified document under that name, adapted to the
// program (its variant chosen, its radio-owned parts renewed).
CloneFile::Code openHeadlessDocument(Document& controller, const std::string& path);

} // namespace marlo
