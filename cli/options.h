// The command line of dirtree-cli, parsed into the settings of one report.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/text.h"

namespace dirtree {

struct CliOptions {
  Text target;
  Text output;              // empty: standard output
  bool hasOutput = false;
  std::int32_t depthLimit = -1;
  std::int32_t annotationKind = 1;
  std::int32_t padding = 12;
  bool readable = false;
  bool help = false;
  bool version = false;
};

struct CliParse {
  bool ok = false;
  CliOptions options;
  Text error;  // why the command line was refused (ok == false)
};

// Parses the arguments after the program name.
CliParse ParseCommandLine(const std::vector<Text>& args);

// A plain decimal integer that fits 32 bits: an optional "-" and digits.
bool ParseDecimal(const Text& text, std::int32_t& value);

const char* CliUsage();

}  // namespace dirtree
