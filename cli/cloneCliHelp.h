#pragma once

#include <cstdio>
#include <string_view>

namespace marlo {

// marlo-clone's help: the whole program's, and one command's with each of its
// options. What the manual page says, in short.

// "Usage: ..." with every command, the options every command shares, the LIST
// names and the exit statuses.
void printCloneHelp(std::FILE* to);

// The help of `command`; false, printing nothing, when there is no such command.
bool printCloneCommandHelp(std::string_view command, std::FILE* to);

// What a usage error prints (on stderr): the synopsis of `command`, or of every
// command when there is no such command, and where the help is.
void printCloneUsage(std::string_view command, std::FILE* to);

// Whether `args` (what follows the command's name) ask for the command's help:
// "-h" or "--help" anywhere except as the value of an option that takes one
// (`marlo-clone read -o --help` reads into a file of that name).
bool asksForHelp(const char* const* args, int count);

} // namespace marlo
