// The file-system layer on Linux: POSIX calls on UTF-8 names, presented with
// the attribute words, sharing behaviour and path limit of the Windows layer,
// so the same tree gives the same report on both platforms.
//
// The walk asks about the entry it has just enumerated several times in a
// row (annotation, size, descent test). Queries for a name inside the
// innermost open enumeration use the directory's descriptor (statx relative
// to it), and the last path's status is kept until the next enumeration step,
// so an entry costs one status call however often it is asked about.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fs/datetime.h"
#include "fs/encoding.h"
#include "fs/fs.h"

namespace dirtree {
namespace {

constexpr std::uint32_t kDirectoryWord = 0x10;
constexpr std::uint32_t kFileWord = 0x20;
constexpr std::uint32_t kDirectoryLinkWord = 0x410;
constexpr std::uint32_t kOtherLinkWord = 0x420;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

class DirectoryStream {
 public:
  explicit DirectoryStream(DIR* dir) : dir_(dir) {}
  ~DirectoryStream() {
    if (dir_) ::closedir(dir_);
  }
  DirectoryStream(const DirectoryStream&) = delete;
  DirectoryStream& operator=(const DirectoryStream&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

// Windows-style wildcard match on GBK names: "*" any run, "?" one character.
bool MatchesWildcard(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* rest = name;; ++rest) {
      if (MatchesWildcard(pattern + 1, rest)) return true;
      if (*rest == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*pattern == '?') {
    const bool wide = static_cast<unsigned char>(*name) >= 0x80 && name[1] != '\0';
    return MatchesWildcard(pattern + 1, name + (wide ? 2 : 1));
  }
  return *pattern == *name && MatchesWildcard(pattern + 1, name + 1);
}

std::uint32_t WordOf(mode_t ownMode, bool targetIsDirectory) {
  if (S_ISLNK(ownMode)) return targetIsDirectory ? kDirectoryLinkWord : kOtherLinkWord;
  if (S_ISDIR(ownMode)) return kDirectoryWord;
  return kFileWord;
}

class PosixEnumeration;

// The report files held open, with the identity of each file so that the
// size and time-stamp reads refuse them as a share mode of 0 would.
struct ReportFile {
  FileDescriptor fd;
  dev_t device = 0;
  ino_t inode = 0;
  off_t lineStart = 0;  // where the next line begins
  // A failed line is cut back only in a file this layer created: standard
  // output may be appending to a file whose earlier contents are not ours.
  bool createdHere = false;
};

// Who this process reads as; fixed for the life of the process.
struct Credentials {
  uid_t uid = ::geteuid();
  std::vector<gid_t> groups = Groups();

  static std::vector<gid_t> Groups() {
    std::vector<gid_t> groups(1, ::getegid());
    const int n = ::getgroups(0, nullptr);
    if (n > 0) {
      groups.resize(1 + static_cast<std::size_t>(n));
      const int got = ::getgroups(n, groups.data() + 1);
      groups.resize(1 + static_cast<std::size_t>(std::max(got, 0)));
    }
    return groups;
  }
};

class PosixFileSystem : public FileSystem {
 public:
  char Separator() const override { return '/'; }
  std::unique_ptr<Enumeration> OpenEnumeration(const Text& pattern) override;
  std::uint32_t GetEntryAttributes(const Text& path) override;
  std::int64_t GetFileSize(const Text& path) override;
  std::optional<FileTimes> GetFileTimes(const Text& path) override;
  std::int32_t OpenReportFile(const Text& path) override;
  bool WriteTextLine(std::int32_t number, const Text& text) override;
  void CloseReportFile(std::int32_t number) override;
  std::int32_t OpenStandardOutput() override;

  void Register(PosixEnumeration* e) { active_.push_back(e); }
  void Unregister(PosixEnumeration* e) {
    active_.erase(std::find(active_.begin(), active_.end(), e));
    ForgetStatus();
  }
  void ForgetStatus() { memo_.valid = false; }

 private:
  // The status of one path: its own (links not followed) and, where the
  // path is a link, its target's.
  struct Status {
    Text path;
    bool valid = false;
    bool exists = false;
    struct statx own {};
    bool hasTarget = false;  // target status read (links only)
    struct statx target {};
  };

  const Status* Query(const Text& path);
  std::int32_t Adopt(FileDescriptor fd, bool createdHere);
  bool OpenableForReading(const Status& s) const;
  const struct statx& Followed(const Status& s) const { return s.hasTarget ? s.target : s.own; }

  std::vector<PosixEnumeration*> active_;
  Status memo_;
  const Credentials credentials_;
  std::map<std::int32_t, ReportFile> reports_;
  std::int32_t nextNumber_ = 1;
  std::string lineBuffer_;
};

class PosixEnumeration : public Enumeration {
 public:
  PosixEnumeration(PosixFileSystem& fs, DIR* dir, Text directory, Text wildcard)
      : fs_(fs), dir_(dir), directory_(std::move(directory)), wildcard_(std::move(wildcard)),
        matchesAll_(wildcard_ == "*") {
    fs_.Register(this);
  }
  ~PosixEnumeration() override { fs_.Unregister(this); }

  bool Next(RawEntry& entry) override {
    fs_.ForgetStatus();
    if (pending_) {
      pending_ = false;
      entry = std::move(first_);
      return true;
    }
    return Read(entry);
  }

  // Reads ahead so that a pattern with no entry opens no enumeration.
  bool Prime() {
    pending_ = Read(first_);
    return pending_;
  }

  const Text& directory() const { return directory_; }
  int fd() const { return ::dirfd(dir_.get()); }

  // The name on disk of one of the last two entries read (the one the walk
  // is listing and its look-ahead), so asking about it needs no conversion.
  const std::string* NativeName(const Text& name) const {
    for (const Delivered& d : recent_) {
      if (!d.name.empty() && d.name == name) return &d.native;
    }
    return nullptr;
  }

 private:
  bool Read(RawEntry& entry) {
    errno = 0;
    while (const dirent* d = ::readdir(dir_.get())) {
      const char* name = d->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      Text gbk = Utf8ToGbk(name);
      if (!matchesAll_ && !MatchesWildcard(wildcard_.c_str(), gbk.c_str())) continue;
      entry.attributes = Attributes(d);
      // A name that lost characters to "?" must not reach its entry through
      // the name on disk: a path built from it does not on Windows either.
      Delivered& slot = recent_[newest_ ^= 1];
      const bool exact = std::count(gbk.begin(), gbk.end(), '?') ==
                         std::count(name, name + std::strlen(name), '?');
      slot.name = exact ? gbk : Text();
      slot.native = name;
      entry.name = std::move(gbk);
      return true;
    }
    return false;
  }

  std::uint32_t Attributes(const dirent* d) const {
    switch (d->d_type) {
      case DT_DIR: return kDirectoryWord;
      case DT_REG: case DT_FIFO: case DT_SOCK: case DT_CHR: case DT_BLK: return kFileWord;
      default: break;
    }
    struct stat own, target;
    if (::fstatat(fd(), d->d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) return kFileWord;
    const bool targetIsDirectory =
        S_ISLNK(own.st_mode) && ::fstatat(fd(), d->d_name, &target, 0) == 0 &&
        S_ISDIR(target.st_mode);
    return WordOf(own.st_mode, targetIsDirectory);
  }

  struct Delivered {
    Text name;
    std::string native;
  };

  PosixFileSystem& fs_;
  DirectoryStream dir_;
  Text directory_;
  Text wildcard_;
  bool matchesAll_;
  Delivered recent_[2];
  int newest_ = 0;
  bool pending_ = false;
  RawEntry first_;
};

std::unique_ptr<Enumeration> PosixFileSystem::OpenEnumeration(const Text& pattern) {
  ForgetStatus();
  if (ExceedsPathLimit(pattern)) return nullptr;
  const std::size_t cut = pattern.rfind('/');
  Text directory = cut == Text::npos ? Text() : pattern.substr(0, cut + 1);
  Text wildcard = cut == Text::npos ? pattern : pattern.substr(cut + 1);
  const std::string native = directory.empty() ? std::string(".") : GbkToUtf8(directory);
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return nullptr;
  auto e = std::make_unique<PosixEnumeration>(*this, dir, std::move(directory), std::move(wildcard));
  if (!e->Prime()) return nullptr;
  return e;
}

const PosixFileSystem::Status* PosixFileSystem::Query(const Text& path) {
  if (memo_.valid && memo_.path == path) return memo_.exists ? &memo_ : nullptr;
  memo_.valid = false;
  memo_.path = path;
  memo_.exists = false;
  memo_.hasTarget = false;
  if (!ExceedsPathLimit(path) && !path.empty()) {
    // A name directly inside the innermost enumeration is asked relative
    // to that directory's descriptor.
    int dirFd = AT_FDCWD;
    std::string native;
    if (!active_.empty()) {
      const PosixEnumeration& top = *active_.back();
      const Text& dir = top.directory();
      if (!dir.empty() && path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 &&
          path.find('/', dir.size()) == Text::npos) {
        dirFd = top.fd();
        const Text name = path.substr(dir.size());
        const std::string* known = top.NativeName(name);
        native = known ? *known : GbkToUtf8(name);
      }
    }
    if (dirFd == AT_FDCWD) native = GbkToUtf8(path);
    constexpr unsigned kMask = STATX_TYPE | STATX_MODE | STATX_UID | STATX_GID | STATX_INO |
                               STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (::statx(dirFd, native.c_str(), AT_SYMLINK_NOFOLLOW, kMask, &memo_.own) == 0) {
      memo_.exists = true;
      if (S_ISLNK(memo_.own.stx_mode)) {
        memo_.hasTarget = ::statx(dirFd, native.c_str(), 0, kMask, &memo_.target) == 0;
      }
    }
  }
  // Kept only during a walk, where the next enumeration step drops it; a
  // caller asking again later sees the disk as it is then.
  memo_.valid = !active_.empty();
  return memo_.exists ? &memo_ : nullptr;
}

// Whether an open for reading would succeed: a regular file (or a link to
// one) that this process may read and that is not an open report file.
bool PosixFileSystem::OpenableForReading(const Status& s) const {
  if (S_ISLNK(s.own.stx_mode) && !s.hasTarget) return false;  // broken link
  const struct statx& f = Followed(s);
  if (!S_ISREG(f.stx_mode)) return false;
  for (const auto& [number, report] : reports_) {
    if (report.inode == f.stx_ino && report.device == makedev(f.stx_dev_major, f.stx_dev_minor)) {
      return false;
    }
  }
  if (credentials_.uid == 0) return true;
  if (f.stx_uid == credentials_.uid) return (f.stx_mode & S_IRUSR) != 0;
  const bool inGroup = std::find(credentials_.groups.begin(), credentials_.groups.end(),
                                 f.stx_gid) != credentials_.groups.end();
  return (f.stx_mode & (inGroup ? S_IRGRP : S_IROTH)) != 0;
}

std::uint32_t PosixFileSystem::GetEntryAttributes(const Text& path) {
  const Status* s = Query(path);
  if (!s) return kInvalidAttributes;
  return WordOf(s->own.stx_mode, s->hasTarget && S_ISDIR(s->target.stx_mode));
}

std::int64_t PosixFileSystem::GetFileSize(const Text& path) {
  const Status* s = Query(path);
  if (!s || !OpenableForReading(*s)) return 0;
  return static_cast<std::int64_t>(Followed(*s).stx_size);
}

std::optional<FileTimes> PosixFileSystem::GetFileTimes(const Text& path) {
  const Status* s = Query(path);
  if (!s || !OpenableForReading(*s)) return std::nullopt;
  const struct statx& f = Followed(*s);
  // Whole seconds: the fraction is dropped so the printed time is the
  // stamp's own second. A file system without birth times gives the zero
  // stamp, 1 January 1601.
  const auto toDateTime = [](std::int64_t unixSeconds) {
    return SecondsSince1601ToDateTime(unixSeconds + kSeconds1601To1970);
  };
  FileTimes times;
  times.creation = (f.stx_mask & STATX_BTIME) ? toDateTime(f.stx_btime.tv_sec)
                                              : SecondsSince1601ToDateTime(0);
  times.lastAccess = toDateTime(f.stx_atime.tv_sec);
  times.lastWrite = toDateTime(f.stx_mtime.tv_sec);
  return times;
}

std::int32_t PosixFileSystem::OpenReportFile(const Text& path) {
  ForgetStatus();
  if (path.empty() || ExceedsPathLimit(path)) return 0;
  const std::string native = GbkToUtf8(path);
  // Non-blocking so that a FIFO without a reader fails instead of hanging.
  FileDescriptor fd(::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK,
                           0666));
  if (!fd.valid()) return 0;
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return Adopt(std::move(fd), true);
}

std::int32_t PosixFileSystem::OpenStandardOutput() {
  ForgetStatus();
  return Adopt(FileDescriptor(::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0)), false);
}

std::int32_t PosixFileSystem::Adopt(FileDescriptor fd, bool createdHere) {
  struct stat st;
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return 0;
  while (nextNumber_ <= 0 || reports_.count(nextNumber_)) {
    nextNumber_ = nextNumber_ <= 0 ? 1 : nextNumber_ + 1;
  }
  const std::int32_t number = nextNumber_++;
  ReportFile& report = reports_[number];
  report.device = st.st_dev;
  report.inode = st.st_ino;
  const off_t position = ::lseek(fd.get(), 0, SEEK_CUR);
  report.lineStart = position > 0 ? position : 0;
  report.createdHere = createdHere;
  report.fd = std::move(fd);
  return number;
}

bool PosixFileSystem::WriteTextLine(std::int32_t number, const Text& text) {
  auto it = reports_.find(number);
  if (it == reports_.end()) return false;
  ReportFile& report = it->second;
  lineBuffer_.assign(text.data(), text.size());
  lineBuffer_ += "\r\n";
  ssize_t written;
  do {
    written = ::write(report.fd.get(), lineBuffer_.data(), lineBuffer_.size());
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(lineBuffer_.size())) {
    report.lineStart += written;
    return true;
  }
  // No partial line stays behind: cut the file back to where it began.
  // (Devices and pipes refuse both calls; nothing of the line stayed there.)
  if (report.createdHere) {
    if (::ftruncate(report.fd.get(), report.lineStart) != 0) errno = 0;
    ::lseek(report.fd.get(), report.lineStart, SEEK_SET);
  }
  return false;
}

void PosixFileSystem::CloseReportFile(std::int32_t number) {
  reports_.erase(number);
  ForgetStatus();
}

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace dirtree
