// Test trees on a Windows disk. Every path goes through the "\\?\" form, so
// the helpers can make and remove trees deeper than the 259 characters the
// layer under test accepts.
#include <windows.h>
#include <winioctl.h>

#include <string>
#include <utility>

#include "fs/encoding_win32.h"
#include "tests/disk.h"

namespace dirtree::disk {
namespace {

// Owns a file handle for the length of one helper call.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class Find {
 public:
  explicit Find(HANDLE handle) : handle_(handle) {}
  ~Find() {
    if (valid()) ::FindClose(handle_);
  }
  Find(const Find&) = delete;
  Find& operator=(const Find&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

std::wstring Utf8ToWide(std::u8string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const auto* bytes = reinterpret_cast<const char*>(utf8.data());
  const int length = static_cast<int>(utf8.size());
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes, length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes, length, wide.data(), units);
  return wide;
}

std::u8string WideToUtf8(const std::wstring& wide) {
  const int length = static_cast<int>(wide.size());
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr,
                                          nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), bytes, nullptr, nullptr);
  return std::u8string(utf8.begin(), utf8.end());
}

// "\\?\" + root + "\" + relative, with "/" turned into "\".
std::wstring LongPath(std::u8string_view root, std::u8string_view relative) {
  std::wstring path = L"\\\\?\\" + Utf8ToWide(root);
  if (!relative.empty()) path += L'\\' + Utf8ToWide(relative);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// Creates the folders above `path` that are missing; the "\\?\X:\" head is
// left alone.
bool MakeParents(const std::wstring& path) {
  for (std::size_t cut = path.find(L'\\', 7); cut != std::wstring::npos;
       cut = path.find(L'\\', cut + 1)) {
    const std::wstring parent = path.substr(0, cut);
    if (!::CreateDirectoryW(parent.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
  }
  return true;
}

void RemoveTree(const std::wstring& directory) {
  {
    WIN32_FIND_DATAW data;
    Find find(::FindFirstFileW((directory + L"\\*").c_str(), &data));
    for (bool more = find.valid(); more; more = ::FindNextFileW(find.get(), &data)) {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = directory + L'\\' + name;
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      const DWORD word = data.dwFileAttributes;
      if ((word & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(path.c_str());
      } else if (word & FILE_ATTRIBUTE_REPARSE_POINT) {
        ::RemoveDirectoryW(path.c_str());  // the link only, never its target
      } else {
        RemoveTree(path);
      }
    }
  }
  ::SetFileAttributesW(directory.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(directory.c_str());
}

Handle OpenSharedForReading(const std::wstring& path) {
  return Handle(::CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

Handle CreateForWriting(const std::wstring& path) {
  if (!MakeParents(path)) return Handle(INVALID_HANDLE_VALUE);
  return Handle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

bool PlatformHasAttributeBits() { return true; }
bool PlatformListsDotEntries() { return true; }
bool PlatformHasShareModes() { return true; }

FileSizeLimit::FileSizeLimit(std::int64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return;
  std::wstring base(temp, length);
  if (base.back() != L'\\') base += L'\\';
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring candidate = base + L"dirtree-fs-" +
                                   std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(attempt);
    if (::CreateDirectoryW((L"\\\\?\\" + candidate).c_str(), nullptr)) {
      rootUtf8_ = WideToUtf8(candidate);
      root_ = WideToGbk(candidate);
      return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

TempFolder::~TempFolder() {
  if (!rootUtf8_.empty()) RemoveTree(LongPath(rootUtf8_, u8""));
}

bool TempFolder::MakeDirectory(std::u8string_view relative) {
  const std::wstring path = LongPath(rootUtf8_, relative);
  return MakeParents(path) && ::CreateDirectoryW(path.c_str(), nullptr);
}

bool TempFolder::MakeFile(std::u8string_view relative, std::int64_t bytes) {
  Handle file = CreateForWriting(LongPath(rootUtf8_, relative));
  if (!file.valid()) return false;
  const std::string chunk(64 * 1024, 'x');
  while (bytes > 0) {
    const DWORD step = static_cast<DWORD>(bytes < 64 * 1024 ? bytes : 64 * 1024);
    DWORD written = 0;
    if (!::WriteFile(file.get(), chunk.data(), step, &written, nullptr) || written == 0) {
      return false;
    }
    bytes -= written;
  }
  return true;
}

bool TempFolder::MakeSparseFile(std::u8string_view relative, std::int64_t bytes) {
  Handle file = CreateForWriting(LongPath(rootUtf8_, relative));
  if (!file.valid()) return false;
  // Without the sparse flag NTFS would reserve the whole length; a volume
  // that refuses the flag still gets the length.
  DWORD returned = 0;
  ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = bytes;
  return ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get());
}

bool TempFolder::SetLastWriteTime(std::u8string_view relative, std::int64_t ticksSince1601) {
  Handle file(::CreateFileW(LongPath(rootUtf8_, relative).c_str(), FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return false;
  FILETIME stamp;
  stamp.dwLowDateTime = static_cast<DWORD>(ticksSince1601);
  stamp.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticksSince1601) >> 32);
  return ::SetFileTime(file.get(), nullptr, nullptr, &stamp);
}

bool TempFolder::MakeSymbolicLink(std::u8string_view, std::u8string_view) { return false; }
bool TempFolder::MakeFifo(std::u8string_view) { return false; }
bool TempFolder::MakeUnreadable(std::u8string_view) { return false; }

bool TempFolder::AddAttributeBits(std::u8string_view relative, std::uint32_t bits) {
  const std::wstring path = LongPath(rootUtf8_, relative);
  const DWORD old = ::GetFileAttributesW(path.c_str());
  if (old == INVALID_FILE_ATTRIBUTES) return false;
  // Some file systems take the call and drop a bit (Wine keeps no read-only
  // bit on directories): only bits read back count as kept.
  return ::SetFileAttributesW(path.c_str(), (old & ~FILE_ATTRIBUTE_NORMAL) | bits) &&
         (::GetFileAttributesW(path.c_str()) & bits) == bits;
}

std::optional<std::string> TempFolder::ReadBytes(std::u8string_view relative) {
  Handle file = OpenSharedForReading(LongPath(rootUtf8_, relative));
  if (!file.valid()) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(buffer, got);
  }
}

std::optional<std::int64_t> TempFolder::LengthOnDisk(std::u8string_view relative) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(LongPath(rootUtf8_, relative).c_str(), GetFileExInfoStandard,
                              &data)) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 |
                                   data.nFileSizeLow);
}

bool TempFolder::CanOpenForReading(std::u8string_view relative) {
  return OpenSharedForReading(LongPath(rootUtf8_, relative)).valid();
}

}  // namespace dirtree::disk
