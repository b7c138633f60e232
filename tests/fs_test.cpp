// The contracts of the platform's file-system layer, on the real disk. One
// file for Linux and Windows: the cases that need attribute bits, "." and
// ".." or share modes ask the platform at run time.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fs/encoding.h"
#include "fs/fs.h"
#include "tests/disk.h"

namespace dirtree {
namespace {

constexpr std::uint32_t kDirectory = 0x10;

// What every platform gives an ordinary file: the archive bit and not the
// directory bit, so that mask 55 delivers it.
bool IsFileWord(std::uint32_t word) {
  return word != kInvalidAttributes && (word & 0x30) == 0x20;
}

std::vector<Text> WithoutDots(std::vector<Text> names) {
  std::erase_if(names, [](const Text& name) { return name == "." || name == ".."; });
  return names;
}

std::vector<Text> Sorted(std::vector<Text> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// A path below the test folder of exactly a given number of characters, as
// GBK for the layer and as UTF-8 relative to the folder for the helpers.
struct SizedPath {
  Text path;
  std::u8string relative;
};

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }
  // The folder can only be removed once the layer has let go of its files.
  void TearDown() override {
    for (const std::int32_t number : opened) fs.CloseReportFile(number);
  }

  // GBK path of `parts` below the folder, joined with the platform's separator.
  Text Path(std::initializer_list<std::string_view> parts) const {
    Text path = folder.Root();
    for (const std::string_view part : parts) {
      path += fs.Separator();
      path.append(part.data(), part.size());
    }
    return path;
  }

  std::int32_t OpenReport(const Text& path) {
    const std::int32_t number = fs.OpenReportFile(path);
    if (number != 0) opened.push_back(number);
    return number;
  }

  // Every name the enumeration of `directory` delivers through `mask`; the
  // handle must be none once the names run out.
  std::vector<Text> List(const Text& directory, std::uint32_t mask = 55) {
    std::vector<Text> names;
    FindHandle handle;
    for (Text name = FindEntries(fs, directory + fs.Separator() + "*", mask, handle);
         !name.empty(); name = FindNextEntry(handle)) {
      names.push_back(name);
    }
    EXPECT_FALSE(handle.IsOpen());
    return names;
  }

  // The words that the enumeration itself reports, by name.
  std::map<Text, std::uint32_t> EnumeratedWords(const Text& directory) {
    std::map<Text, std::uint32_t> words;
    auto enumeration = fs.OpenEnumeration(directory + fs.Separator() + "*");
    RawEntry entry;
    while (enumeration && enumeration->Next(entry)) words[entry.name] = entry.attributes;
    return words;
  }

  // Components of at most 80 double-byte characters keep every name within
  // the 255 bytes a Linux name may take in UTF-8. The last character is
  // `last`, so paths of one length can be told apart.
  SizedPath PathOfLength(int characters, char last) const {
    SizedPath sized{folder.Root(), u8""};
    int left = characters - CountCharacters(folder.Root());
    while (left > 0) {
      sized.path += fs.Separator();
      if (!sized.relative.empty()) sized.relative += u8'/';
      --left;
      // Never leave a single character over: a component needs two.
      int run = std::min(left, 80);
      if (left - run == 1) --run;
      left -= run;
      const bool lastComponent = left == 0;
      for (int i = 0; i < run - (lastComponent ? 1 : 0); ++i) {
        sized.path += "目";
        sized.relative += u8"目";
      }
      if (lastComponent) {
        sized.path += last;
        sized.relative += static_cast<char8_t>(last);
      }
    }
    return sized;
  }

  FileSystem& fs = PlatformFileSystem();
  disk::TempFolder folder;
  std::vector<std::int32_t> opened;
};

TEST_F(FileSystemTest, AttributeWordsOfPaths) {
  ASSERT_TRUE(folder.MakeFile(u8"目录树/文件.txt", 3));
  struct Row {
    const char* what;
    Text path;
    std::optional<std::uint32_t> word;  // nothing: an ordinary file's word
  };
  const Row rows[] = {
      {"missing", Path({"无此项"}), kInvalidAttributes},
      {"missing parent", Path({"无此项", "文件.txt"}), kInvalidAttributes},
      {"empty path", Text(), kInvalidAttributes},
      {"the folder", folder.Root(), kDirectory},
      {"GBK directory", Path({"目录树"}), kDirectory},
      {"GBK file", Path({"目录树", "文件.txt"}), std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::uint32_t word = fs.GetEntryAttributes(row.path);
    if (row.word) {
      EXPECT_EQ(word, *row.word);
    } else {
      EXPECT_TRUE(IsFileWord(word)) << std::hex << word;
    }
  }
}

TEST_F(FileSystemTest, AnswersFollowTheDisk) {
  const Text path = Path({"后来"});
  EXPECT_EQ(fs.GetEntryAttributes(path), kInvalidAttributes);
  ASSERT_TRUE(folder.MakeDirectory(u8"后来"));
  EXPECT_EQ(fs.GetEntryAttributes(path), kDirectory);
}

TEST_F(FileSystemTest, GbkNamesRoundTripThroughEnumeration) {
  ASSERT_TRUE(folder.MakeFile(u8"目录树/文件.txt", 3));
  ASSERT_TRUE(folder.MakeDirectory(u8"目录树/子目录"));
  const Text directory = Path({"目录树"});

  EXPECT_EQ(Sorted(WithoutDots(List(directory))), Sorted({"文件.txt", "子目录"}));
  EXPECT_EQ(WithoutDots(List(directory, 16)), std::vector<Text>{"子目录"});

  std::map<Text, std::uint32_t> words = EnumeratedWords(directory);
  EXPECT_EQ(words["子目录"], kDirectory);
  EXPECT_TRUE(IsFileWord(words["文件.txt"])) << std::hex << words["文件.txt"];

  // The delivered names lead back to the entries.
  EXPECT_EQ(fs.GetEntryAttributes(Path({"目录树", "子目录"})), kDirectory);
  EXPECT_EQ(fs.GetFileSize(Path({"目录树", "文件.txt"})), 3);
}

TEST_F(FileSystemTest, EmptyDirectoryDeliversOnlyWhatThePlatformAdds) {
  ASSERT_TRUE(folder.MakeDirectory(u8"空"));
  const std::vector<Text> expected =
      disk::PlatformListsDotEntries() ? std::vector<Text>{".", ".."} : std::vector<Text>{};
  EXPECT_EQ(List(Path({"空"})), expected);
}

TEST_F(FileSystemTest, CharactersOutsideGbkAreDeliveredAsQuestionMarks) {
  ASSERT_TRUE(folder.MakeFile(u8"a\u0E01b.txt", 0));  // a Thai letter
  ASSERT_TRUE(folder.MakeFile(u8"b\u00B2.txt", 0));  // superscript two: no look-alike "2"
  ASSERT_TRUE(folder.MakeFile(u8"c\U0001F600.txt", 0));  // outside the BMP: one "?"
  EXPECT_EQ(Sorted(WithoutDots(List(folder.Root()))), Sorted({"a?b.txt", "b?.txt", "c?.txt"}));
  // Such a name no longer reaches its entry.
  EXPECT_EQ(fs.GetEntryAttributes(Path({"a?b.txt"})), kInvalidAttributes);
}

TEST_F(FileSystemTest, EnumerationOfWhatIsNoDirectoryIsEmpty) {
  ASSERT_TRUE(folder.MakeFile(u8"文件.txt", 1));
  const struct {
    const char* what;
    Text pattern;
  } rows[] = {
      {"missing directory", Path({"无此项", "*"})},
      {"missing parent", Path({"无此项", "子", "*"})},
      {"a file", Path({"文件.txt", "*"})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    // Start from an open handle: the new search must let go of the old one.
    FindHandle handle;
    ASSERT_FALSE(FindEntries(fs, Path({"*"}), 55, handle).empty());
    ASSERT_TRUE(handle.IsOpen());
    EXPECT_EQ(FindEntries(fs, row.pattern, 55, handle), "");
    EXPECT_FALSE(handle.IsOpen());
    EXPECT_EQ(FindNextEntry(handle), "");
  }
}

TEST_F(FileSystemTest, SizesAndStampsOfWhatCannotBeReadAreMissing) {
  ASSERT_TRUE(folder.MakeDirectory(u8"目录树"));
  ASSERT_TRUE(folder.MakeFile(u8"空.txt", 0));
  ASSERT_TRUE(folder.MakeFile(u8"三.txt", 3));
  const struct {
    const char* what;
    Text path;
    std::int64_t size;
    bool stamps;
  } rows[] = {
      {"directory", Path({"目录树"}), 0, false},
      {"missing", Path({"无此项"}), 0, false},
      {"empty path", Text(), 0, false},
      {"empty file", Path({"空.txt"}), 0, true},
      {"file", Path({"三.txt"}), 3, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(fs.GetFileSize(row.path), row.size);
    EXPECT_EQ(fs.GetFileTimes(row.path).has_value(), row.stamps);
  }
}

// Links, pipes and unreadable files on Linux read as the Windows layer would
// show their kinds, and the size and time reads fail for them at once,
// without blocking on a pipe.
TEST_F(FileSystemTest, LinuxSpecialEntries) {
  ASSERT_TRUE(folder.MakeFile(u8"目录/五.txt", 5));
  if (!folder.MakeSymbolicLink(u8"目录链接", u8"目录")) GTEST_SKIP() << "no symbolic links here";
  ASSERT_TRUE(folder.MakeSymbolicLink(u8"文件链接", u8"目录/五.txt"));
  ASSERT_TRUE(folder.MakeSymbolicLink(u8"断链", u8"无此项"));
  ASSERT_TRUE(folder.MakeFifo(u8"管道"));
  ASSERT_TRUE(folder.MakeFile(u8"不可读.txt", 4));
  // Root reads anything: the file then stays readable.
  const bool unreadable = folder.MakeUnreadable(u8"不可读.txt") && !folder.ReadBytes(u8"不可读.txt");
  const struct {
    const char* name;
    std::uint32_t word;
    std::int64_t size;
    bool stamps;
  } rows[] = {
      {"目录链接", 0x410, 0, false},
      {"文件链接", 0x420, 5, true},
      {"断链", 0x420, 0, false},
      {"管道", 0x20, 0, false},
      {"不可读.txt", 0x20, unreadable ? 0 : 4, !unreadable},
  };
  const std::map<Text, std::uint32_t> words = EnumeratedWords(folder.Root());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Text path = Path({row.name});
    EXPECT_EQ(fs.GetEntryAttributes(path), row.word);
    EXPECT_EQ(words.at(row.name), row.word);
    EXPECT_EQ(fs.GetFileSize(path), row.size);
    EXPECT_EQ(fs.GetFileTimes(path).has_value(), row.stamps);
  }
}

TEST_F(FileSystemTest, SizeBeyond4GiBIsTheFullLength) {
  constexpr std::int64_t kLength = (std::int64_t{5} << 30) + 3;  // low 32 bits: 3
  ASSERT_TRUE(folder.MakeSparseFile(u8"大.bin", kLength));
  EXPECT_EQ(fs.GetFileSize(Path({"大.bin"})), kLength);
}

TEST_F(FileSystemTest, StampsAreUtcInWholeSeconds) {
  // 14 October 2019, 04:59:46.7 UTC.
  constexpr std::int64_t kTicks = 132155027867000000;
  ASSERT_TRUE(folder.MakeFile(u8"时间.txt", 1));
  ASSERT_TRUE(folder.SetLastWriteTime(u8"时间.txt", kTicks));
  const std::optional<FileTimes> times = fs.GetFileTimes(Path({"时间.txt"}));
  ASSERT_TRUE(times.has_value());
  // Day 43752 after 30 December 1899, 04:59:46, the fraction of a second dropped.
  EXPECT_DOUBLE_EQ(times->lastWrite, 43752.0 + (4 * 3600 + 59 * 60 + 46) / 86400.0);
}

TEST_F(FileSystemTest, OpenReportFileIsRefusedToReaders) {
  const Text path = Path({"报告.txt"});
  const std::int32_t number = OpenReport(path);
  ASSERT_NE(number, 0);
  ASSERT_TRUE(fs.WriteTextLine(number, "abc"));
  // The line is in the file as soon as the call returns.
  EXPECT_EQ(folder.LengthOnDisk(u8"报告.txt"), 5);

  EXPECT_EQ(fs.GetFileSize(path), 0);
  EXPECT_FALSE(fs.GetFileTimes(path).has_value());
  EXPECT_TRUE(IsFileWord(fs.GetEntryAttributes(path)));
  if (disk::PlatformHasShareModes()) {
    EXPECT_FALSE(folder.CanOpenForReading(u8"报告.txt"));
    EXPECT_EQ(fs.OpenReportFile(path), 0);
  }

  fs.CloseReportFile(number);
  EXPECT_EQ(fs.GetFileSize(path), 5);
  EXPECT_TRUE(fs.GetFileTimes(path).has_value());
  EXPECT_EQ(folder.ReadBytes(u8"报告.txt"), "abc\r\n");
}

TEST_F(FileSystemTest, ReportFilesThatCannotBeCreated) {
  ASSERT_TRUE(folder.MakeDirectory(u8"目录树"));
  const struct {
    const char* what;
    Text path;
  } rows[] = {
      {"empty path", Text()},
      {"missing folder", Path({"无此项", "报告.txt"})},
      {"a directory", Path({"目录树"})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(OpenReport(row.path), 0);
  }
  EXPECT_EQ(fs.GetEntryAttributes(Path({"无此项"})), kInvalidAttributes);  // folders are not made
  EXPECT_EQ(fs.GetEntryAttributes(Path({"目录树"})), kDirectory);
  EXPECT_FALSE(fs.WriteTextLine(0, "x"));
  fs.CloseReportFile(0);
}

TEST_F(FileSystemTest, ExistingReportIsEmptiedAndReused) {
  ASSERT_TRUE(folder.MakeFile(u8"旧.txt", 1 << 20));
  const std::int32_t number = OpenReport(Path({"旧.txt"}));
  ASSERT_NE(number, 0);
  EXPECT_EQ(folder.LengthOnDisk(u8"旧.txt"), 0);
  EXPECT_TRUE(fs.WriteTextLine(number, "新"));
  EXPECT_TRUE(fs.WriteTextLine(number, "行"));
  fs.CloseReportFile(number);
  EXPECT_EQ(folder.ReadBytes(u8"旧.txt"), "新\r\n行\r\n");
}

TEST_F(FileSystemTest, LinesAreWrittenAsTheyAreWithCrLf) {
  const struct {
    const char* what;
    Text text;
    std::string bytes;
  } rows[] = {
      {"empty", Text(), "\r\n"},
      {"connector", "├─", "\xA9\xC0\xA9\xA4\r\n"},
      {"line feed inside", "a\nb", "a\nb\r\n"},
      {"NUL inside", Text("x\0y", 3), std::string("x\0y\r\n", 5)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::int32_t number = OpenReport(Path({"行.txt"}));
    ASSERT_NE(number, 0);
    EXPECT_TRUE(fs.WriteTextLine(number, row.text));
    fs.CloseReportFile(number);
    EXPECT_EQ(folder.ReadBytes(u8"行.txt"), row.bytes);
  }
}

TEST_F(FileSystemTest, ClosedReportTakesNoMoreLines) {
  const std::int32_t number = OpenReport(Path({"报告.txt"}));
  ASSERT_NE(number, 0);
  ASSERT_TRUE(fs.WriteTextLine(number, "一"));
  fs.CloseReportFile(number);
  EXPECT_FALSE(fs.WriteTextLine(number, "二"));
  fs.CloseReportFile(number);
  EXPECT_EQ(folder.ReadBytes(u8"报告.txt"), "一\r\n");
}

TEST_F(FileSystemTest, FailedLineLeavesNothingBehind) {
  const std::int32_t number = OpenReport(Path({"满.txt"}));
  ASSERT_NE(number, 0);
  ASSERT_TRUE(fs.WriteTextLine(number, "first"));
  {
    const disk::FileSizeLimit fullAt(10);
    if (!fullAt.ok()) GTEST_SKIP() << "the platform offers no way to fill the disk";
    EXPECT_FALSE(fs.WriteTextLine(number, "too long"));  // 3 of its 10 bytes fit
    EXPECT_EQ(folder.LengthOnDisk(u8"满.txt"), 7);
    EXPECT_TRUE(fs.WriteTextLine(number, "o"));  // exactly up to the limit
  }
  fs.CloseReportFile(number);
  EXPECT_EQ(folder.ReadBytes(u8"满.txt"), "first\r\no\r\n");
}

TEST_F(FileSystemTest, OpenReportsHaveDistinctNumbers) {
  const std::int32_t first = OpenReport(Path({"甲.txt"}));
  const std::int32_t second = OpenReport(Path({"乙.txt"}));
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  ASSERT_NE(first, second);
  EXPECT_TRUE(fs.WriteTextLine(first, "甲"));
  EXPECT_TRUE(fs.WriteTextLine(second, "乙"));
  fs.CloseReportFile(first);
  EXPECT_FALSE(fs.WriteTextLine(first, "甲二"));
  EXPECT_TRUE(fs.WriteTextLine(second, "乙二"));

  const std::int32_t third = OpenReport(Path({"丙.txt"}));
  EXPECT_NE(third, 0);
  EXPECT_NE(third, second);
  fs.CloseReportFile(second);
  fs.CloseReportFile(third);
  EXPECT_EQ(folder.ReadBytes(u8"甲.txt"), "甲\r\n");
  EXPECT_EQ(folder.ReadBytes(u8"乙.txt"), "乙\r\n乙二\r\n");
}

TEST_F(FileSystemTest, PathsOf259CharactersWork) {
  const SizedPath file = PathOfLength(259, 'a');
  const SizedPath directory = PathOfLength(257, 'd');  // its pattern: 259
  const SizedPath report = PathOfLength(259, 'r');
  ASSERT_EQ(CountCharacters(file.path), 259);
  ASSERT_TRUE(folder.MakeFile(file.relative, 4));
  ASSERT_TRUE(folder.MakeFile(directory.relative + u8"/f", 1));

  EXPECT_TRUE(IsFileWord(fs.GetEntryAttributes(file.path)));
  EXPECT_EQ(fs.GetFileSize(file.path), 4);
  EXPECT_TRUE(fs.GetFileTimes(file.path).has_value());
  EXPECT_EQ(WithoutDots(List(directory.path)), std::vector<Text>{"f"});

  const std::int32_t number = OpenReport(report.path);
  ASSERT_NE(number, 0);
  EXPECT_TRUE(fs.WriteTextLine(number, "x"));
  fs.CloseReportFile(number);
  EXPECT_EQ(folder.ReadBytes(report.relative), "x\r\n");
}

TEST_F(FileSystemTest, PathsOf260CharactersFailLikeMissingOnes) {
  const SizedPath file = PathOfLength(260, 'a');
  const SizedPath directory = PathOfLength(258, 'd');  // its pattern: 260
  const SizedPath report = PathOfLength(260, 'r');
  ASSERT_EQ(CountCharacters(file.path), 260);
  ASSERT_TRUE(folder.MakeFile(file.relative, 4));
  ASSERT_TRUE(folder.MakeFile(directory.relative + u8"/f", 1));

  EXPECT_EQ(fs.GetEntryAttributes(file.path), kInvalidAttributes);
  EXPECT_EQ(fs.GetFileSize(file.path), 0);
  EXPECT_FALSE(fs.GetFileTimes(file.path).has_value());
  EXPECT_EQ(List(directory.path), std::vector<Text>{});
  EXPECT_EQ(OpenReport(file.path), 0);
  EXPECT_EQ(folder.ReadBytes(file.relative), "xxxx");
  EXPECT_EQ(OpenReport(report.path), 0);
  EXPECT_EQ(folder.LengthOnDisk(report.relative), std::nullopt);
}

std::string Utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

// Both platforms convert names, arguments and messages the same way.
TEST(EncodingTest, GbkAndUtf8) {
  const struct {
    const char* what;
    std::u8string_view utf8;
    Text gbk;
  } bothWays[] = {
      {"names", u8"目录树/文件.txt", "目录树/文件.txt"},
      {"connectors", u8"├─│└", "\xA9\xC0\xA9\xA4\xA9\xA6\xA9\xB8"},
      {"euro sign", u8"\u20AC", "\x80"},
  };
  for (const auto& row : bothWays) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Utf8ToGbk(Utf8(row.utf8)), row.gbk);
    EXPECT_EQ(GbkToUtf8(row.gbk), Utf8(row.utf8));
  }

  const struct {
    const char* what;
    std::string utf8;
    Text gbk;
  } toGbk[] = {
      {"invalid byte", "a\xFF" "b", "a?b"},
      {"each byte of a cut sequence", "\xE7\x9B", "??"},
      {"outside the BMP", Utf8(u8"\U0001F600"), "?"},
      {"outside GBK", Utf8(u8"\u0E01\u00B2"), "??"},
  };
  for (const auto& row : toGbk) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Utf8ToGbk(row.utf8), row.gbk);
  }

  const struct {
    const char* what;
    Text gbk;
    std::u8string_view utf8;
  } toUtf8[] = {
      {"lead byte at the end", "a\x81", u8"a\uFFFD"},
      {"lead byte with an invalid trail byte", "\x81\x30" "b", u8"\uFFFDb"},
  };
  for (const auto& row : toUtf8) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(GbkToUtf8(row.gbk), Utf8(row.utf8));
  }
}

struct DirectoryBits {
  const char8_t* name;
  const char* gbkName;
  std::uint32_t bits;
  std::uint32_t word;
};

// One case per bit, so that a bit the file system does not keep skips alone.
class DirectoryWordTest : public FileSystemTest,
                          public ::testing::WithParamInterface<DirectoryBits> {};

TEST_P(DirectoryWordTest, BitsOfDirectoriesAreKeptInTheWord) {
  if (!disk::PlatformHasAttributeBits()) GTEST_SKIP() << "the platform keeps no attribute bits";
  const DirectoryBits& row = GetParam();
  ASSERT_TRUE(folder.MakeDirectory(row.name));
  if (!folder.AddAttributeBits(row.name, row.bits)) {
    GTEST_SKIP() << "this file system does not keep bits " << row.bits << " on a directory";
  }
  EXPECT_EQ(fs.GetEntryAttributes(Path({row.gbkName})), row.word);
  const std::map<Text, std::uint32_t> words = EnumeratedWords(folder.Root());
  ASSERT_TRUE(words.count(row.gbkName));
  EXPECT_EQ(words.at(row.gbkName), row.word);
}

INSTANTIATE_TEST_SUITE_P(Bits, DirectoryWordTest,
                         ::testing::Values(DirectoryBits{u8"只读", "只读", 0x01, 0x11},
                                           DirectoryBits{u8"隐藏", "隐藏", 0x02, 0x12},
                                           DirectoryBits{u8"系统", "系统", 0x04, 0x14}));

TEST_F(FileSystemTest, ProtectedFileIsNotReplacedByReport) {
  if (!disk::PlatformHasAttributeBits()) GTEST_SKIP() << "the platform keeps no attribute bits";
  const struct {
    const char8_t* name;
    const char* gbkName;
    std::uint32_t bits;
  } rows[] = {
      {u8"只读.txt", "只读.txt", 0x01},
      {u8"隐藏.txt", "隐藏.txt", 0x02},
      {u8"系统.txt", "系统.txt", 0x04},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.gbkName);
    ASSERT_TRUE(folder.MakeFile(row.name, 4));
    ASSERT_TRUE(folder.AddAttributeBits(row.name, row.bits));
    EXPECT_EQ(OpenReport(Path({row.gbkName})), 0);
    EXPECT_EQ(folder.ReadBytes(row.name), "xxxx");
    EXPECT_EQ(fs.GetEntryAttributes(Path({row.gbkName})) & row.bits, row.bits);
  }
}

}  // namespace
}  // namespace dirtree
