// Test trees on the real disk for the file-system tests, one implementation
// per platform. Names are given in UTF-8 and reach the disk through the
// platform's own conversions, not through the GBK conversions under test,
// so a test can check what the layer makes of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/text.h"

namespace dirtree::disk {

// Whether the platform keeps the read-only, hidden and system bits on
// entries (Windows), so that tests of those words can run.
bool PlatformHasAttributeBits();
// Whether enumerations deliver "." and ".." (Windows).
bool PlatformListsDotEntries();
// Whether a file held open without sharing refuses other opens (Windows).
bool PlatformHasShareModes();

// Makes every write that would take a file beyond `bytes` come up short or
// fail, as on a full disk, until the object goes. Not ok() where the
// platform has no such limit (Windows).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::int64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  std::uint64_t savedSoft_ = 0;
  std::uint64_t savedHard_ = 0;
};

// A fresh empty folder in the system's temporary folder, removed with
// everything in it (attributes cleared first) when the object goes.
// Paths given as `relative` lie inside it, with "/" between components;
// missing parent folders are created.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return !root_.empty(); }
  // The folder's path as GBK, without a trailing separator.
  const Text& Root() const { return root_; }

  bool MakeDirectory(std::u8string_view relative);
  // A file of `bytes` bytes of "x".
  bool MakeFile(std::u8string_view relative, std::int64_t bytes);
  // A file of `bytes` bytes that takes (almost) no disk space.
  bool MakeSparseFile(std::u8string_view relative, std::int64_t bytes);
  // Sets the last-write stamp, in 100-nanosecond ticks since 1601 UTC.
  bool SetLastWriteTime(std::u8string_view relative, std::int64_t ticksSince1601);
  // Linux entries that Windows has no counterpart for; false elsewhere.
  // A symbolic link at `relative` to `target` (relative to the link).
  bool MakeSymbolicLink(std::u8string_view relative, std::u8string_view target);
  bool MakeFifo(std::u8string_view relative);
  // Takes every permission away from the file.
  bool MakeUnreadable(std::u8string_view relative);

  // Adds read-only 0x01, hidden 0x02 or system 0x04; false unless the
  // entry's word then carries them.
  bool AddAttributeBits(std::u8string_view relative, std::uint32_t bits);

  // The file's bytes, or nothing when it cannot be opened for reading.
  std::optional<std::string> ReadBytes(std::u8string_view relative);
  // The file's length from its directory entry, without opening its data,
  // so it can be asked while the file is held open without sharing.
  std::optional<std::int64_t> LengthOnDisk(std::u8string_view relative);
  // Whether another program could open the file for reading now.
  bool CanOpenForReading(std::u8string_view relative);

 private:
  Text root_;
  std::u8string rootUtf8_;
};

}  // namespace dirtree::disk
