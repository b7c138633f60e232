// Entry annotations: the size or a time stamp written after an entry's name.
#include "engine/convert.h"
#include "engine/tree_writer.h"

namespace dirtree {
namespace {

// Directory words that get no size at all. Any other word, a directory with
// the archive bit (0x30) among them, is sized like a file.
bool IsUnsizedDirectory(std::uint32_t attributes) {
  return attributes == 0x10 || attributes == 0x11 || attributes == 0x14 || attributes == 0x16;
}

// Readable units by the number of divisions by 1024. A 64-bit size stops at
// "EB"; the rest keep the table whole.
constexpr const char* kSizeUnits[] = {"B", "KB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB", "BB"};

Text TimeText(const std::optional<FileTimes>& times, std::int32_t kind) {
  if (!times) return Text();
  switch (kind) {
    case kAnnotateLastWrite: return DateTimeToText(times->lastWrite);
    case kAnnotateCreation: return DateTimeToText(times->creation);
    default: return DateTimeToText(times->lastAccess);
  }
}

}  // namespace

Text FormatReadableSize(std::int64_t size) {
  std::int64_t whole = size;
  int unit = 0;
  // Truncating at every step keeps the whole part from rounding up; the loop
  // stops at 1024 itself, so 1024 bytes stay "1024B".
  while (whole > 1024) {
    whole = TruncateToInteger(static_cast<double>(whole) / 1024);
    ++unit;
  }
  // Unsigned products: near 2^63 the double division can leave whole * unit
  // size one step above the size, which must wrap rather than overflow.
  const std::uint64_t unitSize = std::uint64_t{1} << (10 * unit);
  const auto remainder =
      static_cast<std::int64_t>(static_cast<std::uint64_t>(size) - static_cast<std::uint64_t>(whole) * unitSize);
  const double fraction = RoundToDecimals(static_cast<double>(remainder) / static_cast<double>(unitSize), 2);
  Text out = RealToText(static_cast<double>(whole) + fraction);
  out.append(kSizeUnits[unit]);
  return out;
}

Text DirectoryTreeWriter::AnnotateEntry(const Text& path) {
  // The padding is made only where it is written, so a huge padding count
  // costs nothing for entries that carry no annotation.
  switch (annotationKind) {
    case kAnnotateSize: {
      if (IsUnsizedDirectory(fileSystem_->GetEntryAttributes(path))) return Text();
      const std::int64_t size = fileSystem_->GetFileSize(path);
      if (sizeStyle == kSizeBytes) return BlankText(annotationPadding) + IntegerToText(size) + " B";
      if (size == 0) return Text("0 B");
      return BlankText(annotationPadding) + FormatReadableSize(size);
    }
    case kAnnotateLastWrite:
    case kAnnotateCreation:
    case kAnnotateLastAccess:
      return BlankText(annotationPadding) + TimeText(fileSystem_->GetFileTimes(path), annotationKind);
    default:
      return Text();
  }
}

}  // namespace dirtree
