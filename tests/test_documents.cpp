// Text documents: reading lists from real files (line ends, TABs, encodings,
// hostile files), writing them without ever destroying the previous file, the
// proposed names and the counter's key filter.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "documents/document_commands.h"
#include "documents/text_file.h"
#include "support/list_places.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

using testing::ReadBytes;
using testing::RunningAsRoot;
using testing::TempDir;

// ---- Reading ----------------------------------------------------------------

struct ReadCase {
  const char* why;
  std::string bytes;
  std::string text;
  std::int64_t lines;
  TextEncoding encoding;
};

class ReadLines : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadLines, GivesEachLineWithCrLf) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const ReadTextResult read = ReadTextDocument(dir.write("list.txt", c.bytes));
  EXPECT_EQ(read.status, ReadStatus::Complete) << c.why;
  EXPECT_EQ(read.text, c.text) << c.why;
  EXPECT_EQ(read.lines, c.lines) << c.why;
  EXPECT_EQ(read.encoding, c.encoding) << c.why;
  EXPECT_TRUE(read.problem.empty());
  // Standard input of the command line is read by the same rules.
  const ReadTextResult decoded = DecodeTextDocument(c.bytes);
  EXPECT_EQ(decoded.status, ReadStatus::Complete) << c.why;
  EXPECT_EQ(decoded.text, c.text) << c.why;
  EXPECT_EQ(decoded.lines, c.lines) << c.why;
  EXPECT_EQ(decoded.encoding, c.encoding) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadLines,
    ::testing::Values(
        ReadCase{"empty file: no line at all", "", "", 0, TextEncoding::Cp1251},
        ReadCase{"CR LF lines", "1 2\r\n3 4\r\n", "1 2\r\n3 4\r\n", 2, TextEncoding::Cp1251},
        ReadCase{"no final line break: the last line is read", "1 2\r\n3 4", "1 2\r\n3 4\r\n", 2,
                 TextEncoding::Cp1251},
        ReadCase{"LF only", "1 2\n3 4\n", "1 2\r\n3 4\r\n", 2, TextEncoding::Cp1251},
        ReadCase{"CR only", "1 2\r3 4\r", "1 2\r\n3 4\r\n", 2, TextEncoding::Cp1251},
        ReadCase{"mixed ends and an empty line", "a\r\n\nb\rc", "a\r\n\r\nb\r\nc\r\n", 4,
                 TextEncoding::Cp1251},
        ReadCase{"CR then CR LF is an empty line between", "a\r\r\nb", "a\r\n\r\nb\r\n", 3,
                 TextEncoding::Cp1251},
        ReadCase{"a single line break is one empty line", "\r\n", "\r\n", 1, TextEncoding::Cp1251},
        ReadCase{"TAB becomes two spaces", "P1\t6012.5\t3456.75\r\n", "P1  6012.5  3456.75\r\n", 1,
                 TextEncoding::Cp1251},
        ReadCase{"a last line of one TAB", "a\n\t", "a\r\n  \r\n", 2, TextEncoding::Cp1251},
        ReadCase{"NUL byte is kept as a character", std::string("1\0 2\r\n", 6),
                 std::string("1\0 2\r\n", 6), 1, TextEncoding::Cp1251},
        ReadCase{"cp1251 Cyrillic and degree sign", "\xCF\xF3\xED\xEA\xF2 55\xB0\r\n",
                 "Пункт 55°\r\n", 1, TextEncoding::Cp1251},
        ReadCase{"invalid UTF-8 is read as cp1251, every byte kept", "\xFF\xFE 1 2", "яю 1 2\r\n",
                 1, TextEncoding::Cp1251},
        ReadCase{"UTF-8 Cyrillic", "Пункт 1 2\n", "Пункт 1 2\r\n", 1, TextEncoding::Utf8},
        ReadCase{"BOM is not part of the text", "\xEF\xBB\xBFПункт 1 2\r\n", "Пункт 1 2\r\n", 1,
                 TextEncoding::Utf8Bom}));

TEST(ReadTextDocument, CrLfSplitBetweenTwoReadsIsOneLineEnd) {
  // The file is read in chunks of 1 MiB: put the CR last in the first chunk.
  const std::size_t chunk = std::size_t{1} << 20;
  std::string bytes(chunk - 1, 'x');
  bytes += "\r\ny\r\n";
  TempDir dir;
  const ReadTextResult read = ReadTextDocument(dir.write("split.txt", bytes));
  ASSERT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.lines, 2);
  EXPECT_EQ(read.text, std::string(chunk - 1, 'x') + "\r\ny\r\n");
}

TEST(ReadTextDocument, Utf8SequenceSplitBetweenTwoReads) {
  const std::size_t chunk = std::size_t{1} << 20;
  std::string bytes(chunk - 1, 'x');
  bytes += "Пункт\r\n";  // "П" is cut after its first byte
  TempDir dir;
  const ReadTextResult read = ReadTextDocument(dir.write("split.txt", bytes));
  ASSERT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.encoding, TextEncoding::Utf8);
  EXPECT_EQ(read.text, bytes);
}

TEST(ReadTextDocument, TenMegabyteLineIsReadWhole) {
  const std::string line(10 * 1000 * 1000, '7');
  TempDir dir;
  const ReadTextResult read = ReadTextDocument(dir.write("long.txt", line));
  ASSERT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.lines, 1);
  EXPECT_EQ(read.text.size(), line.size() + 2);
  EXPECT_TRUE(read.text.ends_with("77\r\n"));
}

TEST(ReadTextDocument, TwoHundredMegabyteFileIsReadCompletely) {
  // 200 MB of LF-ended lines: below the input box's 256 MiB even after every
  // LF has become CR LF.
  TempDir dir;
  const std::filesystem::path file = dir / "big.txt";
  const std::string line = "P123456 6012345.678 3456789.012 152.300\n";  // 40 bytes
  const std::int64_t lineCount = 200 * 1000 * 1000 / static_cast<std::int64_t>(line.size());
  {
    std::string block;
    for (int i = 0; i < 25000; ++i) block += line;  // 1 MB
    std::ofstream out(file, std::ios::binary);
    for (std::int64_t written = 0; written < lineCount; written += 25000) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  const ReadTextResult read = ReadTextDocument(file);
  ASSERT_EQ(read.status, ReadStatus::Complete) << read.problem;
  EXPECT_EQ(read.lines, lineCount);
  EXPECT_EQ(read.text.size(), static_cast<std::size_t>(lineCount) * (line.size() + 1));
  EXPECT_TRUE(read.text.ends_with("152.300\r\n"));
}

TEST(ReadTextDocument, TextAboveTheLimitKeepsTheLinesBefore) {
  TempDir dir;
  // Limit 20 bytes: two lines of 7 bytes fit, the third would make 21.
  const ReadTextResult read =
      ReadTextDocument(dir.write("list.txt", "1 2 3\r\n4 5 6\r\n7 8 9\r\n1 1 1\r\n"), 20);
  EXPECT_EQ(read.status, ReadStatus::TooLarge);
  EXPECT_EQ(read.text, "1 2 3\r\n4 5 6\r\n");
  EXPECT_EQ(read.lines, 2);
}

TEST(DecodeTextDocument, TextAboveTheLimitKeepsTheLinesBefore) {
  const ReadTextResult read = DecodeTextDocument("1 2 3\r\n4 5 6\r\n7 8 9\r\n", 20);
  EXPECT_EQ(read.status, ReadStatus::TooLarge);
  EXPECT_EQ(read.text, "1 2 3\r\n4 5 6\r\n");
}

TEST(ReadTextDocument, GiantLineAboveTheLimitIsDroppedNotHeld) {
  TempDir dir;
  const std::string bytes = "1 2 3\r\n" + std::string(3 * 1024 * 1024, 'x') + "\r\n4 5 6\r\n";
  const ReadTextResult read = ReadTextDocument(dir.write("list.txt", bytes), 1024 * 1024);
  EXPECT_EQ(read.status, ReadStatus::TooLarge);
  EXPECT_EQ(read.text, "1 2 3\r\n");
  EXPECT_LE(read.text.capacity(), std::size_t{16} * 1024 * 1024);  // bytes; the file was not held
}

TEST(ReadTextDocument, CyrillicCountsInUtf8BytesAgainstTheLimit) {
  TempDir dir;
  // Five cp1251 letters become ten UTF-8 bytes, plus CR LF: 12 > 11.
  const ReadTextResult read =
      ReadTextDocument(dir.write("list.txt", "\xCF\xF3\xED\xEA\xF2\r\n"), 11);
  EXPECT_EQ(read.status, ReadStatus::TooLarge);
  EXPECT_EQ(read.text, "");
}

struct FailCase {
  const char* why;
  std::string relative;  // path inside the test directory
  std::string problem;
};

class UnreadableFile : public ::testing::TestWithParam<FailCase> {};

TEST_P(UnreadableFile, ReportsWhyAndReadsNothing) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder");
  dir.write("file", "1 2\r\n");
  const ReadTextResult read = ReadTextDocument(dir / GetParam().relative);
  EXPECT_EQ(read.status, ReadStatus::CannotOpen) << GetParam().why;
  EXPECT_EQ(read.text, "");
  EXPECT_EQ(read.problem, GetParam().problem) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(Table, UnreadableFile,
                         ::testing::Values(FailCase{"missing file", "missing.txt",
                                                    "нет такого файла или папки"},
                                           FailCase{"a folder", "folder", "это папка, а не файл"},
                                           FailCase{"a file used as a folder", "file/list.txt",
                                                    "часть пути не является папкой"}));

TEST(ReadTextDocument, PipesAndDevicesAreRefusedWithoutWaitingOrReadingForever) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  // Opening a pipe without a writer would block; reading /dev/zero never ends.
  for (const std::filesystem::path& path : {dir / "pipe", std::filesystem::path("/dev/zero")}) {
    const ReadTextResult read = ReadTextDocument(path);
    EXPECT_EQ(read.status, ReadStatus::CannotOpen) << path;
    EXPECT_EQ(read.problem, "это не обычный файл") << path;
  }
}

TEST(ReadTextDocument, FileWithoutReadPermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  const auto file = dir.write("secret.txt", "1 2\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  const ReadTextResult read = ReadTextDocument(file);
  EXPECT_EQ(read.status, ReadStatus::CannotOpen);
  EXPECT_EQ(read.problem, "нет доступа");
}

// ---- Writing ----------------------------------------------------------------

TEST(WriteFileAtomically, CreatesAndReplaces) {
  TempDir dir;
  const auto file = dir / "out.txt";
  ASSERT_TRUE(WriteFileAtomically(file, "first").ok);
  EXPECT_EQ(ReadBytes(file), "first");
  ASSERT_TRUE(WriteFileAtomically(file, "second, longer").ok);
  EXPECT_EQ(ReadBytes(file), "second, longer");
  // Nothing but the target is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(WriteFileAtomically, KeepsThePermissionsOfTheReplacedFile) {
  TempDir dir;
  const auto file = dir.write("out.txt", "old");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read);
  ASSERT_TRUE(WriteFileAtomically(file, "new").ok);
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}

TEST(WriteFileAtomically, KeepsTheOwnerOfTheReplacedFile) {
  if (!RunningAsRoot()) GTEST_SKIP() << "only root can give a file to another user";
  TempDir dir;
  const auto file = dir.write("out.txt", "old");
  ASSERT_EQ(::chown(file.c_str(), 12345, 23456), 0);
  ASSERT_TRUE(WriteFileAtomically(file, "new").ok);
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 12345u);
  EXPECT_EQ(info.st_gid, 23456u);
}

TEST(WriteFileAtomically, ReplacesTheTargetOfASymbolicLink) {
  TempDir dir;
  const auto real = dir.write("real.txt", "old");
  std::filesystem::create_symlink(real, dir / "link.txt");
  ASSERT_TRUE(WriteFileAtomically(dir / "link.txt", "new").ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
  EXPECT_EQ(ReadBytes(real), "new");
}

struct WriteFailCase {
  const char* why;
  std::string relative;
  std::string problem;
};

class UnwritableTarget : public ::testing::TestWithParam<WriteFailCase> {};

TEST_P(UnwritableTarget, FailsWithAReasonAndLeavesNoTrace) {
  TempDir dir;
  dir.write("file", "keep");
  std::filesystem::create_directory(dir / "folder");
  const WriteResult result = WriteFileAtomically(dir / GetParam().relative, "text");
  EXPECT_FALSE(result.ok) << GetParam().why;
  EXPECT_EQ(result.problem, GetParam().problem) << GetParam().why;
  EXPECT_EQ(ReadBytes(dir / "file"), "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnwritableTarget,
    ::testing::Values(
        // What a read-only folder is for a user who is not root: nowhere to put the file.
        WriteFailCase{"folder that does not exist", "missing/out.txt",
                      "нет такого файла или папки"},
        WriteFailCase{"a file used as a folder", "file/out.txt", "часть пути не является папкой"},
        WriteFailCase{"the target is a folder", "folder", "это папка, а не файл"}));

TEST(WriteFileAtomically, ReadOnlyFolder) {
  if (RunningAsRoot()) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  std::filesystem::create_directory(dir / "ro");
  const auto file = dir.write("ro/out.txt", "keep");
  std::filesystem::permissions(
      dir / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const WriteResult result = WriteFileAtomically(file, "new");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.problem, "нет доступа");
  EXPECT_EQ(ReadBytes(file), "keep");
}

// Regression: a failure half-way through writing (disk full) destroyed the
// previous file, which had been truncated first.
TEST(WriteFileAtomically, FailureHalfWayLeavesThePreviousFileWhole) {
  TempDir dir;
  const std::string previous = "P1 6012.5 3456.75\r\n";
  const auto file = dir.write("list.txt", previous);
  // A file size limit makes the write fail part-way, as a full disk does,
  // and holds for root too.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const WriteResult result = WriteFileAtomically(file, std::string(5000, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.problem, "файл слишком велик");
  EXPECT_EQ(ReadBytes(file), previous);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);  // the temporary file is gone
}

// ---- Saving and reading back ----------------------------------------------

TEST(SaveTextDocument, WritesTextAndOneCrLf) {
  TempDir dir;
  const auto file = dir / "out.txt";
  const SaveResult saved = SaveTextDocument(file, "Пункт 1 2\r\n", TextEncoding::Cp1251);
  ASSERT_TRUE(saved.ok);
  EXPECT_EQ(saved.encoding, TextEncoding::Cp1251);
  EXPECT_EQ(ReadBytes(file), "\xCF\xF3\xED\xEA\xF2 1 2\r\n\r\n");
}

TEST(SaveTextDocument, Cp1251DocumentWithForeignCharacterGoesOutAsUtf8) {
  TempDir dir;
  const auto file = dir / "out.txt";
  const SaveResult saved = SaveTextDocument(file, "Zürich 1 2", TextEncoding::Cp1251);
  ASSERT_TRUE(saved.ok);
  EXPECT_EQ(saved.encoding, TextEncoding::Utf8);
  EXPECT_EQ(saved.missingCharacter, "ü");
  EXPECT_EQ(ReadBytes(file), "Zürich 1 2\r\n");
}

struct RoundTripCase {
  const char* why;
  std::string fileBytes;  // a file with CR LF line ends
  TextEncoding encoding;
};

class FileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(FileRoundTrip, OpenThenSaveGivesTheFileBackWithOneMoreCrLf) {
  // Open gives every line CR LF; Save writes the text and one more CR LF.
  const RoundTripCase& c = GetParam();
  TempDir dir;
  const ReadTextResult read = ReadTextDocument(dir.write("in.txt", c.fileBytes));
  ASSERT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.encoding, c.encoding) << c.why;
  const SaveResult saved = SaveTextDocument(dir / "out.txt", read.text, read.encoding);
  ASSERT_TRUE(saved.ok);
  EXPECT_EQ(saved.encoding, c.encoding) << c.why;
  EXPECT_EQ(ReadBytes(dir / "out.txt"), c.fileBytes + "\r\n") << c.why;
  // And reading the saved file gives the text back with that one empty line.
  EXPECT_EQ(ReadTextDocument(dir / "out.txt").text, read.text + "\r\n") << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileRoundTrip,
    ::testing::Values(
        RoundTripCase{"cp1251 with every byte that is not a line end or TAB",
                      [] {
                        std::string s;
                        for (int b = 0; b < 256; ++b) {
                          if (b != '\r' && b != '\n' && b != '\t')
                            s.push_back(static_cast<char>(b));
                        }
                        return s +
                               "\r\n\xCF\xF3\xED\xEA\xF2 55\xB0"
                               "45'\r\n";
                      }(),
                      TextEncoding::Cp1251},
        RoundTripCase{"UTF-8", "Пункт 55°45'\r\n✓ 1 2\r\n", TextEncoding::Utf8},
        RoundTripCase{"UTF-8 with BOM", "\xEF\xBB\xBFПункт 1 2\r\n", TextEncoding::Utf8Bom},
        RoundTripCase{"ASCII", "P1 6012.5 3456.75 152.3\r\n\r\nP2 1 2\r\n", TextEncoding::Cp1251}));

// ---- Proposed names -------------------------------------------------------

struct NameCase {
  const char* why;
  std::string input;
  std::string proposal;
};

class DocumentName : public ::testing::TestWithParam<NameCase> {};

TEST_P(DocumentName, IsTheFirstWord) {
  EXPECT_EQ(ProposeDocumentName(GetParam().input), GetParam().proposal) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DocumentName,
    ::testing::Values(NameCase{"name and semicolon", "P1;6012.5 3456.75\r\n", "P1.txt"},
                      NameCase{"first word before a space", "Point 6012.5 3456.75\r\n",
                               "Point.txt"},
                      NameCase{"starts with a space: no proposal", " P1 1 2\r\n", ""},
                      NameCase{"starts with a semicolon: no proposal", ";P1 1 2\r\n", ""},
                      NameCase{"semicolon after the space does not count", "AB C;D", "AB.txt"},
                      NameCase{"semicolon but no space at all: no proposal", "P1;2", ""},
                      NameCase{"no space, no semicolon", "P1", ""}, NameCase{"empty text", "", ""},
                      NameCase{"Cyrillic first word", "Пункт1 1 2\r\n", "Пункт1.txt"},
                      NameCase{"the word runs over the line end up to the first space",
                               "P1\r\nP2 1 2", "P1\r\nP2.txt"}));

class WaypointName : public ::testing::TestWithParam<NameCase> {};

TEST_P(WaypointName, DropsTheExtension) {
  EXPECT_EQ(ProposeWaypointName(GetParam().input), GetParam().proposal) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WaypointName,
    ::testing::Values(NameCase{"no document name", "", ""},
                      NameCase{"three-letter extension", "/home/geo/points.txt",
                               "/home/geo/points"},
                      NameCase{"a dot in a folder name survives", "/home/geo/data.v2/points.txt",
                               "/home/geo/data.v2/points"},
                      NameCase{"no dot: the whole name", "/home/geo/points", "/home/geo/points"},
                      NameCase{"four characters after the dot still count as an extension",
                               "/home/geo/points.list", "/home/geo/points"},
                      NameCase{"five characters after the only dot: the whole name",
                               "/home/geo/points.lists", "/home/geo/points.lists"},
                      NameCase{"short folder suffix is taken for an extension", "/a.b/c", "/a"},
                      NameCase{"characters, not bytes, are counted", "/д/пункты.тхт", "/д/пункты"},
                      NameCase{"hidden folder: cut at the next dot", "/home/geo/.config/p.txt",
                               "/home/geo/.config/p"}));

// ---- Counter key filter ---------------------------------------------------

struct KeyCase {
  const char* why;
  std::string counter;
  char32_t key;
  bool accepted;
  int beeps;
};

class CounterKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CounterKey, AtMostTwoDigits) {
  const KeyVerdict verdict = CounterKeyFilter(GetParam().counter, GetParam().key);
  EXPECT_EQ(verdict.accepted, GetParam().accepted) << GetParam().why;
  EXPECT_EQ(verdict.beeps, GetParam().beeps) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CounterKey,
    ::testing::Values(KeyCase{"digit into an empty box", "", U'1', true, 0},
                      KeyCase{"second digit", "1", U'9', true, 0},
                      KeyCase{"third digit is refused", "12", U'3', false, 1},
                      KeyCase{"letter is refused", "", U'a', false, 1},
                      KeyCase{"minus is refused", "0", U'-', false, 1},
                      KeyCase{"Cyrillic letter is refused", "", U'я', false, 1},
                      KeyCase{"letter into a full box beeps twice", "12", U'a', false, 2},
                      KeyCase{"Backspace always passes", "12", 8, true, 0},
                      KeyCase{"Backspace into an empty box", "", 8, true, 0}));

TEST(CounterKey, TypingOneTwoThreeLeavesTwelveAndBeepsOnce) {
  std::string counter;
  int beeps = 0;
  for (const char32_t key : {U'1', U'2', U'3'}) {
    const KeyVerdict verdict = CounterKeyFilter(counter, key);
    beeps += verdict.beeps;
    if (verdict.accepted) counter.push_back(static_cast<char>(key));
  }
  EXPECT_EQ(counter, "12");
  EXPECT_EQ(beeps, 1);
}

// ---- The File menu of the main window -------------------------------------

class FileMenu : public ::testing::Test {
 protected:
  TempDir dir;
  testing::FakePlatform platform;
  Form1 form{platform};
  void SetUp() override { form.load('.'); }
  ChosenFile file(std::string_view name) const {
    return ChosenFile{(dir / name).string(), std::string(name)};
  }
  const std::string& lastWarning() const { return platform.warnings.back().text; }
};

TEST_F(FileMenu, NewClearsEverythingButTheResultName) {
  form.Txt1 = "1 2";
  form.Txt2 = "3 4";
  form.Txt_TrapVisible = true;
  form.caption = "XY/XY : a.txt";
  form.documentName = "/a.txt";
  form.resultName = "/r.txt";
  form.toolbarButton("New");
  EXPECT_EQ(form.Txt1, "");
  EXPECT_EQ(form.Txt2, "");
  EXPECT_FALSE(form.Txt_TrapVisible);
  EXPECT_EQ(form.caption, "Korvagrid05++");
  EXPECT_EQ(form.documentName, "");
  EXPECT_EQ(form.resultName, "/r.txt");
}

TEST_F(FileMenu, OpenReadsTheFileWithTabsAsSpaces) {
  dir.write("list.txt", "P1\t6012.5\t3456.75\r\nP2 1 2");
  form.Txt2 = "old results";
  platform.openChoices.push_back(file("list.txt"));
  form.toolbarButton("Open");
  ASSERT_EQ(platform.openRequests.size(), 1u);
  EXPECT_EQ(platform.openRequests[0].filter, "(*.txt)|*.txt|All (*.*)|*.*");
  EXPECT_EQ(platform.openRequests[0].defaultExt, "*.txt");
  EXPECT_EQ(platform.openRequests[0].flags, 4096);
  EXPECT_EQ(platform.openRequests[0].proposedName, "");
  EXPECT_EQ(form.Txt1, "P1  6012.5  3456.75\r\nP2 1 2\r\n");
  EXPECT_EQ(form.Txt2, "");
  EXPECT_EQ(form.caption, "Korvagrid05&P3 : list.txt");
  EXPECT_EQ(form.documentName, (dir / "list.txt").string());
  EXPECT_TRUE(platform.warnings.empty());
}

TEST_F(FileMenu, OpenCancelledChangesNothing) {
  form.Txt1 = "keep";
  form.openWithDialog();
  EXPECT_EQ(form.Txt1, "keep");
  EXPECT_EQ(form.caption, "Korvagrid05++");
  EXPECT_TRUE(platform.warnings.empty());
}

// Regression: Open failed silently when the chosen file could not be read.
TEST_F(FileMenu, OpenOfAnUnreadableFileWarnsNamingItAndKeepsTheTexts) {
  std::filesystem::create_directory(dir / "folder.txt");
  for (const char* name : {"missing.txt", "folder.txt"}) {
    form.Txt1 = "keep";
    form.Txt2 = "results";
    platform.openChoices.push_back(file(name));
    form.openWithDialog();
    ASSERT_FALSE(platform.warnings.empty()) << name;
    EXPECT_NE(lastWarning().find((dir / name).string()), std::string::npos) << lastWarning();
    EXPECT_EQ(platform.warnings.back().title, "Ай-ай-ай...");
    EXPECT_EQ(form.Txt1, "keep");
    EXPECT_EQ(form.Txt2, "results");
    EXPECT_EQ(form.caption, "Korvagrid05++");
    EXPECT_EQ(form.documentName, "");
  }
}

TEST_F(FileMenu, OpenOfAFileAboveTheInputBoxLimitKeepsTheLinesBefore) {
  // A sparse file: one list line, then zeros up to 257 MiB (one huge line).
  const auto path = dir.write("huge.txt", "1 2 3\r\n");
  std::filesystem::resize_file(path, kMaxInputTextBytes + (std::size_t{1} << 20));
  platform.openChoices.push_back(file("huge.txt"));
  form.openWithDialog();
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_EQ(platform.warnings[0].text, " Слишком большой файл");
  EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай...");
  EXPECT_EQ(form.Txt1, "1 2 3\r\n");
  EXPECT_EQ(form.caption, "Korvagrid05&P3 : huge.txt");
}

TEST_F(FileMenu, SaveWithAKnownNameWritesInTheDocumentsEncoding) {
  dir.write("list.txt", "\xCF\xF3\xED\xEA\xF2 1 2\r\n");
  platform.openChoices.push_back(file("list.txt"));
  form.openWithDialog();
  form.Txt1 += "Точка 3 4\r\n";
  form.toolbarButton("Save");
  EXPECT_TRUE(platform.saveRequests.empty());  // no dialog
  EXPECT_EQ(ReadBytes(dir / "list.txt"),
            "\xCF\xF3\xED\xEA\xF2 1 2\r\n\xD2\xEE\xF7\xEA\xE0 3 4\r\n\r\n");
  EXPECT_TRUE(platform.warnings.empty());
}

// Regression: a failed write under Save with a known name was not caught.
TEST_F(FileMenu, FailedSaveWarnsNamingTheFileAndKeepsTheText) {
  form.documentName = (dir / "missing" / "list.txt").string();
  form.Txt1 = "1 2 3\r\n";
  form.save();
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_NE(lastWarning().find(form.documentName), std::string::npos) << lastWarning();
  EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай...");
  EXPECT_EQ(form.Txt1, "1 2 3\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(FileMenu, SaveWithoutANameProposesTheFirstWord) {
  struct Case {
    const char* why;
    std::string text;
    std::string proposal;
  };
  for (const Case& c : {Case{"name and semicolon", "P1;6012.5 3456.75\r\n", "P1.txt"},
                        Case{"first word", "Point 6012.5 3456.75\r\n", "Point.txt"},
                        Case{"leading space: no proposal", " 6012.5 3456.75\r\n", ""}}) {
    form.newDocument();
    form.Txt1 = c.text;
    platform.saveRequests.clear();
    form.save();  // cancelled
    ASSERT_EQ(platform.saveRequests.size(), 1u) << c.why;
    EXPECT_EQ(platform.saveRequests[0].proposedName, c.proposal) << c.why;
    EXPECT_EQ(platform.saveRequests[0].filter, "(*.*)|*.*|Текстовый файл (*.txt)|*.txt|");
    EXPECT_EQ(platform.saveRequests[0].flags, 2);
    // A cancelled dialog leaves the document unnamed.
    EXPECT_EQ(form.documentName, "") << c.why;
    EXPECT_EQ(form.caption, "Korvagrid05++") << c.why;
  }
}

// Regression: Save after a cancelled dialog wrote the proposal silently into
// the working folder.
TEST_F(FileMenu, SaveAfterACancelledDialogAsksAgainAndWritesNothing) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  form.Txt1 = "P1;1 2\r\n";
  form.save();  // cancelled
  form.save();  // cancelled again
  std::filesystem::current_path(previous);
  ASSERT_EQ(platform.saveRequests.size(), 2u);
  EXPECT_EQ(platform.saveRequests[1].proposedName, "P1.txt");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  // The third time the user chooses a file: that is where it goes.
  platform.saveChoices.push_back(file("chosen.txt"));
  form.save();
  EXPECT_EQ(platform.saveRequests.size(), 3u);
  EXPECT_EQ(ReadBytes(dir / "chosen.txt"), "P1;1 2\r\n\r\n");
  EXPECT_EQ(form.documentName, (dir / "chosen.txt").string());
}

// ---- The extension of the chosen filter ------------------------------------

struct ExtensionCase {
  const char* why;
  std::string typed;    // path the dialog returned
  std::string pattern;  // pattern of the filter left chosen
  std::string written;  // path written
};

class FilterExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(FilterExtension, IsAddedToANameWithoutOne) {
  const ExtensionCase& c = GetParam();
  EXPECT_EQ(WithFilterExtension(c.typed, c.pattern), c.written) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterExtension,
    ::testing::Values(
        ExtensionCase{"waypoint filter, bare name", "/d/points", "*.wpt", "/d/points.wpt"},
        ExtensionCase{"text filter, bare name", "/d/points", "*.txt", "/d/points.txt"},
        ExtensionCase{"a typed extension is kept even if another filter is chosen", "/d/points.txt",
                      "*.wpt", "/d/points.txt"},
        ExtensionCase{"a dot inside the name is an extension", "/d/v1.2", "*.wpt", "/d/v1.2"},
        ExtensionCase{"a hidden name is kept as typed", "/d/.points", "*.txt", "/d/.points"},
        ExtensionCase{"a dot in a folder name does not count", "/d/run.3/points", "*.wpt",
                      "/d/run.3/points.wpt"},
        ExtensionCase{"Cyrillic name", "/d/Пункты", "*.txt", "/d/Пункты.txt"},
        ExtensionCase{"all files: nothing is added", "/d/points", "*.*", "/d/points"},
        ExtensionCase{"unknown filter: nothing is added", "/d/points", "", "/d/points"},
        ExtensionCase{"several patterns name no single extension", "/d/points", "*.txt *.wpt",
                      "/d/points"},
        ExtensionCase{"a folder path without a file name is left alone", "/d/", "*.txt", "/d/"}));

// Every command that saves applies the chosen filter's extension.
TEST_F(FileMenu, EverySaveWritesWhereTheChosenFilterSays) {
  struct Case {
    const char* why;
    std::function<void(Form1&)> command;
    std::string pattern;
    std::string written;
  };
  const std::vector<Case> cases = {
      {"Save of an unnamed document", [](Form1& f) { f.save(); }, "*.txt", "list.txt"},
      {"Save as", [](Form1& f) { f.saveAs(); }, "*.txt", "list.txt"},
      {"Save results as text", [](Form1& f) { f.saveResults(); }, "*.txt", "list.txt"},
      {"Save results as waypoints",
       [](Form1& f) {
         f.selectCombo2(testing::kWgs84Index);
         f.formatItemClick(FormatItem::fOzi);
         f.saveResults();
       },
       "*.wpt", "list.wpt"},
  };
  for (const Case& c : cases) {
    TempDir folder;
    testing::FakePlatform p;
    Form1 f{p};
    f.load('.');
    f.Txt1 = "P1 1 2\r\n";
    f.Txt2 = "results";
    p.saveChoices.push_back(ChosenFile{(folder / "list").string(), "list", c.pattern});
    c.command(f);
    EXPECT_TRUE(std::filesystem::exists(folder / c.written)) << c.why;
    EXPECT_FALSE(std::filesystem::exists(folder / "list")) << c.why;
  }
  // The window is named after the file written.
  platform.saveChoices.push_back(ChosenFile{(dir / "named").string(), "named", "*.txt"});
  form.Txt1 = "P1 1 2\r\n";
  form.saveAs();
  EXPECT_EQ(form.caption, "XY/XY : named.txt");
  EXPECT_EQ(form.documentName, (dir / "named.txt").string());
}

// ---- Exit with edited input -------------------------------------------------

TEST_F(FileMenu, ExitAsksOnlyForEditedInput) {
  enum class Before { Fresh, Typed, Opened, Edited, SavedAfterEdit, ResultsOnly, NewAfterTyping };
  struct Case {
    const char* why;
    Before before;  // Typed: into an unnamed document; Edited: after opening a file
    std::optional<Answer> answer;       // to "Сохранить изменения?"; nothing: not asked
    std::optional<std::string> saveAs;  // file chosen in the save dialog; nothing: cancelled
    bool ends;
    bool written;  // the input went into a file on exit
  };
  const std::optional<std::string> cancelled;
  const std::vector<Case> cases = {
      {"fresh window", Before::Fresh, {}, cancelled, true, false},
      {"a file opened and left as it was", Before::Opened, {}, cancelled, true, false},
      {"results computed from an opened file", Before::ResultsOnly, {}, cancelled, true, false},
      {"saved after editing", Before::SavedAfterEdit, {}, cancelled, true, false},
      {"typed, then New", Before::NewAfterTyping, {}, cancelled, true, false},
      {"typed, No: ends without saving", Before::Typed, Answer::No, cancelled, true, false},
      {"typed, Cancel: keeps running", Before::Typed, Answer::Cancel, cancelled, false, false},
      {"typed, Yes: saved where the dialog says", Before::Typed, Answer::Yes, "typed.txt", true,
       true},
      {"typed, Yes, dialog cancelled: keeps running", Before::Typed, Answer::Yes, cancelled, false,
       false},
      {"edited, Yes: saved into its file", Before::Edited, Answer::Yes, cancelled, true, true},
      {"edited, No", Before::Edited, Answer::No, cancelled, true, false},
      {"edited, Cancel", Before::Edited, Answer::Cancel, cancelled, false, false},
  };
  for (const Case& c : cases) {
    TempDir folder;
    testing::FakePlatform p;
    Form1 f{p};
    f.load('.');
    const auto opened = folder.write("list.txt", "P1 1 2\r\n");
    const auto open = [&] {
      p.openChoices.push_back(ChosenFile{opened.string(), "list.txt"});
      f.openWithDialog();
    };
    switch (c.before) {
      case Before::Fresh:
        break;
      case Before::Typed:
        f.Txt1 = "P2 3 4";
        break;
      case Before::Opened:
        open();
        break;
      case Before::Edited:
        open();
        f.Txt1 += "P2 3 4\r\n";
        break;
      case Before::SavedAfterEdit:
        open();
        f.Txt1 += "P2 3 4\r\n";
        f.save();
        break;
      case Before::ResultsOnly:
        open();
        f.convert();
        f.Txt2 += "edited results";
        break;
      case Before::NewAfterTyping:
        f.Txt1 = "P2 3 4";
        f.newDocument();
        break;
    }
    const std::string before = testing::ReadBytes(opened);
    if (c.answer) p.threeWayAnswers.push_back(*c.answer);
    if (c.saveAs) p.saveChoices.push_back(ChosenFile{(folder / *c.saveAs).string(), *c.saveAs});
    const std::size_t dialogsBefore = p.saveRequests.size();

    EXPECT_EQ(f.confirmExit(), c.ends) << c.why;
    ASSERT_EQ(p.threeWayQuestions.size(), c.answer ? 1u : 0u) << c.why;
    if (c.answer) {
      EXPECT_EQ(p.threeWayQuestions[0].text, "Сохранить изменения?");
      EXPECT_EQ(p.threeWayQuestions[0].title, "Внимание!");
    }
    const bool written = (c.saveAs && std::filesystem::exists(folder / *c.saveAs)) ||
                         testing::ReadBytes(opened) != before;
    EXPECT_EQ(written, c.written) << c.why;
    // A typed, unnamed list is saved only through the dialog.
    if (c.before == Before::Typed && c.answer == Answer::Yes) {
      EXPECT_EQ(p.saveRequests.size(), dialogsBefore + 1) << c.why;
    }
  }
}

TEST_F(FileMenu, SaveAsNamesTheWindowAndWrites) {
  form.documentName = (dir / "old.txt").string();
  form.Txt1 = "Пункт 1 2\r\n";
  platform.saveChoices.push_back(file("new.txt"));
  form.saveAs();
  ASSERT_EQ(platform.saveRequests.size(), 1u);
  EXPECT_EQ(platform.saveRequests[0].proposedName, (dir / "old.txt").string());
  EXPECT_EQ(platform.saveRequests[0].defaultExt, "");
  EXPECT_EQ(form.caption, "XY/XY : new.txt");
  EXPECT_EQ(form.documentName, (dir / "new.txt").string());
  // A new document goes out in cp1251 when every character fits.
  EXPECT_EQ(ReadBytes(dir / "new.txt"), "\xCF\xF3\xED\xEA\xF2 1 2\r\n\r\n");
}

TEST_F(FileMenu, SaveAsOntoAFolderWarnsNamingIt) {
  std::filesystem::create_directory(dir / "taken");
  form.Txt1 = "new";
  platform.saveChoices.push_back(file("taken"));
  form.saveAs();
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_NE(lastWarning().find((dir / "taken").string()), std::string::npos);
  EXPECT_EQ(form.Txt1, "new");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
}

TEST_F(FileMenu, CharacterMissingFromCp1251IsSavedAsUtf8AndSaid) {
  dir.write("list.txt", "P1 1 2\r\n");
  platform.openChoices.push_back(file("list.txt"));
  form.openWithDialog();
  form.Txt1 += "Zürich 3 4\r\n";
  form.save();
  EXPECT_EQ(ReadBytes(dir / "list.txt"), "P1 1 2\r\nZürich 3 4\r\n\r\n");
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_NE(lastWarning().find("UTF-8"), std::string::npos);
  EXPECT_NE(lastWarning().find("«ü»"), std::string::npos);
  EXPECT_NE(lastWarning().find((dir / "list.txt").string()), std::string::npos);
  // From now on the document is UTF-8: no second notice.
  form.save();
  EXPECT_EQ(platform.warnings.size(), 1u);
}

TEST_F(FileMenu, Utf8DocumentStaysUtf8) {
  dir.write("list.txt", "\xEF\xBB\xBFПункт 1 2\r\n");
  platform.openChoices.push_back(file("list.txt"));
  form.openWithDialog();
  EXPECT_EQ(form.Txt1, "Пункт 1 2\r\n");
  form.save();
  EXPECT_EQ(ReadBytes(dir / "list.txt"), "\xEF\xBB\xBFПункт 1 2\r\n\r\n");
}

struct ResultsCase {
  const char* why;
  int target;
  bool ozi;
  bool waypoints;
};

class SaveResults : public FileMenu, public ::testing::WithParamInterface<ResultsCase> {};

TEST_P(SaveResults, ChoosesTheBranchByTarget) {
  const ResultsCase& c = GetParam();
  form.selectCombo2(c.target);
  if (c.ozi) form.formatItemClick(FormatItem::fOzi);
  form.documentName = (dir / "points.txt").string();
  form.Txt2 = "results";
  platform.saveChoices.push_back(file("out"));
  form.toolbarButton("SaveRez");
  ASSERT_EQ(platform.saveRequests.size(), 1u);
  const FileDialogOptions& o = platform.saveRequests[0];
  if (c.waypoints) {
    EXPECT_EQ(o.filter, "OziExplorer (*.wpt)|*.wpt|Text file (*.txt)|*.txt|All.file (*.*)|*.*")
        << c.why;
    EXPECT_EQ(o.proposedName, (dir / "points").string()) << c.why;
  } else {
    EXPECT_EQ(o.filter, "Text file (*.txt)|*.txt|All.file (*.*)|*.*") << c.why;
    EXPECT_EQ(o.proposedName, "") << c.why;
  }
  EXPECT_EQ(o.flags, 2);
  EXPECT_EQ(o.defaultExt, "");
  EXPECT_EQ(form.resultName, (dir / "out").string());
  EXPECT_EQ(ReadBytes(dir / "out"), "results\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveResults,
    ::testing::Values(ResultsCase{"BLH(Kras) with waypoints", testing::kBlhKrasIndex, true, true},
                      ResultsCase{"WGS-84 with waypoints", testing::kWgs84Index, true, true},
                      ResultsCase{"geographic target without waypoints", testing::kBlhKrasIndex, false,
                                  false},
                      ResultsCase{"63 (C2) target with fOzi checked is text", 0, true, false},
                      // Regression: any target above index 7 took the waypoint branch.
                      ResultsCase{"42(zone6) with fOzi checked is text", 8, true, false},
                      ResultsCase{"42(zone7) with fOzi checked is text", 9, true, false},
                      ResultsCase{"47(1) with fOzi checked is text", 12, true, false}));

TEST_F(FileMenu, SaveResultsCancelledWritesNothing) {
  form.Txt2 = "results";
  form.resultName = "/r.txt";
  form.saveResults();
  EXPECT_EQ(form.resultName, "/r.txt");
  EXPECT_TRUE(platform.warnings.empty());
}

TEST_F(FileMenu, UnknownToolbarKeyDoesNothing) {
  form.Txt1 = "keep";
  form.toolbarButton("Print");
  form.toolbarButton("new");  // keys are compared exactly
  EXPECT_EQ(form.Txt1, "keep");
  EXPECT_TRUE(platform.openRequests.empty());
  EXPECT_TRUE(platform.saveRequests.empty());
}

TEST_F(FileMenu, CounterToggleShowsAndHidesWithoutChangingTheValue) {
  form.txtCount = "3";
  EXPECT_FALSE(form.txtCountVisible);
  form.toggleExtraLinesCounter();
  EXPECT_TRUE(form.mnu_ctr_count.checked);
  EXPECT_TRUE(form.txtCountVisible);
  form.toggleExtraLinesCounter();
  EXPECT_FALSE(form.mnu_ctr_count.checked);
  EXPECT_FALSE(form.txtCountVisible);
  EXPECT_EQ(form.txtCount, "3");
}

TEST_F(FileMenu, CounterKeysBeepThroughThePlatform) {
  form.txtCount = "12";
  EXPECT_FALSE(form.counterKeyPress(U'x'));
  EXPECT_EQ(platform.beeps, 2);
  EXPECT_TRUE(form.counterKeyPress(8));
  EXPECT_EQ(platform.beeps, 2);
}

}  // namespace
}  // namespace korvagrid
