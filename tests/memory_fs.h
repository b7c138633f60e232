// An in-memory file system behind the fs/ interface. It lets engine tests
// deliver what a real disk will not: "." and ".." in any place, attribute
// words such as 0x12 or 0x30, chosen sizes and stamps, failing writes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "fs/fs.h"

namespace dirtree {

class MemoryFileSystem : public FileSystem {
 public:
  struct Entry {
    Text name;
    std::uint32_t attributes = 0x20;
    std::int64_t size = 0;
    std::optional<FileTimes> times;  // nothing: the file cannot be opened for reading
  };

  explicit MemoryFileSystem(char separator = '\\') : separator_(separator) {}

  // The entries that the enumeration of `directory` (ending in the separator)
  // delivers, in order; "." and ".." only where a test puts them.
  // Attribute and size queries of directory + name see the entry.
  void SetDirectory(const Text& directory, std::vector<Entry> entries);
  // Attributes of a path that is no directory entry (a target, a root).
  void SetAttributes(const Text& path, std::uint32_t attributes);

  // Report files are kept as byte strings by path.
  const std::string& ReportBytes(const Text& path) const;
  // After this many successful lines every further write fails.
  void FailWritesAfter(int lines) { writesLeft_ = lines; }

  // Every path an enumeration was opened for, in order.
  const std::vector<Text>& EnumeratedPatterns() const { return patterns_; }

  char Separator() const override { return separator_; }
  std::unique_ptr<Enumeration> OpenEnumeration(const Text& pattern) override;
  std::uint32_t GetEntryAttributes(const Text& path) override;
  std::int64_t GetFileSize(const Text& path) override;
  std::optional<FileTimes> GetFileTimes(const Text& path) override;
  std::int32_t OpenReportFile(const Text& path) override;
  bool WriteTextLine(std::int32_t number, const Text& text) override;
  void CloseReportFile(std::int32_t number) override;

 private:
  const Entry* Find(const Text& path) const;

  char separator_;
  std::map<Text, std::vector<Entry>> directories_;
  std::map<Text, std::uint32_t> attributes_;
  std::map<Text, std::string> reports_;
  std::map<std::int32_t, Text> open_;
  std::int32_t nextNumber_ = 1;
  int writesLeft_ = -1;
  std::vector<Text> patterns_;
};

}  // namespace dirtree
