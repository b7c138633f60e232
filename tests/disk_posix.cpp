// Test trees on a Linux disk: UTF-8 names as they are, no attribute bits,
// no dot entries in enumerations, no share modes.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/disk.h"

namespace dirtree::disk {
namespace {

// Owns a descriptor for the length of one helper call.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

std::string AsBytes(std::u8string_view s) { return std::string(s.begin(), s.end()); }

bool MakeParents(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  return !error;
}

}  // namespace

bool PlatformHasAttributeBits() { return false; }
bool PlatformListsDotEntries() { return false; }
bool PlatformHasShareModes() { return false; }

FileSizeLimit::FileSizeLimit(std::int64_t bytes) {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
  savedSoft_ = limit.rlim_cur;
  savedHard_ = limit.rlim_max;
  // Beyond the limit the kernel sends SIGXFSZ; ignored, the write fails.
  std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (!ok_) return;
  struct rlimit limit;
  limit.rlim_cur = static_cast<rlim_t>(savedSoft_);
  limit.rlim_max = static_cast<rlim_t>(savedHard_);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, SIG_DFL);
}

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/dirtree-fs-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return;
  rootUtf8_.assign(pattern.begin(), pattern.end());
  root_ = ToText(pattern);  // mkdtemp names are ASCII
}

TempFolder::~TempFolder() {
  if (rootUtf8_.empty()) return;
  std::error_code error;
  std::filesystem::remove_all(AsBytes(rootUtf8_), error);
}

bool TempFolder::MakeDirectory(std::u8string_view relative) {
  std::error_code error;
  std::filesystem::create_directories(AsBytes(rootUtf8_) + "/" + AsBytes(relative), error);
  return !error;
}

bool TempFolder::MakeFile(std::u8string_view relative, std::int64_t bytes) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  if (!MakeParents(path)) return false;
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.valid()) return false;
  const std::string chunk(64 * 1024, 'x');
  while (bytes > 0) {
    const auto step = static_cast<std::size_t>(std::min<std::int64_t>(bytes, chunk.size()));
    const ssize_t written = ::write(fd.get(), chunk.data(), step);
    if (written <= 0) return false;
    bytes -= written;
  }
  return true;
}

bool TempFolder::MakeSparseFile(std::u8string_view relative, std::int64_t bytes) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  if (!MakeParents(path)) return false;
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  return fd.valid() && ::ftruncate(fd.get(), static_cast<off_t>(bytes)) == 0;
}

bool TempFolder::SetLastWriteTime(std::u8string_view relative, std::int64_t ticksSince1601) {
  constexpr std::int64_t kTicks1601To1970 = 116444736000000000;
  const std::int64_t unixTicks = ticksSince1601 - kTicks1601To1970;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(unixTicks / 10'000'000);
  times[1].tv_nsec = static_cast<long>(unixTicks % 10'000'000 * 100);
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool TempFolder::MakeSymbolicLink(std::u8string_view relative, std::u8string_view target) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  return MakeParents(path) && ::symlink(AsBytes(target).c_str(), path.c_str()) == 0;
}

bool TempFolder::MakeFifo(std::u8string_view relative) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  return MakeParents(path) && ::mkfifo(path.c_str(), 0644) == 0;
}

bool TempFolder::MakeUnreadable(std::u8string_view relative) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  return ::chmod(path.c_str(), 0) == 0;
}

bool TempFolder::AddAttributeBits(std::u8string_view, std::uint32_t) { return false; }

std::optional<std::string> TempFolder::ReadBytes(std::u8string_view relative) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

std::optional<std::int64_t> TempFolder::LengthOnDisk(std::u8string_view relative) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.st_size);
}

bool TempFolder::CanOpenForReading(std::u8string_view relative) {
  const std::string path = AsBytes(rootUtf8_) + "/" + AsBytes(relative);
  return Descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC)).valid();
}

}  // namespace dirtree::disk
