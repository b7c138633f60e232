// The file-system layer on Windows. Every call goes through the wide API and
// every path and name is converted through code page 936 here, so reports
// are GBK and GBK paths reach their files whatever the system's ANSI code
// page is. The limits of the ANSI file functions are kept: a path of more
// than 259 characters fails like a missing one.
#include <windows.h>

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "fs/datetime.h"
#include "fs/encoding_win32.h"
#include "fs/fs.h"

namespace dirtree {
namespace {

// Owns a handle from CreateFileW or DuplicateHandle.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) ::CloseHandle(handle_);
  }
  FileHandle(FileHandle&& other) noexcept : handle_(other.handle_) {
    other.handle_ = INVALID_HANDLE_VALUE;
  }
  FileHandle& operator=(FileHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

// Owns a handle from FindFirstFileW.
class FindHandleOwner {
 public:
  explicit FindHandleOwner(HANDLE handle) : handle_(handle) {}
  ~FindHandleOwner() {
    if (valid()) ::FindClose(handle_);
  }
  FindHandleOwner(FindHandleOwner&& other) noexcept : handle_(other.handle_) {
    other.handle_ = INVALID_HANDLE_VALUE;
  }
  FindHandleOwner& operator=(FindHandleOwner&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// The wide form of a path the ANSI functions would take, or nothing for a
// path they would refuse as too long.
std::optional<std::wstring> WidePath(const Text& path) {
  if (ExceedsPathLimit(path)) return std::nullopt;
  return GbkToWide(path);
}

double StampToDateTime(const FILETIME& stamp) {
  const std::uint64_t ticks =
      static_cast<std::uint64_t>(stamp.dwHighDateTime) << 32 | stamp.dwLowDateTime;
  // Whole seconds, in UTC: the fraction is dropped and no local time is
  // involved.
  return SecondsSince1601ToDateTime(static_cast<std::int64_t>(ticks / 10'000'000));
}

class Win32FileSystem : public FileSystem {
 public:
  char Separator() const override { return '\\'; }
  std::unique_ptr<Enumeration> OpenEnumeration(const Text& pattern) override;
  std::uint32_t GetEntryAttributes(const Text& path) override;
  std::int64_t GetFileSize(const Text& path) override;
  std::optional<FileTimes> GetFileTimes(const Text& path) override;
  std::int32_t OpenReportFile(const Text& path) override;
  bool WriteTextLine(std::int32_t number, const Text& text) override;
  void CloseReportFile(std::int32_t number) override;
  std::int32_t OpenStandardOutput() override;

  void EnumerationOpened() { ++openEnumerations_; }
  void EnumerationClosed() {
    --openEnumerations_;
    ForgetRecent();
  }
  void ForgetRecent() { recent_.valid = false; }

 private:
  // The last path asked about during a walk, in its wide form, with its
  // attribute word once read: the annotation and the descent test of one
  // entry ask about the same path in a row. The next enumeration step drops
  // it, and outside a walk nothing is kept.
  struct Recent {
    Text path;
    std::optional<std::wstring> wide;
    std::optional<DWORD> attributes;
    bool valid = false;
  };

  Recent& Remember(const Text& path);
  FileHandle OpenForReading(const Text& path);
  std::int32_t Adopt(FileHandle file);

  Recent recent_;
  int openEnumerations_ = 0;

  // The open report files; whatever is still here when the process ends is
  // closed by the destructor.
  std::map<std::int32_t, FileHandle> reports_;
  std::int32_t nextNumber_ = 1;
  std::string lineBuffer_;
};

class Win32Enumeration : public Enumeration {
 public:
  Win32Enumeration(Win32FileSystem& fs, FindHandleOwner find, const WIN32_FIND_DATAW& first)
      : fs_(fs), find_(std::move(find)), data_(first) {
    fs_.EnumerationOpened();
  }
  ~Win32Enumeration() override { fs_.EnumerationClosed(); }

  bool Next(RawEntry& entry) override {
    fs_.ForgetRecent();
    if (!pending_ && !::FindNextFileW(find_.get(), &data_)) return false;
    pending_ = false;
    entry.name = WideToGbk(data_.cFileName);
    entry.attributes = data_.dwFileAttributes;
    return true;
  }

 private:
  Win32FileSystem& fs_;
  FindHandleOwner find_;
  WIN32_FIND_DATAW data_;
  bool pending_ = true;  // `data_` holds the first entry, not yet delivered
};

Win32FileSystem::Recent& Win32FileSystem::Remember(const Text& path) {
  if (!recent_.valid || recent_.path != path) {
    recent_.path = path;
    recent_.wide = WidePath(path);
    recent_.attributes.reset();
  }
  recent_.valid = openEnumerations_ > 0;
  return recent_;
}

// Opens a file the way _lopen(path, OF_READ) does in compatibility mode:
// read access, an existing file only, others may read and write meanwhile.
// Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
FileHandle Win32FileSystem::OpenForReading(const Text& path) {
  const std::optional<std::wstring>& wide = Remember(path).wide;
  if (!wide) return FileHandle();
  return FileHandle(::CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::unique_ptr<Enumeration> Win32FileSystem::OpenEnumeration(const Text& pattern) {
  const std::optional<std::wstring> wide = WidePath(pattern);
  if (!wide) return nullptr;
  WIN32_FIND_DATAW first;
  FindHandleOwner find(::FindFirstFileW(wide->c_str(), &first));
  if (!find.valid()) return nullptr;
  return std::make_unique<Win32Enumeration>(*this, std::move(find), first);
}

std::uint32_t Win32FileSystem::GetEntryAttributes(const Text& path) {
  Recent& recent = Remember(path);
  if (!recent.wide) return kInvalidAttributes;
  if (!recent.attributes) recent.attributes = ::GetFileAttributesW(recent.wide->c_str());
  return *recent.attributes;
}

std::int64_t Win32FileSystem::GetFileSize(const Text& path) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return 0;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return 0;
  return size.QuadPart;
}

std::optional<FileTimes> Win32FileSystem::GetFileTimes(const Text& path) {
  const FileHandle file = OpenForReading(path);
  if (!file.valid()) return std::nullopt;
  // A stamp the platform cannot read stays 0, the zero stamp of 1601.
  FILETIME creation{}, lastAccess{}, lastWrite{};
  ::GetFileTime(file.get(), &creation, &lastAccess, &lastWrite);
  FileTimes times;
  times.creation = StampToDateTime(creation);
  times.lastAccess = StampToDateTime(lastAccess);
  times.lastWrite = StampToDateTime(lastWrite);
  return times;
}

std::int32_t Win32FileSystem::OpenReportFile(const Text& path) {
  ForgetRecent();
  if (path.empty()) return 0;
  const std::optional<std::wstring> wide = WidePath(path);
  if (!wide) return 0;
  // Windows itself refuses to replace an existing read-only, hidden or
  // system file with a normal one; Wine replaces it (and ignores read-only
  // for an administrator), so the rule is kept here for every Win32.
  constexpr DWORD kProtected =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const DWORD existing = ::GetFileAttributesW(wide->c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & kProtected) != 0) return 0;
  // No sharing: nobody reads or writes the report while it is being made.
  return Adopt(FileHandle(::CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr)));
}

std::int32_t Win32FileSystem::OpenStandardOutput() {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return 0;
  HANDLE duplicate = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), output, ::GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
    return 0;
  }
  return Adopt(FileHandle(duplicate));
}

std::int32_t Win32FileSystem::Adopt(FileHandle file) {
  if (!file.valid()) return 0;
  while (reports_.count(nextNumber_)) {
    nextNumber_ = nextNumber_ == INT32_MAX ? 1 : nextNumber_ + 1;
  }
  const std::int32_t number = nextNumber_;
  nextNumber_ = nextNumber_ == INT32_MAX ? 1 : nextNumber_ + 1;
  reports_.emplace(number, std::move(file));
  return number;
}

bool Win32FileSystem::WriteTextLine(std::int32_t number, const Text& text) {
  const auto it = reports_.find(number);
  if (it == reports_.end()) return false;
  const HANDLE file = it->second.get();
  // A pipe or console has no position; its line cannot be taken back.
  LARGE_INTEGER lineStart{};
  const bool positioned = ::SetFilePointerEx(file, LARGE_INTEGER{}, &lineStart, FILE_CURRENT);
  // One write for the text and its CR LF, straight to the file: a line that
  // returned true is on disk. Texts stay below 4 GiB (kMaxTextAllocation).
  lineBuffer_.assign(text.data(), text.size());
  lineBuffer_ += "\r\n";
  const auto size = static_cast<DWORD>(lineBuffer_.size());
  DWORD written = 0;
  if (::WriteFile(file, lineBuffer_.data(), size, &written, nullptr) && written == size) {
    return true;
  }
  // A full disk can take part of the line: cut the file back to where the
  // line began, so no partial line stays in the report.
  if (positioned && ::SetFilePointerEx(file, lineStart, nullptr, FILE_BEGIN)) ::SetEndOfFile(file);
  return false;
}

void Win32FileSystem::CloseReportFile(std::int32_t number) {
  reports_.erase(number);
  ForgetRecent();
}

}  // namespace

FileSystem& PlatformFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace dirtree
