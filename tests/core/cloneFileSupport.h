#pragma once

#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "support/ScriptedPrompter.h"

#include <string>

using namespace marlo;

// Helpers shared by the clone file suites.
namespace cloneFileSupport {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A model-sized image whose bytes differ from their neighbours, carrying map
// revision 6 in its map revision byte.
void fillPattern(MemoryImage& image);

// A clone file of `image` over the clone range, built here independently of the
// writer: 16-byte records, the record at `skip` left out, `end` after each line.
std::string cloneFileText(const MemoryImage& image, int skip = -1, const std::string& end = "\r\n");
// One data line (without line end) for `count` bytes of `value` at `address`.
std::string record(int address, int count, int value);

// Expects exactly one box: the file error message for `code`.
void expectFileError(const ScriptedPrompter& prompter, CloneFile::Code code);

} // namespace cloneFileSupport
