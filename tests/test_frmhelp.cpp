// The help window's model: the path file "Spr.pth", the default help path
// and how it resolves, "Обзор", and the help command of the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "ui/form1.h"
#include "ui/frmhelp.h"

namespace korvagrid {
namespace {

using testing::ReadBytes;
using testing::TempDir;

struct LastLineCase {
  const char* why;
  std::string text;
  std::string last;
};

class PathFileLines : public ::testing::TestWithParam<LastLineCase> {};

TEST_P(PathFileLines, LastLineIsTheHelpPath) {
  EXPECT_EQ(LastLineOf(GetParam().text), GetParam().last) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathFileLines,
    ::testing::Values(LastLineCase{"one line", "/a/Spravka.htm\r\n", "/a/Spravka.htm"},
                      LastLineCase{"two lines: the second", "/a/x.htm\r\n/b/y.htm\r\n", "/b/y.htm"},
                      LastLineCase{"last line empty", "/a/x.htm\r\n\r\n", ""},
                      LastLineCase{"no line at all", "", ""},
                      LastLineCase{"no final break", "/a/x.htm\r\n/b/y.htm", "/b/y.htm"},
                      LastLineCase{"LF line ends", "/a/x.htm\n/b/y.htm\n", "/b/y.htm"},
                      LastLineCase{"CR line ends", "/a/x.htm\r/b/y.htm\r", "/b/y.htm"},
                      LastLineCase{"spaces are part of the path", " /a b.htm \r\n", " /a b.htm "}));

class HelpWindow : public ::testing::Test {
 protected:
  TempDir dir;
  std::string defaultPath() const { return dir.path().string() + "/HELP/Spravka.htm."; }
};

TEST_F(HelpWindow, NoPathFileWritesTheDefault) {
  FrmHelpModel help(dir.path());
  help.flHelp = "Task";
  help.load();
  EXPECT_EQ(help.helpPath, defaultPath());
  EXPECT_EQ(ReadBytes(dir / "Spr.pth"), defaultPath() + "\r\n");
  EXPECT_TRUE(help.pathFileWritten());
  EXPECT_EQ(help.title, "СПРАВКА:  " + defaultPath());
  EXPECT_EQ(help.browseToolTip, "Вероятный путь к справке:  " + defaultPath());
  EXPECT_EQ(help.navigationTarget, defaultPath() + "#Task");
}

TEST_F(HelpWindow, DefaultPathResolvesToSpravkaInHelpUnderTheCurrentDirectory) {
  FrmHelpModel help(dir.path());
  help.load();
  EXPECT_EQ(help.documentFile(), dir.path() / "HELP" / "Spravka.htm");
}

struct PathFileCase {
  const char* why;
  std::string bytes;         // content of Spr.pth; "<dir>" makes it a folder
  std::string expectedPath;  // "<default>" for the default path
  bool rewritten;
};

class PathFileContent : public HelpWindow, public ::testing::WithParamInterface<PathFileCase> {};

TEST_P(PathFileContent, DecidesTheHelpPath) {
  const PathFileCase& c = GetParam();
  dir.write("Spr.pth", c.bytes);
  FrmHelpModel help(dir.path());
  help.load();
  const std::string expected = c.expectedPath == "<default>" ? defaultPath() : c.expectedPath;
  EXPECT_EQ(help.helpPath, expected) << c.why;
  EXPECT_EQ(ReadBytes(dir / "Spr.pth"), c.rewritten ? expected + "\r\n" : c.bytes) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathFileContent,
    ::testing::Values(
        PathFileCase{"one line is used and left as it is", "/opt/help/S.htm\r\n", "/opt/help/S.htm",
                     false},
        PathFileCase{"two lines: the second", "/one.htm\r\n/two.htm\r\n", "/two.htm", false},
        PathFileCase{"last line empty: rewritten with the default", "/one.htm\r\n\r\n", "<default>",
                     true},
        PathFileCase{"empty file: rewritten with the default", "", "<default>", true},
        PathFileCase{"cp1251 Cyrillic path", "/\xF1\xEF\xF0\xE0\xE2\xEA\xE0.htm\r\n",
                     "/справка.htm", false},
        PathFileCase{"UTF-8 Cyrillic path", "/справка.htm\r\n", "/справка.htm", false}));

TEST_F(HelpWindow, UnreadablePathFileUsesTheDefaultWithoutFailing) {
  // A folder named Spr.pth can be neither read nor replaced.
  std::filesystem::create_directory(dir / "Spr.pth");
  FrmHelpModel help(dir.path());
  help.flHelp = "Task";
  help.load();
  EXPECT_EQ(help.helpPath, defaultPath());
  EXPECT_FALSE(help.pathFileWritten());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "Spr.pth"));
  EXPECT_EQ(help.navigationTarget, defaultPath() + "#Task");
}

TEST_F(HelpWindow, MissingCurrentDirectoryDoesNotFail) {
  FrmHelpModel help(dir / "gone");
  help.load();
  EXPECT_FALSE(help.pathFileWritten());
  EXPECT_EQ(help.helpPath, (dir / "gone").string() + "/HELP/Spravka.htm.");
}

TEST_F(HelpWindow, BrowseStoresTheChosenDocument) {
  testing::FakePlatform platform;
  FrmHelpModel help(dir.path());
  help.flHelp = "Task";
  help.load();
  const std::string titleBefore = help.title;
  platform.openChoices.push_back(ChosenFile{"/usr/share/doc/korvagrid/Spravka.htm", "Spravka.htm"});
  help.browseClick(platform);
  ASSERT_EQ(platform.openRequests.size(), 1u);
  EXPECT_EQ(platform.openRequests[0].title, "Найдите файл справки самостоятельно:");
  EXPECT_EQ(platform.openRequests[0].filter, "Файлы *.htm|*.htm");
  EXPECT_EQ(ReadBytes(dir / "Spr.pth"), "/usr/share/doc/korvagrid/Spravka.htm\r\n");
  EXPECT_EQ(help.navigationTarget, "/usr/share/doc/korvagrid/Spravka.htm#Task");
  EXPECT_EQ(help.title, titleBefore);  // title and tool tip keep their text

  FrmHelpModel next(dir.path());  // the next opening shows it
  next.load();
  EXPECT_EQ(next.helpPath, "/usr/share/doc/korvagrid/Spravka.htm");
}

TEST_F(HelpWindow, BrowseCancelledChangesNothing) {
  testing::FakePlatform platform;
  FrmHelpModel help(dir.path());
  help.flHelp = "Task";
  help.load();
  const std::string pathFile = ReadBytes(dir / "Spr.pth");
  help.browseClick(platform);  // the queue is empty: cancelled
  EXPECT_EQ(help.helpPath, defaultPath());
  EXPECT_EQ(help.navigationTarget, defaultPath() + "#Task");
  EXPECT_EQ(ReadBytes(dir / "Spr.pth"), pathFile);
}

struct DocumentCase {
  const char* why;
  std::string helpPath;
  std::string
      relative;  // expected, relative to the current directory; absolute when it starts with /
};

class HelpDocument : public HelpWindow, public ::testing::WithParamInterface<DocumentCase> {};

TEST_P(HelpDocument, ResolvesOnThisPlatform) {
  FrmHelpModel help(dir.path());
  help.helpPath = GetParam().helpPath;
  const std::filesystem::path expected = GetParam().relative.starts_with('/')
                                             ? std::filesystem::path(GetParam().relative)
                                             : dir.path() / GetParam().relative;
  EXPECT_EQ(help.documentFile(), expected) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelpDocument,
    ::testing::Values(
        DocumentCase{"trailing point dropped", "/opt/HELP/Spravka.htm.", "/opt/HELP/Spravka.htm"},
        DocumentCase{"trailing points and spaces dropped", "/opt/a.htm. .", "/opt/a.htm"},
        DocumentCase{"backslashes accepted", "HELP\\Spravka.htm", "HELP/Spravka.htm"},
        DocumentCase{"relative to the current directory", "doc/x.htm", "doc/x.htm"},
        DocumentCase{"a parent folder keeps its points", "/opt/help/..", "/opt/"}));

TEST(HelpCommand, OpensTheHelpAtTheTaskAnchor) {
  TempDir dir;
  testing::FakePlatform platform;
  Form1 form(platform);
  form.currentDirectory = dir.path();
  std::string shownTarget;
  std::string shownAnchor;
  platform.onHelp = [&](FrmHelpModel& help) {
    shownTarget = help.navigationTarget;
    shownAnchor = help.flHelp;
  };
  form.showHelp();
  EXPECT_EQ(platform.helpShown, 1);
  EXPECT_EQ(shownAnchor, "Task");
  EXPECT_EQ(shownTarget, dir.path().string() + "/HELP/Spravka.htm.#Task");
  // A path file changed between openings takes effect at the next one.
  dir.write("Spr.pth", "/elsewhere/S.htm\r\n");
  form.showHelp();
  EXPECT_EQ(shownTarget, "/elsewhere/S.htm#Task");
}

}  // namespace
}  // namespace korvagrid
