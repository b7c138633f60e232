// The file-system layer: every way the engine and the window reach the disk.
//
// Each operation ends quietly in a fixed result on failure (the empty text,
// 0, 0xFFFFFFFF, false, no stamps). Paths are GBK texts; the platform file
// converts them at the system-call boundary. Attribute words carry the
// Windows meanings on every platform (0x10 directory, 0x20 archive, 0x400
// reparse point ...), so the engine compares the same exact values everywhere.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "engine/text.h"

namespace dirtree {

inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Longest path the file functions take, in characters (a double-byte
// character counts as one). A longer path fails like a missing one.
inline constexpr int kMaxPathCharacters = 259;

// Characters of a GBK text, a double-byte character counting as one.
int CountCharacters(const Text& text);

// Whether a path is longer than the file functions take.
inline bool ExceedsPathLimit(const Text& path) {
  // A text of no more bytes than the limit has no more characters either.
  return path.size() > static_cast<std::size_t>(kMaxPathCharacters) &&
         CountCharacters(path) > kMaxPathCharacters;
}

// One entry as the platform enumeration delivers it.
struct RawEntry {
  Text name;  // long name alone, GBK
  std::uint32_t attributes = 0;
};

// A platform enumeration of one directory pattern.
class Enumeration {
 public:
  virtual ~Enumeration() = default;
  // The next entry, or false when exhausted or on any error.
  virtual bool Next(RawEntry& entry) = 0;
};

// The three time stamps as date-time values (days since 30 December 1899,
// UTC, whole seconds).
struct FileTimes {
  double creation = 0;
  double lastAccess = 0;
  double lastWrite = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The byte that ends a directory path: "\\" on Windows, "/" on POSIX.
  virtual char Separator() const = 0;

  // Opens an enumeration of `pattern` (a directory path ending in the
  // separator, followed by a wildcard). nullptr when the platform finds no
  // entry or cannot enumerate (missing, a file, no access, too long).
  virtual std::unique_ptr<Enumeration> OpenEnumeration(const Text& pattern) = 0;

  // The entry's own word (a link's, not its target's); 0xFFFFFFFF on failure.
  virtual std::uint32_t GetEntryAttributes(const Text& path) = 0;

  // Length of a file that can be opened for reading; 0 otherwise.
  virtual std::int64_t GetFileSize(const Text& path) = 0;

  // Stamps of a file that can be opened for reading; nothing otherwise.
  virtual std::optional<FileTimes> GetFileTimes(const Text& path) = 0;

  // Creates or truncates the report file, write only, no sharing.
  // A non-zero number, or 0 on failure or for the empty path.
  virtual std::int32_t OpenReportFile(const Text& path) = 0;

  // Writes text + CR LF at the current position. On a failed or short write
  // the file is cut back to where the line began and the result is false.
  virtual bool WriteTextLine(std::int32_t number, const Text& text) = 0;

  // Closes an open report file; a number that is not open is ignored.
  virtual void CloseReportFile(std::int32_t number) = 0;

  // Makes the process's standard output a report file, so a report can go
  // to a pipe or terminal with the same bytes. 0 when it cannot be used.
  virtual std::int32_t OpenStandardOutput() { return 0; }
};

// The file system of the platform the program was built for.
FileSystem& PlatformFileSystem();

// The state of one enumeration with its mask. A new handle is none.
struct FindHandle {
  std::unique_ptr<Enumeration> enumeration;
  std::uint32_t mask = 0;
  bool IsOpen() const { return enumeration != nullptr; }
};

// Whether an entry with `attributes` passes `mask`: with m = mask & 0x37,
// m == 0 accepts only the word 0, otherwise any common bit accepts.
bool AcceptsEntry(std::uint32_t mask, std::uint32_t attributes);

// The first accepted entry of `pattern`, or the empty text (handle none).
Text FindEntries(FileSystem& fs, const Text& pattern, std::uint32_t mask, FindHandle& handle);
// The next accepted entry, or the empty text (handle none).
Text FindNextEntry(FindHandle& handle);
void CloseFind(FindHandle& handle);

}  // namespace dirtree
