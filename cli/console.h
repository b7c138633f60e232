// What dirtree-cli needs from the platform besides the file system: its
// arguments as GBK texts and messages on the terminal.
#pragma once

#include <vector>

#include "engine/text.h"

namespace dirtree {

// Runs the command line with the arguments after the program name.
int RunCommandLine(const std::vector<Text>& args);

// Writes a message (GBK) to standard output or standard error, converted to
// what the terminal expects.
void PrintToOutput(const Text& message);
void PrintToError(const Text& message);

}  // namespace dirtree
