// dirtree-cli: the report engine for scripts, terminals and Linux.
#include <cfenv>
#include <cstdlib>

#include "cli/console.h"
#include "cli/options.h"
#include "engine/tree_writer.h"
#include "fs/fs.h"

namespace dirtree {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

[[noreturn]] void ReportAllocationFailure(std::int64_t bytes) {
  // Printing converts the message for the terminal, which allocates; should
  // that fail as well, end at once instead of reporting again.
  static bool reporting = false;
  if (!reporting) {
    reporting = true;
    PrintToError(ToText(FormatAllocationFailure(bytes).view()));
  }
  std::_Exit(-1);
}

}  // namespace

int RunCommandLine(const std::vector<Text>& args) {
  // Round to nearest with every exception masked: a division by zero in a
  // conversion gives an infinity, never a trap.
  std::fesetenv(FE_DFL_ENV);
  SetAllocationFailureHandler(ReportAllocationFailure);

  const CliParse parse = ParseCommandLine(args);
  if (!parse.ok) {
    PrintToError("dirtree-cli: " + parse.error + "\n" + CliUsage());
    return kExitUsage;
  }
  const CliOptions& o = parse.options;
  if (o.help) {
    PrintToOutput(CliUsage());
    return 0;
  }
  if (o.version) {
    PrintToOutput("dirtree-cli " DIRTREE_VERSION "\n");
    return 0;
  }

  FileSystem& fs = PlatformFileSystem();
  // The target is checked before the report is opened, so a mistyped target
  // never empties an existing report.
  const std::uint32_t attributes = fs.GetEntryAttributes(o.target);
  if (attributes == kInvalidAttributes || (attributes & 0x10) == 0) {
    PrintToError("dirtree-cli: not an existing directory: " + o.target + "\n");
    return kExitFailure;
  }

  DirectoryTreeWriter writer(fs);
  writer.SetTargetDirectory(o.target);
  if (o.hasOutput) {
    if (writer.SetOutputPath(o.output) == 0) {
      PrintToError("dirtree-cli: cannot create the report file: " + o.output + "\n");
      return kExitFailure;
    }
  } else {
    writer.outputFile = fs.OpenStandardOutput();
    if (writer.outputFile == 0) {
      PrintToError("dirtree-cli: cannot write to standard output\n");
      return kExitFailure;
    }
  }
  writer.SetEntryFilter(0);
  writer.SetNamePattern("*");
  writer.SetAnnotationKind(o.annotationKind);
  writer.SetDepthLimit(o.depthLimit);
  writer.SetAnnotationPadding(o.padding);
  writer.SetSizeStyle(o.readable ? kSizeReadable : kSizeBytes);
  writer.Generate();
  writer.CloseOutput();
  if (writer.WriteFailed()) {
    PrintToError("dirtree-cli: writing the report failed: " +
                 (o.hasOutput ? o.output : Text("standard output")) + "\n");
    return kExitFailure;
  }
  return 0;
}

}  // namespace dirtree
