// In-memory file system for engine tests.
#include "tests/memory_fs.h"

namespace dirtree {
namespace {

class MemoryEnumeration : public Enumeration {
 public:
  explicit MemoryEnumeration(const std::vector<MemoryFileSystem::Entry>& entries)
      : entries_(entries) {}
  bool Next(RawEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry.name = entries_[next_].name;
    entry.attributes = entries_[next_].attributes;
    ++next_;
    return true;
  }

 private:
  const std::vector<MemoryFileSystem::Entry>& entries_;
  std::size_t next_ = 0;
};

}  // namespace

void MemoryFileSystem::SetDirectory(const Text& directory, std::vector<Entry> entries) {
  directories_[directory] = std::move(entries);
}

void MemoryFileSystem::SetAttributes(const Text& path, std::uint32_t attributes) {
  attributes_[path] = attributes;
}

const std::string& MemoryFileSystem::ReportBytes(const Text& path) const {
  static const std::string kNone;
  auto it = reports_.find(path);
  return it == reports_.end() ? kNone : it->second;
}

const MemoryFileSystem::Entry* MemoryFileSystem::Find(const Text& path) const {
  const std::size_t cut = path.rfind(separator_);
  if (cut == Text::npos) return nullptr;
  auto dir = directories_.find(path.substr(0, cut + 1));
  if (dir == directories_.end()) return nullptr;
  const Text name = path.substr(cut + 1);
  for (const Entry& e : dir->second) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

std::unique_ptr<Enumeration> MemoryFileSystem::OpenEnumeration(const Text& pattern) {
  patterns_.push_back(pattern);
  if (ExceedsPathLimit(pattern)) return nullptr;
  const std::size_t cut = pattern.rfind(separator_);
  if (cut == Text::npos) return nullptr;
  auto dir = directories_.find(pattern.substr(0, cut + 1));
  if (dir == directories_.end() || dir->second.empty()) return nullptr;
  return std::make_unique<MemoryEnumeration>(dir->second);
}

std::uint32_t MemoryFileSystem::GetEntryAttributes(const Text& path) {
  if (ExceedsPathLimit(path)) return kInvalidAttributes;
  if (const Entry* e = Find(path)) return e->attributes;
  auto it = attributes_.find(path);
  return it == attributes_.end() ? kInvalidAttributes : it->second;
}

std::int64_t MemoryFileSystem::GetFileSize(const Text& path) {
  const Entry* e = Find(path);
  return e && e->times ? e->size : 0;
}

std::optional<FileTimes> MemoryFileSystem::GetFileTimes(const Text& path) {
  const Entry* e = Find(path);
  return e ? e->times : std::nullopt;
}

std::int32_t MemoryFileSystem::OpenReportFile(const Text& path) {
  if (path.empty()) return 0;
  reports_[path].clear();
  open_[nextNumber_] = path;
  return nextNumber_++;
}

bool MemoryFileSystem::WriteTextLine(std::int32_t number, const Text& text) {
  auto it = open_.find(number);
  if (it == open_.end()) return false;
  if (writesLeft_ == 0) return false;
  if (writesLeft_ > 0) --writesLeft_;
  reports_[it->second].append(text.data(), text.size()).append("\r\n");
  return true;
}

void MemoryFileSystem::CloseReportFile(std::int32_t number) { open_.erase(number); }

}  // namespace dirtree
