// Command-line parsing for dirtree-cli. Strict: an unknown option, a missing
// value or a number that is not a plain decimal integer is refused, never
// read as 0.
#include "cli/options.h"

#include <cstring>

namespace dirtree {

bool ParseDecimal(const Text& text, std::int32_t& value) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  if (i == text.size()) return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > (std::int64_t{1} << 31)) return false;
  }
  if (!negative && magnitude > INT32_MAX) return false;
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

namespace {

struct AnnotationName {
  const char* name;
  std::int32_t kind;
};

constexpr AnnotationName kAnnotationNames[] = {
    {"none", 0}, {"size", 1}, {"modified", 2}, {"created", 3}, {"accessed", 4},
};

}  // namespace

CliParse ParseCommandLine(const std::vector<Text>& args) {
  CliParse result;
  CliOptions& o = result.options;
  bool haveTarget = false;
  bool optionsEnded = false;
  const auto refuse = [&](const Text& why) {
    result.error = why;
    return result;
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    Text arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (haveTarget) return refuse("unexpected argument: " + arg);
      o.target = arg;
      haveTarget = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value" is the same as "--name value".
    Text value;
    bool hasInlineValue = false;
    if (arg.rfind("--", 0) == 0 && arg.find('=') != Text::npos) {
      const std::size_t eq = arg.find('=');
      value = arg.substr(eq + 1);
      arg.resize(eq);
      hasInlineValue = true;
    }
    const auto takeValue = [&]() {
      if (hasInlineValue) return true;
      if (i + 1 >= args.size()) return false;
      value = args[++i];
      return true;
    };
    std::int32_t* number = nullptr;

    if (arg == "-h" || arg == "--help" || arg == "--version" || arg == "--readable") {
      if (hasInlineValue) return refuse("option " + arg + " takes no value");
      if (arg == "--version") {
        o.version = true;
      } else if (arg == "--readable") {
        o.readable = true;
      } else {
        o.help = true;
      }
      continue;
    }
    if (arg == "-o" || arg == "--output") {
      if (!takeValue()) return refuse("option " + arg + " needs a value");
      o.output = value;
      o.hasOutput = true;
      continue;
    }
    if (arg == "--annotate") {
      if (!takeValue()) return refuse("option " + arg + " needs a value");
      bool known = false;
      for (const AnnotationName& a : kAnnotationNames) {
        if (value == a.name) {
          o.annotationKind = a.kind;
          known = true;
        }
      }
      if (!known) return refuse("unknown annotation kind: " + value);
      continue;
    }
    if (arg == "-L" || arg == "--depth") {
      number = &o.depthLimit;
    } else if (arg == "--pad") {
      number = &o.padding;
    } else {
      return refuse("unknown option: " + arg);
    }
    if (!takeValue()) return refuse("option " + arg + " needs a value");
    if (!ParseDecimal(value, *number)) return refuse("not a decimal integer for " + arg + ": " + value);
  }
  if (!haveTarget && !o.help && !o.version) return refuse("missing TARGET directory");
  result.ok = true;
  return result;
}

const char* CliUsage() {
  return "usage: dirtree-cli [options] TARGET [-o REPORT]\n"
         "Writes the tree of the directory TARGET as a GBK text with CR LF line ends.\n"
         "\n"
         "  -o, --output FILE    write the report to FILE (created or truncated);\n"
         "                       default: standard output\n"
         "  -L, --depth N        0 lists only TARGET's own entries, N lists N + 1\n"
         "                       levels, negative means no limit (default)\n"
         "      --annotate KIND  none, size (default), modified, created, accessed\n"
         "      --pad N          blanks before each annotation (default 12)\n"
         "      --readable       sizes in readable units (default: exact bytes)\n"
         "  -h, --help           show this help\n"
         "      --version        show the version\n";
}

}  // namespace dirtree
