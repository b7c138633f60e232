// The report: header line, then a depth-first walk that draws each entry with
// its connector, prefix and annotation.
#include "engine/tree_writer.h"

namespace dirtree {
namespace {

constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kReadOnlyDirectory = 0x11;

}  // namespace

void DirectoryTreeWriter::SetTargetDirectory(const Text& path) { targetDirectory = path; }

std::int32_t DirectoryTreeWriter::SetOutputPath(const Text& path) {
  outputPath = path;
  outputFile = fileSystem_->OpenReportFile(outputPath);
  writeFailed_ = false;
  return outputFile;
}

bool DirectoryTreeWriter::SetEntryFilter(std::int32_t kind) {
  switch (kind) {
    case 0: entryAttributeMask = 55; return true;
    case 1: entryAttributeMask = 39; return true;
    case 2: entryAttributeMask = 16; return true;
    default: return false;
  }
}

void DirectoryTreeWriter::CloseOutput() { fileSystem_->CloseReportFile(outputFile); }

void DirectoryTreeWriter::WriteLine(const Text& line) {
  if (!fileSystem_->WriteTextLine(outputFile, line)) writeFailed_ = true;
}

void DirectoryTreeWriter::Generate() {
  branchConnector = "├─";
  continuationPrefix = "│   ";
  lastBranchConnector = "└─";
  WriteLine(targetDirectory);
  const char separator = fileSystem_->Separator();
  if (!targetDirectory.empty() && targetDirectory.back() == separator) {
    WalkDirectory(targetDirectory, Text(), 0);
  } else {
    WalkDirectory(targetDirectory + separator, Text(), 0);
  }
}

void DirectoryTreeWriter::WalkDirectory(const Text& directory, const Text& prefix,
                                        std::int32_t level) {
  FindHandle handle;
  Text name = FindEntries(*fileSystem_, directory + namePattern, entryAttributeMask, handle);
  Text path;
  Text line;
  while (!name.empty()) {
    Text next = FindNextEntry(handle);
    if (name != "." && name != "..") {
      const bool last = next.empty();
      path.assign(directory).append(name);
      line.assign(prefix).append(last ? lastBranchConnector : branchConnector).append(name);
      line.append(AnnotateEntry(path));
      WriteLine(line);
      const std::uint32_t attributes = fileSystem_->GetEntryAttributes(path);
      if ((attributes == kDirectory || attributes == kReadOnlyDirectory) && level != depthLimit) {
        Text childPrefix = prefix;
        if (last) {
          childPrefix.append(6, ' ');
        } else {
          childPrefix.append(continuationPrefix);
        }
        WalkDirectory(path + fileSystem_->Separator(), childPrefix, level + 1);
      }
    }
    name = std::move(next);
  }
  CloseFind(handle);
}

}  // namespace dirtree
