// DirectoryTreeWriter: the settings of one report, the open report file, and
// the walk that writes the tree picture line by line.
#pragma once

#include <cstdint>

#include "engine/text.h"
#include "fs/fs.h"

namespace dirtree {

// Annotation kinds.
enum : std::int32_t {
  kAnnotateNone = 0,
  kAnnotateSize = 1,
  kAnnotateLastWrite = 2,
  kAnnotateCreation = 3,
  kAnnotateLastAccess = 4,
};

// Size styles: 1 exact bytes, anything else readable units.
enum : std::uint8_t { kSizeBytes = 1, kSizeReadable = 2 };

class DirectoryTreeWriter {
 public:
  // A new writer has every number 0 and every text empty.
  explicit DirectoryTreeWriter(FileSystem& fileSystem) : fileSystem_(&fileSystem) {}
  // Copies share the open report file number; texts are copied.
  DirectoryTreeWriter(const DirectoryTreeWriter&) = default;
  DirectoryTreeWriter& operator=(const DirectoryTreeWriter&) = default;
  // Releases the texts; never closes the report file.
  ~DirectoryTreeWriter() = default;

  void SetTargetDirectory(const Text& path);
  // Creates or truncates the report file; the number, or 0. A file opened by
  // an earlier call is not closed. Clears the write-failed flag.
  std::int32_t SetOutputPath(const Text& path);
  // 0: mask 55, 1: mask 39, 2: mask 16. Other kinds keep the mask, false.
  bool SetEntryFilter(std::int32_t kind);
  void SetAnnotationKind(std::int32_t kind) { annotationKind = kind; }
  void SetDepthLimit(std::int32_t limit) { depthLimit = limit; }
  void SetNamePattern(const Text& pattern) { namePattern = pattern; }
  void SetAnnotationPadding(std::int32_t padding) { annotationPadding = padding; }
  void SetSizeStyle(std::int32_t style) { sizeStyle = static_cast<std::uint8_t>(style); }
  void CloseOutput();

  // Writes the header line and the whole tree.
  void Generate();
  // Lists one directory level (`directory` ends in the separator) and descends.
  void WalkDirectory(const Text& directory, const Text& prefix, std::int32_t level);
  // The text written after an entry's name.
  Text AnnotateEntry(const Text& path);

  // Whether a line failed to reach the report since the last SetOutputPath.
  bool WriteFailed() const { return writeFailed_; }

  std::int32_t outputFile = 0;
  Text targetDirectory;
  Text outputPath;
  std::uint32_t entryAttributeMask = 0;
  Text namePattern;
  std::int32_t annotationKind = 0;
  std::int32_t depthLimit = 0;
  std::int32_t annotationPadding = 0;
  std::uint8_t sizeStyle = 0;
  Text branchConnector;
  Text continuationPrefix;
  Text lastBranchConnector;

 private:
  void WriteLine(const Text& line);

  FileSystem* fileSystem_;
  bool writeFailed_ = false;
};

// "1.07KB": the size in readable units (size > 0).
Text FormatReadableSize(std::int64_t size);

}  // namespace dirtree
