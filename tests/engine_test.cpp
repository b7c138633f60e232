// The report writer and the walk, on the in-memory file system: layouts,
// connectors, prefixes, depth, filters and failures a user would see.
#include <gtest/gtest.h>

#include "engine/tree_writer.h"
#include "tests/memory_fs.h"
#include "tests/text_printer.h"

namespace dirtree {
namespace {

using Entry = MemoryFileSystem::Entry;

constexpr std::uint32_t kDir = 0x10;
constexpr std::uint32_t kFile = 0x20;

Entry Dir(const char* name, std::uint32_t attributes = kDir) { return {name, attributes, 0, FileTimes{}}; }
Entry Other(const char* name, std::uint32_t attributes) { return {name, attributes, 0, FileTimes{}}; }
Entry File(const char* name, std::int64_t size = 0) { return {name, kFile, size, FileTimes{}}; }

std::string Lines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* line : lines) out.append(line).append("\r\n");
  return out;
}

// Runs one report the way the Start command does.
std::string Report(MemoryFileSystem& fs, const char* target, std::int32_t kind = 0,
                   std::int32_t depth = -1, std::int32_t padding = 0) {
  DirectoryTreeWriter writer(fs);
  writer.SetTargetDirectory(target);
  writer.SetOutputPath("R:\\report.txt");
  writer.SetEntryFilter(0);
  writer.SetNamePattern("*");
  writer.SetAnnotationKind(kind);
  writer.SetDepthLimit(depth);
  writer.SetAnnotationPadding(padding);
  writer.SetSizeStyle(1);
  writer.Generate();
  writer.CloseOutput();
  return fs.ReportBytes("R:\\report.txt");
}

TEST(WalkTest, SizesExampleWithDotsFirst) {
  MemoryFileSystem fs;
  fs.SetDirectory("D:\\Work\\", {Dir("."), Dir(".."), File("a.txt", 100), Dir("src"), File("z.txt", 300)});
  fs.SetDirectory("D:\\Work\\src\\", {Dir("."), Dir(".."), File("main.c", 2048)});
  EXPECT_EQ(Report(fs, "D:\\Work", 1, -1, 2), Lines({
                                                  "D:\\Work",
                                                  "├─a.txt  100 B",
                                                  "├─src",
                                                  "│   └─main.c  2048 B",
                                                  "└─z.txt  300 B",
                                              }));
}

TEST(WalkTest, ChildrenOfLastDirectoryGetSixBlanks) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {Dir("."), Dir(".."), File("b.txt"), Dir("d")});
  fs.SetDirectory("C:\\T\\d\\", {Dir("."), Dir(".."), Dir("e"), File("f.txt")});
  fs.SetDirectory("C:\\T\\d\\e\\", {Dir("."), Dir(".."), File("g.txt")});
  EXPECT_EQ(Report(fs, "C:\\T"), Lines({
                                     "C:\\T",
                                     "├─b.txt",
                                     "└─d",
                                     "      ├─e",
                                     "      │   └─g.txt",
                                     "      └─f.txt",
                                 }));
}

TEST(WalkTest, DotsAfterTheLastEntryKeepItsBranchOpen) {
  // The look-ahead sees "." and "..", so the last real entry is not "last".
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {Dir("d"), Dir("."), Dir("..")});
  fs.SetDirectory("C:\\T\\d\\", {File("x")});
  EXPECT_EQ(Report(fs, "C:\\T"), Lines({"C:\\T", "├─d", "│   └─x"}));
}

TEST(WalkTest, SmallTargets) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\empty\\", {Dir("."), Dir("..")});
  fs.SetDirectory("C:\\one\\", {Dir("."), Dir(".."), File("only.txt")});
  fs.SetDirectory("C:\\名字\\", {File("文件.txt")});
  EXPECT_EQ(Report(fs, "C:\\empty"), Lines({"C:\\empty"}));
  EXPECT_EQ(Report(fs, "C:\\missing"), Lines({"C:\\missing"}));
  EXPECT_EQ(Report(fs, "C:\\one"), Lines({"C:\\one", "└─only.txt"}));
  EXPECT_EQ(Report(fs, "C:\\名字"), Lines({"C:\\名字", "└─文件.txt"}));
}

TEST(WalkTest, DepthLimit) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {Dir("a")});
  fs.SetDirectory("C:\\T\\a\\", {Dir("b")});
  fs.SetDirectory("C:\\T\\a\\b\\", {Dir("c")});
  fs.SetDirectory("C:\\T\\a\\b\\c\\", {File("f")});
  const std::string all = Lines({"C:\\T", "└─a", "      └─b", "            └─c",
                                 "                  └─f"});
  struct Row {
    std::int32_t depth;
    int lines;
  } rows[] = {{0, 2}, {1, 3}, {2, 4}, {3, 5}, {9, 5}, {-1, 5}, {-5, 5}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.depth);
    std::string expected;
    std::size_t at = 0;
    for (int i = 0; i < row.lines; ++i) at = all.find("\r\n", at) + 2;
    EXPECT_EQ(Report(fs, "C:\\T", 0, row.depth), all.substr(0, at));
  }
}

TEST(WalkTest, OnlyPlainAndReadOnlyDirectoriesAreDescended) {
  struct Row {
    std::uint32_t attributes;
    bool descended;
  } rows[] = {{0x10, true}, {0x11, true}, {0x12, false}, {0x14, false},
              {0x16, false}, {0x30, false}, {0x410, false}, {0x2010, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.attributes);
    MemoryFileSystem fs;
    fs.SetDirectory("C:\\T\\", {Dir("d", row.attributes)});
    fs.SetDirectory("C:\\T\\d\\", {File("inner")});
    const std::string listed = Lines({"C:\\T", "└─d"});
    EXPECT_EQ(Report(fs, "C:\\T"), row.descended ? listed + "      └─inner\r\n" : listed);
  }
}

TEST(WalkTest, TargetSeparatorIsAddedOnlyWhenTheLastByteIsNoSeparator) {
  struct Row {
    const char* target;
    const char* walked;
  } rows[] = {
      {"D:\\Work", "D:\\Work\\*"},
      {"D:\\Work\\", "D:\\Work\\*"},
      {"C:\\", "C:\\*"},
      {"", "\\*"},
      // 誠 is D5 5C: its second byte is the separator, so nothing is added.
      {"D:\\誠", "D:\\誠*"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    MemoryFileSystem fs;
    Report(fs, row.target);
    ASSERT_FALSE(fs.EnumeratedPatterns().empty());
    EXPECT_EQ(fs.EnumeratedPatterns().front(), row.walked);
  }
}

TEST(WalkTest, TooDeepDirectoriesShowNoContents) {
  // The target fits the 259-character limit; its subdirectory does not.
  MemoryFileSystem fs;
  const Text base = "C:\\" + Text(252, 'x');
  fs.SetDirectory(base + "\\", {Dir("deep")});
  fs.SetDirectory(base + "\\deep\\", {File("unseen")});
  const std::string report = Report(fs, base.c_str());
  EXPECT_EQ(report, ToStdString(base) + "\r\n└─deep\r\n");
}

TEST(WriterTest, EntryFilterMasks) {
  MemoryFileSystem fs;
  DirectoryTreeWriter writer(fs);
  EXPECT_TRUE(writer.SetEntryFilter(1));
  EXPECT_EQ(writer.entryAttributeMask, 39u);
  EXPECT_FALSE(writer.SetEntryFilter(3));
  EXPECT_EQ(writer.entryAttributeMask, 39u);
  EXPECT_TRUE(writer.SetEntryFilter(2));
  EXPECT_EQ(writer.entryAttributeMask, 16u);
  EXPECT_TRUE(writer.SetEntryFilter(0));
  EXPECT_EQ(writer.entryAttributeMask, 55u);
}

// A writer for target C:\T with the Start command's filter and pattern.
DirectoryTreeWriter WriterFor(MemoryFileSystem& fs, const char* output) {
  DirectoryTreeWriter writer(fs);
  writer.SetTargetDirectory("C:\\T");
  writer.SetOutputPath(output);
  writer.SetEntryFilter(0);
  writer.SetNamePattern("*");
  return writer;
}

TEST(WriterTest, GenerateTwiceAppendsAndConnectorsAreReset) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {File("a"), File("b")});
  DirectoryTreeWriter writer = WriterFor(fs, "R:\\r.txt");
  writer.SetDepthLimit(-1);
  writer.branchConnector = "+-";
  writer.Generate();
  writer.Generate();
  writer.CloseOutput();
  const std::string once = Lines({"C:\\T", "├─a", "└─b"});
  EXPECT_EQ(fs.ReportBytes("R:\\r.txt"), once + once);
}

TEST(WriterTest, NoReportFileStillWalksAndRemembersTheFailure) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {File("a")});
  DirectoryTreeWriter writer = WriterFor(fs, "");
  EXPECT_EQ(writer.outputFile, 0);
  writer.Generate();
  writer.CloseOutput();
  EXPECT_TRUE(writer.WriteFailed());
  EXPECT_EQ(fs.EnumeratedPatterns().size(), 1u);
}

TEST(WriterTest, FailedWriteIsRememberedUntilTheNextOutputPath) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {File("a"), File("b")});
  DirectoryTreeWriter writer = WriterFor(fs, "R:\\r.txt");
  fs.FailWritesAfter(2);
  writer.Generate();
  writer.CloseOutput();
  EXPECT_TRUE(writer.WriteFailed());
  EXPECT_EQ(fs.ReportBytes("R:\\r.txt"), Lines({"C:\\T", "├─a"}));
  fs.FailWritesAfter(-1);
  writer.SetOutputPath("R:\\r.txt");
  EXPECT_FALSE(writer.WriteFailed());
  writer.Generate();
  EXPECT_FALSE(writer.WriteFailed());
}

TEST(WriterTest, CopiesShareTheReportFileAndOwnTheirTexts) {
  MemoryFileSystem fs;
  DirectoryTreeWriter writer(fs);
  writer.SetTargetDirectory("C:\\T");
  writer.SetOutputPath("R:\\r.txt");
  DirectoryTreeWriter copy = writer;
  copy.SetTargetDirectory("C:\\U");
  EXPECT_EQ(copy.outputFile, writer.outputFile);
  EXPECT_EQ(writer.targetDirectory, "C:\\T");
}

TEST(FindTest, MasksDecideWhichEntriesAreDelivered) {
  struct Row {
    std::uint32_t mask;
    const char* delivered;  // names of the entries below that pass, in order
  } rows[] = {
      {55, ". .. dir arch link ro hidden"},
      {39, "arch ro hidden"},
      {16, ". .. dir arch link"},
      {0, "zero"},
  };
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\T\\", {Dir("."), Dir(".."), Other("normal", 0x80), Dir("dir"), Dir("arch", 0x30),
                              Dir("link", 0x410), Other("ro", 0x21), Other("hidden", 0x22),
                              Other("zero", 0), Other("temp", 0x100)});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mask);
    FindHandle handle;
    Text names;
    for (Text name = FindEntries(fs, "C:\\T\\*", row.mask, handle); !name.empty();
         name = FindNextEntry(handle)) {
      names += (names.empty() ? "" : " ") + name;
    }
    EXPECT_EQ(names, row.delivered);
    EXPECT_FALSE(handle.IsOpen());
  }
}

TEST(FindTest, ExhaustedAndMissingEnumerationsLeaveTheHandleNone) {
  MemoryFileSystem fs;
  fs.SetDirectory("C:\\E\\", {Dir("."), Dir("..")});
  FindHandle handle;
  EXPECT_EQ(FindEntries(fs, "C:\\E\\*", 55, handle), ".");
  EXPECT_TRUE(handle.IsOpen());
  EXPECT_EQ(FindNextEntry(handle), "..");
  EXPECT_EQ(FindNextEntry(handle), "");
  EXPECT_FALSE(handle.IsOpen());
  CloseFind(handle);
  EXPECT_EQ(FindEntries(fs, "C:\\missing\\*", 55, handle), "");
  EXPECT_FALSE(handle.IsOpen());
  EXPECT_EQ(FindNextEntry(handle), "");
}

}  // namespace
}  // namespace dirtree
