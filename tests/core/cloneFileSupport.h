#pragma once

#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "support/scriptedPrompter.h"

#include <string>

using namespace marlo;

// Helpers shared by the clone file suites.
namespace cloneFileSupport {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A model-sized image whose bytes differ from their neighbours, carrying map
// revision 6 in its map revision byte.
void fillPattern(MemoryImage& image);

// The clone file the writer saves of `image` over the clone range, with this
// model's code, an empty comment and map revision 6.
std::string savedCloneFile(const MemoryImage& image);
// One data line (without line end) for `count` bytes of `value` at `address`.
std::string record(int address, int count, int value);

// `text` without its line that begins with `start`.
std::string withoutLine(std::string text, const std::string& start);
// `text` with every `from` replaced by `to`.
std::string replacedAll(std::string text, const std::string& from, const std::string& to);

// Expects exactly one box: the file error message for `code`.
void expectFileError(const ScriptedPrompter& prompter, CloneFile::Code code);

} // namespace cloneFileSupport
