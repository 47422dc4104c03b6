// Odd and hostile files through the whole window and the command line: each
// gets a clear message or a correct result, never a crash, and a failed save
// never leaves a truncated file. (How the reader splits such files into lines
// is tested in test_documents; here they go on through Open, the run and the
// save commands.)
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "documents/text_encoding.h"
#include "documents/text_file.h"
#include "support/list_places.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::RunningAsRoot;
using testing::TempDir;

const fs::path kCli = fs::path(KORVAGRID_BINARY_DIR) / "app" / "cli" / "korvagrid-cli";

// The point the cases convert, and its result: "63 (C3)" to itself with names.
constexpr std::string_view kPoint = "P1 6210000 345678 1";
constexpr std::string_view kResult = "P1\t6210000.000\t345678.000 \t1.000 ";

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

// The window after start-up, set to convert "63 (C3)" to itself with names.
class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    form.load('.');
    form.selectCombo1(1);
    form.selectCombo2(1);
    form.selectCombo3(1);
    form.selectCombo4(1);
  }
  ChosenFile file(std::string_view name) const {
    return ChosenFile{(dir / name).string(), std::string(name)};
  }
  void open(std::string_view name) {
    platform.openChoices.push_back(file(name));
    form.openWithDialog();
  }
  std::size_t filesInDir() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
  }

  TempDir dir;
  testing::FakePlatform platform;
  Form1 form{platform};
};

// ---- Odd files opened, converted and saved again ----------------------------

struct OddFile {
  const char* why;
  std::string bytes;
  std::string txt1;  // the input box after Open
  std::string txt2;  // the result box after the run
  RunEnd end;
  std::int64_t stopLine;  // the line the run stopped at; 0 when it completed
};

class OddFiles : public Window, public ::testing::WithParamInterface<OddFile> {};

TEST_P(OddFiles, OpenRunAndSaveGiveCorrectResults) {
  const OddFile& c = GetParam();
  dir.write("list.txt", c.bytes);
  open("list.txt");
  ASSERT_TRUE(platform.warnings.empty()) << c.why << ": " << platform.warnings[0].text;
  ASSERT_EQ(form.Txt1.size(), c.txt1.size()) << c.why;
  ASSERT_TRUE(form.Txt1 == c.txt1) << c.why;

  form.convert();
  EXPECT_EQ(form.lastRun.end, c.end) << c.why;
  EXPECT_TRUE(form.Txt2 == c.txt2) << c.why << "\n" << form.Txt2.substr(0, 200);
  if (c.end == RunEnd::Completed) {
    EXPECT_TRUE(platform.warnings.empty()) << c.why;
  } else {
    // One short message naming the line, however long the line is.
    ASSERT_EQ(platform.warnings.size(), 1u) << c.why;
    const std::string& message = platform.warnings[0].text;
    EXPECT_TRUE(
        message.starts_with("Вычисления прерваны в строке " + std::to_string(c.stopLine) + ": "))
        << c.why << ": " << message.substr(0, 300);
    EXPECT_LT(message.size(), 300u) << c.why << ": " << message.substr(0, 300);
  }

  // The results are written whole, in the encoding the list came in.
  platform.saveChoices.push_back(file("results.txt"));
  form.saveResults();
  EXPECT_TRUE(ReadBytes(dir / "results.txt") ==
              EncodeText(form.Txt2, form.documentEncoding).bytes + "\r\n")
      << c.why;

  // Save writes the list back whole: reading it again gives the input box
  // and the one line end that saving adds.
  form.save();
  const ReadTextResult saved = ReadTextDocument(dir / "list.txt");
  EXPECT_EQ(saved.encoding, form.documentEncoding) << c.why;
  EXPECT_TRUE(saved.text == c.txt1 + "\r\n") << c.why;
  EXPECT_EQ(filesInDir(), 2u) << c.why << ": nothing is left beside the files";
}

const std::string kTenMegabytes(10 * 1000 * 1000, '7');

INSTANTIATE_TEST_SUITE_P(
    Table, OddFiles,
    ::testing::Values(
        OddFile{"empty file: an empty list and no results", "", "", "", RunEnd::Completed, 0},
        OddFile{"no final line break: the last line is converted",
                "P1 6210000 345678 1\r\nP2 6210001 345679 2",
                Lines({kPoint, "P2 6210001 345679 2"}),
                std::string(kResult) + "\r\nP2\t6210001.000\t345679.000 \t2.000 \r\n",
                RunEnd::Completed, 0},
        OddFile{"LF line ends only", "P1 6210000 345678 1\nP2 6210001 345679 2\n",
                Lines({kPoint, "P2 6210001 345679 2"}),
                std::string(kResult) + "\r\nP2\t6210001.000\t345679.000 \t2.000 \r\n",
                RunEnd::Completed, 0},
        OddFile{"CR line ends only (old Macintosh)", "P1 6210000 345678 1\rP2 6210001 345679 2\r",
                Lines({kPoint, "P2 6210001 345679 2"}),
                std::string(kResult) + "\r\nP2\t6210001.000\t345679.000 \t2.000 \r\n",
                RunEnd::Completed, 0},
        OddFile{"a NUL byte separates two fields and is saved back",
                std::string("P1 6210000\0"
                            "345678 1\r\n",
                            21),
                std::string("P1 6210000\0"
                            "345678 1\r\n",
                            21),
                "P1\t6210000.000\t345678.000 \t1.000 \r\n", RunEnd::Completed, 0},
        OddFile{"invalid UTF-8 is cp1251: the name is read and written back in cp1251",
                "\xCF\xF3\xED\xEA\xF2 6210000 345678 1\r\n", "Пункт 6210000 345678 1\r\n",
                "Пункт\t6210000.000\t345678.000 \t1.000 \r\n", RunEnd::Completed, 0},
        OddFile{"a byte-order mark is no part of the first name",
                "\xEF\xBB\xBFП1 6210000 345678 1\r\n", "П1 6210000 345678 1\r\n",
                "П1\t6210000.000\t345678.000 \t1.000 \r\n", RunEnd::Completed, 0},
        OddFile{"a 10 MB line of letters has no point; the next line converts",
                std::string(10 * 1000 * 1000, 'x') + "\r\n" + std::string(kPoint),
                std::string(10 * 1000 * 1000, 'x') + "\r\n" + Lines({kPoint}),
                "\r\n" + std::string(kResult) + "\r\n", RunEnd::Completed, 0},
        OddFile{"a point followed by 10 MB of words converts",
                std::string(kPoint) + " " + std::string(10 * 1000 * 1000, 'w') + "\r\n",
                std::string(kPoint) + " " + std::string(10 * 1000 * 1000, 'w') + "\r\n",
                std::string(kResult) + "\r\n", RunEnd::Completed, 0},
        // Regression: the message quoted the whole 10 MB field.
        OddFile{"a 10 MB number stops the run with a short message",
                Lines({kPoint}) + "P2 " + kTenMegabytes,
                Lines({kPoint}) + "P2 " + kTenMegabytes + "\r\n", std::string(kResult) + "\r\n",
                RunEnd::Failed, 2}));

// ---- Saving where no file can be written ------------------------------------

enum class SaveCommand { Save, SaveAs, SaveResults, SaveWaypoints };

struct Unwritable {
  const char* why;
  std::string relative;  // the target inside the test directory
  std::string problem;
};

class UnwritableTargets
    : public Window,
      public ::testing::WithParamInterface<std::tuple<SaveCommand, Unwritable>> {};

TEST_P(UnwritableTargets, EverySaveCommandWarnsNamingTheFileAndKeepsEverything) {
  const auto& [command, c] = GetParam();
  dir.write("file", "keep");
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const std::string target = (dir / c.relative).string();
  form.Txt1 = Lines({kPoint});
  form.convert();
  if (command == SaveCommand::SaveWaypoints) {
    form.selectCombo2(testing::kWgs84Index);
    form.formatItemClick(FormatItem::fOzi);
    form.convert();
  }
  const std::string txt1 = form.Txt1;
  const std::string txt2 = form.Txt2;
  switch (command) {
    case SaveCommand::Save:
      form.documentName = target;
      form.save();
      break;
    case SaveCommand::SaveAs:
      platform.saveChoices.push_back(ChosenFile{target, "x"});
      form.saveAs();
      break;
    case SaveCommand::SaveResults:
    case SaveCommand::SaveWaypoints:
      platform.saveChoices.push_back(ChosenFile{target, "x"});
      form.saveResults();
      break;
  }
  ASSERT_EQ(platform.warnings.size(), 1u) << c.why;
  EXPECT_EQ(platform.warnings[0].text,
            "Не удалось записать файл " + target + ": " + c.problem +
                ". Прежнее содержимое файла не изменено, текст остался в окне.")
      << c.why;
  EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай...");
  EXPECT_EQ(form.Txt1, txt1);
  EXPECT_EQ(form.Txt2, txt2);
  EXPECT_EQ(ReadBytes(dir / "file"), "keep");
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
  EXPECT_EQ(filesInDir(), 3u) << c.why << ": no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnwritableTargets,
    ::testing::Combine(
        ::testing::Values(SaveCommand::Save, SaveCommand::SaveAs, SaveCommand::SaveResults,
                          SaveCommand::SaveWaypoints),
        ::testing::Values(
            // What a read-only folder is to an ordinary user, and can be made so for root.
            Unwritable{"a path whose folder is a regular file", "file/out.txt",
                       "часть пути не является папкой"},
            Unwritable{"a folder", "folder", "это папка, а не файл"},
            Unwritable{"a folder that does not exist", "missing/out.txt",
                       "нет такого файла или папки"},
            // Regression: the file written beside it was renamed onto the pipe,
            // which it replaced.
            Unwritable{"a named pipe", "pipe", "это не обычный файл"})));

// A device node of our own with the numbers of /dev/null (only root may make one).
std::optional<fs::path> PrivateNullDevice(const TempDir& dir) {
  const fs::path node = dir / "null";
  if (::mknod(node.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) return std::nullopt;
  return node;
}

// Regression: saving onto a device (/dev/null) as root replaced the device by
// a regular file.
TEST_F(Window, SaveOntoADeviceKeepsTheDevice) {
  const std::optional<fs::path> device = PrivateNullDevice(dir);
  if (!device) GTEST_SKIP() << "cannot make a device node here (not root)";
  form.Txt1 = Lines({kPoint});
  platform.saveChoices.push_back(ChosenFile{device->string(), "null"});
  form.saveAs();
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_NE(platform.warnings[0].text.find("это не обычный файл"), std::string::npos)
      << platform.warnings[0].text;
  EXPECT_TRUE(fs::is_character_file(*device));
  EXPECT_EQ(filesInDir(), 1u);
}

// A file size limit makes writing fail part-way, as a full disk does, and
// holds for root too.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
};

TEST_F(Window, DiskFullWhileSavingKeepsThePreviousFilesWhole) {
  const std::string previousList = Lines({kPoint, "P2 6210001 345679 2"});
  dir.write("list.txt", previousList);
  dir.write("results.txt", "previous results\r\n");
  open("list.txt");
  for (int i = 0; i < 2000; ++i) form.Txt1 += Lines({kPoint});  // about 40 kB
  form.convert();
  {
    FileSizeLimit limit(4096);
    form.save();
    platform.saveChoices.push_back(file("results.txt"));
    form.saveResults();
  }
  ASSERT_EQ(platform.warnings.size(), 2u);
  for (const auto& warning : platform.warnings) {
    EXPECT_NE(warning.text.find("файл слишком велик"), std::string::npos) << warning.text;
  }
  EXPECT_EQ(ReadBytes(dir / "list.txt"), previousList);
  EXPECT_EQ(ReadBytes(dir / "results.txt"), "previous results\r\n");
  EXPECT_EQ(filesInDir(), 2u);
  // With room again, the same commands write the texts whole.
  form.save();
  EXPECT_EQ(ReadTextDocument(dir / "list.txt").text, form.Txt1 + "\r\n");
}

// ---- Texts that read back as another encoding -----------------------------

// Regression: a cp1251 text whose bytes happen to form UTF-8 ("Рџ" is the
// UTF-8 of "П") came back as another text after Save and Open.
TEST_F(Window, Cp1251TextThatReadsAsUtf8IsSavedWithAByteOrderMark) {
  dir.write("list.txt", "\xCF 1 2\r\n");  // cp1251 "П 1 2"
  open("list.txt");
  ASSERT_EQ(form.documentEncoding, TextEncoding::Cp1251);
  form.Txt1 = "Рџ 6210000 345678 1\r\n";
  form.save();
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_EQ(platform.warnings[0].text,
            "Файл " + (dir / "list.txt").string() +
                " записан в кодировке UTF-8 с BOM: в кодировке Windows-1251 его "
                "текст прочитался бы при открытии иначе.");
  EXPECT_EQ(ReadBytes(dir / "list.txt"), "\xEF\xBB\xBFРџ 6210000 345678 1\r\n\r\n");
  open("list.txt");
  EXPECT_EQ(form.Txt1, "Рџ 6210000 345678 1\r\n\r\n");
  // A waypoint file is read by programs that always take cp1251: it stays cp1251.
  form.selectCombo2(testing::kWgs84Index);
  form.formatItemClick(FormatItem::fOzi);
  form.convert();
  platform.saveChoices.push_back(file("points.wpt"));
  form.saveResults();
  EXPECT_NE(ReadBytes(dir / "points.wpt").find("1,\xD0\x9F     ,"), std::string::npos)
      << ReadBytes(dir / "points.wpt");
  EXPECT_EQ(platform.warnings.size(), 1u);
}

// Regression: a text that starts with U+FEFF lost it after Save and Open,
// which took it for a byte-order mark.
TEST(SaveTextDocument, TextStartingWithAByteOrderMarkCharacterKeepsIt) {
  TempDir dir;
  for (const TextEncoding wanted : {TextEncoding::Utf8, TextEncoding::Cp1251}) {
    const SaveResult saved = SaveTextDocument(dir / "list.txt", "\xEF\xBB\xBFP1 1 2", wanted);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.encoding, TextEncoding::Utf8Bom);
    EXPECT_TRUE(saved.byteOrderMarkAdded);
    EXPECT_EQ(ReadBytes(dir / "list.txt"), "\xEF\xBB\xBF\xEF\xBB\xBFP1 1 2\r\n");
    EXPECT_EQ(ReadTextDocument(dir / "list.txt").text, "\xEF\xBB\xBFP1 1 2\r\n");
  }
}

// ---- Without the rights of root ---------------------------------------------

// Runs `check` in a child process as the user "nobody" when the tests run as
// root (root reads and writes whatever the permissions say), as the test's
// own user otherwise. Returns what the check reported (empty when all held),
// or std::nullopt when the rights could not be given up.
std::optional<std::string> AsUnprivilegedUser(const std::function<std::string()>& check) {
  int channel[2];
  if (::pipe(channel) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    ::close(channel[0]);
    std::string report;
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      report = "\x01";
    } else {
      report = check();
    }
    for (std::size_t done = 0; done < report.size();) {
      const ssize_t n = ::write(channel[1], report.data() + done, report.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);  // no destructors or exit handlers of the parent's test run
  }
  ::close(channel[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
    report.append(buffer, static_cast<std::size_t>(n));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status))
    return "the check ended abnormally (status " + std::to_string(status) + ")";
  if (report == "\x01") return std::nullopt;
  return report;
}

std::string Expect(bool holds, const std::string& what) { return holds ? "" : what + "\n"; }

TEST(WithoutRootRights, FileWithoutReadPermission) {
  TempDir dir;
  const fs::path file = dir.write("secret.txt", "P1 6210000 345678 1\r\n");
  fs::permissions(file, fs::perms::none);
  const std::optional<std::string> report = AsUnprivilegedUser([&] {
    testing::FakePlatform platform;
    Form1 form(platform);
    form.load('.');
    form.Txt1 = "keep";
    platform.openChoices.push_back(ChosenFile{file.string(), "secret.txt"});
    form.openWithDialog();
    const std::string message = platform.warnings.empty() ? "" : platform.warnings[0].text;
    return Expect(platform.warnings.size() == 1, "one warning expected") +
           Expect(message == "Не удалось открыть файл " + file.string() + ": нет доступа.",
                  "message: " + message) +
           Expect(form.Txt1 == "keep", "the input box changed") +
           Expect(form.documentName.empty(), "the document name changed");
  });
  if (!report) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(*report, "");
}

TEST(WithoutRootRights, SaveIntoAFolderWithoutWritePermission) {
  TempDir dir;
  fs::create_directory(dir / "ro");
  const fs::path file = dir.write("ro/list.txt", "previous\r\n");
  fs::permissions(file, fs::perms::all);  // the file itself may be written
  fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(dir.path(), fs::perms::others_exec | fs::perms::others_read,
                  fs::perm_options::add);
  const std::optional<std::string> report = AsUnprivilegedUser([&] {
    testing::FakePlatform platform;
    Form1 form(platform);
    form.load('.');
    form.Txt1 = "new text\r\n";
    form.documentName = file.string();
    form.save();
    const std::string message = platform.warnings.empty() ? "" : platform.warnings[0].text;
    return Expect(platform.warnings.size() == 1, "one warning expected") +
           Expect(message.find(file.string() + ": нет доступа.") != std::string::npos,
                  "message: " + message) +
           Expect(ReadBytes(file) == "previous\r\n", "the previous file changed");
  });
  fs::permissions(dir / "ro", fs::perms::owner_all, fs::perm_options::add);
  if (!report) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(*report, "");
}

// ---- The command line on odd files -----------------------------------------

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

// Runs korvagrid-cli with `arguments` (shell words); standard output and
// error go to files in `dir`.
CliResult RunCli(const TempDir& dir, const std::string& arguments, const std::string& prefix = "") {
  const std::string command = prefix + "'" + kCli.string() + "' " + arguments + " < /dev/null > '" +
                              (dir / "cli.out").string() + "' 2> '" + (dir / "cli.err").string() +
                              "'";
  const int raw = std::system(command.c_str());
  CliResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir / "cli.out"),
              ReadBytes(dir / "cli.err")};
  fs::remove(dir / "cli.out");
  fs::remove(dir / "cli.err");
  return r;
}

struct CliCase {
  const char* why;
  std::string bytes;      // the input file; empty name below means a folder
  std::string arguments;  // after the input file
  int status;
  std::string out;  // standard output exactly (when `err` is empty)
  std::string err;  // a piece of standard error
};

class CommandLine : public ::testing::TestWithParam<CliCase> {};

const std::string kCliConvert = "convert --from 1 --to 1 --in-layout name --out-layout name ";

TEST_P(CommandLine, OddInputFiles) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  const CliCase& c = GetParam();
  TempDir dir;
  const fs::path input = dir.write("list.txt", c.bytes);
  std::string arguments = c.arguments;
  if (const std::size_t at = arguments.find("$DIR"); at != std::string::npos)
    arguments.replace(at, 4, dir.path().string());
  const CliResult r = RunCli(dir, kCliConvert + "'" + input.string() + "' " + arguments);
  EXPECT_EQ(r.status, c.status) << c.why << "\n" << r.err.substr(0, 300);
  if (c.err.empty()) {
    EXPECT_TRUE(r.out == c.out) << c.why << "\n" << r.out.substr(0, 300);
    EXPECT_EQ(r.err, "") << c.why;
  } else {
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.why << "\n" << r.err.substr(0, 300);
    EXPECT_LT(r.err.size(), 300u) << c.why << ": the message stays short";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLine,
    ::testing::Values(
        CliCase{"empty file: an empty list", "", "", 0, "", ""},
        CliCase{"no final line break", "P1 6210000 345678 1", "", 0, std::string(kResult) + "\r\n",
                ""},
        CliCase{"LF and CR line ends: the first line's LF is the output's", "P1 6210000 345678 1\nP1 6210000 345678 1\r", "", 0,
                std::string(kResult) + "\n" + std::string(kResult) + "\n", ""},
        CliCase{"a NUL byte separates two fields",
                std::string("P1 6210000\0"
                            "345678 1",
                            19),
                "", 0, std::string(kResult) + "\r\n", ""},
        CliCase{"cp1251 input", "\xCF\xF3\xED\xEA\xF2 6210000 345678 1", "", 0,
                "Пункт\t6210000.000\t345678.000 \t1.000 \r\n", ""},
        CliCase{"cp1251 input written as cp1251", "\xCF\xF3\xED\xEA\xF2 6210000 345678 1",
                "--encoding cp1251", 0,
                "\xCF\xF3\xED\xEA\xF2\t6210000.000\t345678.000 \t1.000 \r\n", ""},
        // Regression: the byte-order mark became part of the first name (and
        // could not be written in cp1251, which failed the run).
        CliCase{"a byte-order mark is no part of the first name", "\xEF\xBB\xBFП1 6210000 345678 1",
                "", 0, "П1\t6210000.000\t345678.000 \t1.000 \r\n", ""},
        CliCase{"a byte-order mark and cp1251 output", "\xEF\xBB\xBF  П1 6210000 345678 1",
                "--encoding cp1251", 0,
                "\xCF"
                "1\t6210000.000\t345678.000 \t1.000 \r\n",
                ""},
        CliCase{"a line of only a byte-order mark", "\xEF\xBB\xBF\r\nP1 6210000 345678 1", "", 0,
                "\r\n" + std::string(kResult) + "\r\n", ""},
        // Regression: the message quoted the whole 10 MB field.
        CliCase{"a 10 MB number stops the run with a short message",
                "P1 6210000 345678 1\nP2 " + kTenMegabytes, "", 1, "",
                "Вычисления прерваны в строке 2: не число в первом поле строки: «7777"},
        CliCase{"output onto a folder", "P1 6210000 345678 1", "-o '$DIR'", 1, "",
                "не удаётся записать «"},
        CliCase{"output below a regular file", "P1 6210000 345678 1", "-o '$DIR/list.txt/out.txt'",
                1, "", "list.txt/out.txt»: Not a directory"}));

TEST(CommandLineOutput, FullDisk) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  const fs::path input = dir.write("list.txt", "P1 6210000 345678 1");
  const std::string command = "'" + kCli.string() + "' " + kCliConvert + "'" + input.string() +
                              "' > /dev/full 2> '" + (dir / "cli.err").string() + "'";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(ReadBytes(dir / "cli.err"), "korvagrid-cli convert: ошибка записи в «stdout»\n");
}

// Regression: "-o /dev/null" as root replaced /dev/null by a regular file (the
// output written beside it was renamed onto it). Devices and pipes are
// written to directly; a symbolic link keeps pointing at the new file.
TEST(CommandLineOutput, DevicePipeAndSymbolicLink) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  const fs::path input = dir.write("list.txt", "P1 6210000 345678 1");
  const std::string expected = std::string(kResult) + "\r\n";

  // A reader in the background takes what goes through the pipe; the shell
  // waits for it before it ends with the status of the command line.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const std::string pipe = "'" + (dir / "pipe").string() + "'";
  const std::string command = "cat " + pipe + " > '" + (dir / "piped.txt").string() + "' & '" +
                              kCli.string() + "' " + kCliConvert + "'" + input.string() + "' -o " +
                              pipe + " 2> /dev/null; status=$?; wait; exit $status";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0);
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
  EXPECT_EQ(ReadBytes(dir / "piped.txt"), expected);

  dir.write("real.txt", "previous");
  fs::create_symlink(dir / "real.txt", dir / "link.txt");
  const CliResult linked = RunCli(
      dir, kCliConvert + "'" + input.string() + "' -o '" + (dir / "link.txt").string() + "'");
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(ReadBytes(dir / "real.txt"), expected);

  if (const std::optional<fs::path> device = PrivateNullDevice(dir)) {
    const CliResult nulled =
        RunCli(dir, kCliConvert + "'" + input.string() + "' -o '" + device->string() + "'");
    EXPECT_EQ(nulled.status, 0) << nulled.err;
    EXPECT_TRUE(fs::is_character_file(*device));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 6)
      << "no temporary file is left";
}

TEST(CommandLineInput, FolderOrMissingFileIsAUsageErrorWithTheReason) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  fs::create_directory(dir / "folder");
  // Regression: a folder was converted as an empty list, with exit status 0.
  const CliResult folder = RunCli(dir, kCliConvert + "'" + (dir / "folder").string() + "'");
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.out, "");
  EXPECT_EQ(folder.err, "korvagrid-cli convert: cannot read \"" + (dir / "folder").string() +
                            "\": это папка, а не файл\n");
  const CliResult missing = RunCli(dir, kCliConvert + "'" + (dir / "missing.txt").string() + "'");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "korvagrid-cli convert: cannot read \"" + (dir / "missing.txt").string() +
                             "\": нет такого файла или папки\n");
}

// The task commands read their input as Open does.
TEST(CommandLineInput, TaskCommandsOnAFolderAndATenMegabyteNumber) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  fs::create_directory(dir / "folder");
  const fs::path big = dir.write("big.txt", kTenMegabytes);
  for (const std::string command : {"ogz", "sheets --scale 200 --from 8"}) {
    const CliResult folder = RunCli(dir, command + " '" + (dir / "folder").string() + "'");
    EXPECT_EQ(folder.status, 2) << command;
    EXPECT_NE(folder.err.find("это папка, а не файл"), std::string::npos) << command << folder.err;
    const CliResult number = RunCli(dir, command + " '" + big.string() + "'");
    EXPECT_EQ(number.status, 1) << command;
    EXPECT_NE(number.err.find("не число в первом поле строки: «7777"), std::string::npos)
        << command << number.err.substr(0, 300);
    EXPECT_LT(number.err.size(), 300u) << command;
  }
}

TEST(CommandLineInput, FailedOutputKeepsThePreviousFileWhole) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  const fs::path input = dir.write("list.txt", "P1 6210000 345678 1\r\n");
  const fs::path out = dir.write("out.txt", "previous results\r\n");
  // The output outgrows the file size limit of the shell that runs the command.
  std::string list;
  for (int i = 0; i < 5000; ++i) list += "P1 6210000 345678 1\r\n";
  dir.write("big.txt", list);
  const CliResult r =
      RunCli(dir, kCliConvert + "'" + (dir / "big.txt").string() + "' -o '" + out.string() + "'",
             "ulimit -f 8; trap '' XFSZ; ");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("ошибка записи"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(out), "previous results\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3)
      << "no temporary file is left";
}

TEST(CommandLineInput, UnreadableInputAndReadOnlyOutputFolder) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  fs::permissions(dir.path(), fs::perms::others_exec | fs::perms::others_read,
                  fs::perm_options::add);
  const fs::path secret = dir.write("secret.txt", "P1 6210000 345678 1\r\n");
  fs::permissions(secret, fs::perms::none);
  const fs::path readable = dir.write("list.txt", "P1 6210000 345678 1\r\n");
  fs::permissions(readable, fs::perms::owner_read | fs::perms::others_read | fs::perms::group_read);
  const fs::path previous = dir.write("out.txt", "previous\r\n");
  fs::permissions(previous, fs::perms::all);
  // The folder takes no new file (the output is written beside its target first).
  const fs::perms writable =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(dir.path(), writable, fs::perm_options::remove);
  constexpr std::string_view kSkip = "skip: ";
  const std::optional<std::string> report = AsUnprivilegedUser([&] {
    // A build tree under a private folder cannot be reached by that user.
    if (::access(kCli.c_str(), X_OK) != 0) {
      return std::string(kSkip) + "the unprivileged user cannot run " + kCli.string() + " (" +
             std::strerror(errno) + ")";
    }
    std::string result;
    std::FILE* pipe = ::popen(("'" + kCli.string() + "' " + kCliConvert + "'" + secret.string() +
                               "' 2>&1 >/dev/null; echo \"status $?\"")
                                  .c_str(),
                              "r");
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) result += buffer;
    if (pipe != nullptr) ::pclose(pipe);
    std::string written;
    pipe = ::popen(("'" + kCli.string() + "' " + kCliConvert + "'" + readable.string() + "' -o '" +
                    previous.string() + "' 2>&1 >/dev/null; echo \"status $?\"")
                       .c_str(),
                   "r");
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) written += buffer;
    if (pipe != nullptr) ::pclose(pipe);
    return Expect(result == "korvagrid-cli convert: cannot read \"" + secret.string() +
                                "\": нет доступа\nstatus 2\n",
                  "unreadable input: " + result) +
           Expect(written.find("не удаётся создать файл") != std::string::npos &&
                      written.ends_with("status 1\n"),
                  "read-only output folder: " + written) +
           Expect(ReadBytes(previous) == "previous\r\n", "the previous output changed");
  });
  fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
  if (!report) GTEST_SKIP() << "cannot run as an unprivileged user here";
  if (report->starts_with(kSkip)) GTEST_SKIP() << report->substr(kSkip.size());
  EXPECT_EQ(*report, "");
}

// ---- A 200 MB list -----------------------------------------------------------

bool LargeTestsWanted() {
  const char* wanted = std::getenv("KORVAGRID_LARGE_TESTS");
  return wanted != nullptr && std::string_view(wanted) == "1";
}

// Five million lines of 40 bytes: 200 MB.
fs::path WriteTwoHundredMegabytes(const TempDir& dir, std::int64_t& lineCount) {
  const std::string line = "P1234567 6210000.000 345678.000 152.300\n";
  lineCount = 200 * 1000 * 1000 / static_cast<std::int64_t>(line.size());
  std::string block;
  for (int i = 0; i < 25000; ++i) block += line;
  const fs::path file = dir / "big.txt";
  std::ofstream out(file, std::ios::binary);
  for (std::int64_t written = 0; written < lineCount; written += 25000) {
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  return file;
}

TEST_F(Window, TwoHundredMegabyteListOpensConvertsAndSavesWhole) {
  if (!LargeTestsWanted())
    GTEST_SKIP() << "set KORVAGRID_LARGE_TESTS=1 to open, convert and save a 200 MB list";
  std::int64_t lines = 0;
  WriteTwoHundredMegabytes(dir, lines);
  open("big.txt");
  ASSERT_TRUE(platform.warnings.empty()) << platform.warnings[0].text;
  ASSERT_EQ(static_cast<std::int64_t>(std::count(form.Txt1.begin(), form.Txt1.end(), '\n')), lines);
  form.convert();
  EXPECT_EQ(form.lastRun.end, RunEnd::Completed) << form.lastRun.reason;
  EXPECT_EQ(form.lastRun.points, lines);
  EXPECT_TRUE(form.Txt2.starts_with("P1234567\t6210000.000\t345678.000 \t152.300 \r\n"));
  platform.saveChoices.push_back(file("results.txt"));
  form.saveResults();
  // Each point's line, the empty line after the list's last line end, and saving's line end.
  EXPECT_EQ(fs::file_size(dir / "results.txt"), form.Txt2.size() + 2);
  form.save();
  EXPECT_EQ(fs::file_size(dir / "big.txt"), static_cast<std::uintmax_t>(lines) * 41 + 2);
  EXPECT_TRUE(platform.warnings.empty());
}

TEST(CommandLineInput, TwoHundredMegabyteList) {
  if (!LargeTestsWanted()) GTEST_SKIP() << "set KORVAGRID_LARGE_TESTS=1 to convert a 200 MB list";
  if (!fs::exists(kCli)) GTEST_SKIP() << "korvagrid-cli is not built";
  TempDir dir;
  std::int64_t lines = 0;
  const fs::path input = WriteTwoHundredMegabytes(dir, lines);
  const CliResult r =
      RunCli(dir, kCliConvert + "'" + input.string() + "' -o '" + (dir / "out.txt").string() + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  // One result line per input line, the empty piece after the last line end,
  // and the line end saving adds.
  std::ifstream out(dir / "out.txt", std::ios::binary);
  std::int64_t resultLines = 0;
  for (std::string line; std::getline(out, line);) ++resultLines;
  EXPECT_EQ(resultLines, lines + 1);
}

}  // namespace
}  // namespace korvagrid
