// Entry annotations on the in-memory file system: sizes in both styles, the
// directory words that get no size, the three time stamps and the padding.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <optional>

#include "engine/convert.h"
#include "engine/tree_writer.h"
#include "tests/memory_fs.h"
#include "tests/text_printer.h"

namespace dirtree {
namespace {

using Entry = MemoryFileSystem::Entry;

// 14 October 2019 04:59:46 as a date-time value.
constexpr double kStamp2019 = 43752 + (4 * 3600 + 59 * 60 + 46) / 86400.0;

// One file system and writer; entries live in D:\.
class AnnotateTest : public testing::Test {
 protected:
  AnnotateTest() : writer_(fs_) {}

  Text Annotate(const Entry& entry, std::int32_t kind, std::int32_t padding, std::uint8_t style) {
    fs_.SetDirectory("D:\\", {entry});
    writer_.SetAnnotationKind(kind);
    writer_.SetAnnotationPadding(padding);
    writer_.SetSizeStyle(style);
    return writer_.AnnotateEntry(Text("D:\\") + entry.name);
  }

  static Entry File(std::int64_t size, std::uint32_t attributes = 0x20) {
    return {"f", attributes, size, FileTimes{1, 2, 3}};
  }
  // A file another program holds open without sharing: no size, no stamps.
  static Entry LockedFile() { return {"f", 0x20, 500, std::nullopt}; }

  MemoryFileSystem fs_;
  DirectoryTreeWriter writer_;
};

TEST_F(AnnotateTest, ReadableSizes) {
  struct Row {
    std::int64_t size;
    const char* text;
  };
  const Row rows[] = {
      {1, "1B"},
      {100, "100B"},
      {1024, "1024B"},
      {1025, "1KB"},
      {1100, "1.07KB"},
      {1536, "1.5KB"},
      {2044, "2KB"},
      {1048576, "1024KB"},
      {1049599, "1025KB"},
      {1049600, "1MB"},
      {1610612736, "1.5GB"},
      {std::int64_t{5} << 40, "5TB"},
      {std::int64_t{3} << 50, "3PB"},
      {std::int64_t{1} << 62, "4EB"},
      {INT64_MAX, "8EB"},  // the divisions overshoot by one step and still end at 8
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.size);
    EXPECT_EQ(FormatReadableSize(row.size), row.text);
    EXPECT_EQ(Annotate(File(row.size), kAnnotateSize, 0, kSizeReadable), row.text);
  }
}

TEST_F(AnnotateTest, SizeStylesAndPadding) {
  struct Row {
    Entry entry;
    std::int32_t padding;
    std::uint8_t style;
    const char* text;
  };
  const Row rows[] = {
      {File(0), 2, kSizeBytes, "  0 B"},
      {File(123456), 2, kSizeBytes, "  123456 B"},
      {File(1536), 2, kSizeReadable, "  1.5KB"},
      {File(0), 2, kSizeReadable, "0 B"},  // no padding for an empty file
      {File(1536), 2, 0, "  1.5KB"},       // any style but 1 is readable
      {File(1536), 2, 255, "  1.5KB"},
      {File(1536), -3, kSizeBytes, "1536 B"},
      {LockedFile(), 3, kSizeBytes, "   0 B"},
      {LockedFile(), 3, kSizeReadable, "0 B"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(Annotate(row.entry, kAnnotateSize, row.padding, row.style), row.text);
  }
}

TEST_F(AnnotateTest, OnlyFourDirectoryWordsGoUnsized) {
  struct Row {
    std::uint32_t attributes;
    const char* text;
  };
  const Row rows[] = {
      {0x10, ""}, {0x11, ""}, {0x14, ""}, {0x16, ""},
      {0x30, "  0 B"},  // directory with archive: sized like a file
      {0x12, "  0 B"},  // hidden directory
      {0x410, "  0 B"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.attributes);
    EXPECT_EQ(Annotate({"d", row.attributes, 0, std::nullopt}, kAnnotateSize, 2, kSizeBytes), row.text);
  }
  // A missing entry reads 0xFFFFFFFF and size 0.
  writer_.SetAnnotationKind(kAnnotateSize);
  EXPECT_EQ(writer_.AnnotateEntry("D:\\missing"), "  0 B");
}

TEST_F(AnnotateTest, TimeKindsPickTheirStampInUtc) {
  const Entry stamped{"f", 0x20, 0, FileTimes{/*creation=*/45000.5, /*lastAccess=*/kStamp2019,
                                              /*lastWrite=*/45351}};
  struct Row {
    std::int32_t kind;
    const char* text;
  };
  const Row rows[] = {
      {kAnnotateLastWrite, " 2024年2月29日"},
      {kAnnotateCreation, " 2023年3月15日12时"},
      {kAnnotateLastAccess, " 2019年10月14日4时59分46秒"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind);
    EXPECT_EQ(Annotate(stamped, row.kind, 1, kSizeBytes), row.text);
    // An entry without stamps (a directory, a locked file) keeps the padding.
    EXPECT_EQ(Annotate({"d", 0x10, 0, std::nullopt}, row.kind, 4, kSizeBytes), "    ");
    EXPECT_EQ(Annotate({"d", 0x10, 0, std::nullopt}, row.kind, -1, kSizeBytes), "");
  }
}

TEST_F(AnnotateTest, OtherKindsAreEmpty) {
  for (std::int32_t kind : {0, 5, -1, 100}) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(Annotate(File(1536), kind, 3, kSizeBytes), "");
  }
}

TEST_F(AnnotateTest, HugePaddingCostsNothingWhereNoneIsWritten) {
  EXPECT_EQ(Annotate(File(10), kAnnotateNone, INT32_MAX, kSizeBytes), "");
  EXPECT_EQ(Annotate({"d", 0x10, 0, std::nullopt}, kAnnotateSize, INT32_MAX, kSizeBytes), "");
  EXPECT_EQ(Annotate(File(0), kAnnotateSize, INT32_MAX, kSizeReadable), "0 B");
}

}  // namespace
}  // namespace dirtree
