// The whole report on a real disk through the platform's file system, on
// Linux and under Wine: GBK names, hidden folders, the report inside its own
// tree, links. Each directory holds one entry, since the platforms deliver
// entries in their own order.
#include <gtest/gtest.h>

#include "engine/tree_writer.h"
#include "fs/fs.h"
#include "tests/disk.h"
#include "tests/text_printer.h"

namespace dirtree {
namespace {

class WalkDiskTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.ok()); }

  Text Path(const char* relative) const {
    Text path = folder_.Root() + fs_.Separator();
    for (const char* p = relative; *p; ++p) path += *p == '/' ? fs_.Separator() : *p;
    return path;
  }

  // The report of `target` with the window's defaults: sizes in bytes after
  // `padding` blanks, no depth limit.
  std::string Report(const Text& target, const Text& output, std::int32_t padding = 1) {
    DirectoryTreeWriter writer(fs_);
    writer.SetTargetDirectory(target);
    EXPECT_NE(writer.SetOutputPath(output), 0);
    writer.SetEntryFilter(0);
    writer.SetNamePattern("*");
    writer.SetAnnotationKind(kAnnotateSize);
    writer.SetDepthLimit(-1);
    writer.SetAnnotationPadding(padding);
    writer.SetSizeStyle(kSizeBytes);
    writer.Generate();
    writer.CloseOutput();
    EXPECT_FALSE(writer.WriteFailed());
    return ToStdString(target) + "\r\n";
  }

  std::string Read(std::u8string_view relative) {
    const auto bytes = folder_.ReadBytes(relative);
    return bytes ? *bytes : std::string("<unreadable>");
  }

  FileSystem& fs_ = PlatformFileSystem();
  disk::TempFolder folder_;
};

TEST_F(WalkDiskTest, GbkNamesSizesAndTheReportInsideTheTree) {
  ASSERT_TRUE(folder_.MakeFile(u8"树/目录/文件.txt", 1100));
  const std::string header = Report(Path("树"), Path("report.txt"));
  EXPECT_EQ(Read(u8"report.txt"), header + "└─目录\r\n      └─文件.txt 1100 B\r\n");

  // A report inside the tree it describes is listed, with size 0: it is
  // held open without sharing while the walk reads sizes.
  ASSERT_TRUE(folder_.MakeDirectory(u8"内"));
  const std::string inside = Report(Path("内"), Path("内/report.txt"));
  EXPECT_EQ(Read(u8"内/report.txt"), inside + "└─report.txt 0 B\r\n");
}

TEST_F(WalkDiskTest, NamesOutsideGbkNoLongerReachTheirEntries) {
  // The name is listed with "?" for the emoji; a path built from it names
  // nothing, so the file is sized 0 on every platform.
  ASSERT_TRUE(folder_.MakeFile(u8"t/c\U0001F600.txt", 5));
  const std::string header = Report(Path("t"), Path("report.txt"));
  EXPECT_EQ(Read(u8"report.txt"), header + "└─c?.txt 0 B\r\n");
}

TEST_F(WalkDiskTest, HiddenFoldersAreListedButNotDescended) {
  if (!disk::PlatformHasAttributeBits()) GTEST_SKIP() << "the platform keeps no hidden bit";
  ASSERT_TRUE(folder_.MakeFile(u8"t/隐藏/inner.txt", 5));
  ASSERT_TRUE(folder_.AddAttributeBits(u8"t/隐藏", 0x02));
  const std::string header = Report(Path("t"), Path("report.txt"));
  // Not one of the directory words either, so it is sized like a file.
  EXPECT_EQ(Read(u8"report.txt"), header + "└─隐藏 0 B\r\n");
}

TEST_F(WalkDiskTest, ReadOnlyFoldersAreDescended) {
  if (!disk::PlatformHasAttributeBits()) GTEST_SKIP() << "the platform keeps no read-only bit";
  ASSERT_TRUE(folder_.MakeFile(u8"t/只读/inner.txt", 5));
  if (!folder_.AddAttributeBits(u8"t/只读", 0x01)) {
    GTEST_SKIP() << "this file system keeps no read-only bit on a folder";
  }
  const std::string header = Report(Path("t"), Path("report.txt"));
  EXPECT_EQ(Read(u8"report.txt"), header + "└─只读\r\n      └─inner.txt 5 B\r\n");
}

}  // namespace
}  // namespace dirtree
