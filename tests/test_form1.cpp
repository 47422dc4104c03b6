// The main-window model: start-up state, selection handling, format items,
// and the run as the window starts it.
#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "ui/fmozi.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

using testing::FakePlatform;
using enum FormatItem;

struct Window {
  FakePlatform platform;
  Form1 form{platform};
  explicit Window(char separator = '.') { form.load(separator); }
};

TEST(Form1, StartsAsChoosingTheFirstSystemOnBothSides) {
  Window w;
  const Form1& f = w.form;
  EXPECT_EQ(f.caption, "Korvagrid05++");
  EXPECT_EQ(f.Combo1.index, 0);
  EXPECT_EQ(f.Combo2.index, 0);
  EXPECT_EQ(f.Combo3.index, 0);
  EXPECT_EQ(f.Combo4.index, 0);
  EXPECT_EQ(f.Combo5.index, 0);
  EXPECT_EQ(f.Combo6.index, 0);
  EXPECT_TRUE(f.Combo3.visible);
  EXPECT_TRUE(f.Combo4.visible);
  EXPECT_FALSE(f.Combo5.visible);
  EXPECT_FALSE(f.Combo6.visible);
  EXPECT_TRUE(f.mnuOGZ.enabled);
  EXPECT_FALSE(f.mnuMySist.enabled);
  EXPECT_EQ(f.MySistState, 0);
  EXPECT_EQ(f.txtCount, "0");
  EXPECT_FALSE(f.txtCountVisible);
  EXPECT_FALSE(f.Txt_TrapVisible);
  ASSERT_EQ(f.Combo1.count(), 19);
  EXPECT_EQ(f.Combo1.items[0], "63 (C2)");
  EXPECT_EQ(f.Combo1.items[12], "  47(1)");
  EXPECT_EQ(f.Combo1.items[18], " New...");
  EXPECT_EQ(f.Combo2.items, f.Combo1.items);
  EXPECT_EQ(f.Combo3.items, (std::vector<std::string>{" X; Y; H", " Name; X;Y;H", " X; Y"}));
  EXPECT_EQ(f.Combo5.items, (std::vector<std::string>{"Lat; Long; H", "Name;Lat;Long;H", "Lat; Long"}));
  for (const FormatItemInfo& item : FormatItems()) {
    EXPECT_EQ(f.format.checked(item.item), item.checkedAtStart) << item.name;
    EXPECT_TRUE(f.format.enabled(item.item)) << item.name;
  }
  EXPECT_TRUE(f.format.checked(mnugms2));
  EXPECT_TRUE(f.format.checked(mnugms2_));
}

TEST(Form1, SeparatorPairFollowsTheLocale) {
  Window point('.');
  EXPECT_EQ(point.form.NumP, '.');
  EXPECT_EQ(point.form.NotP, ',');
  Window comma(',');
  EXPECT_EQ(comma.form.NumP, ',');
  EXPECT_EQ(comma.form.NotP, '.');
  // The own system's initial texts carry the separator.
  EXPECT_EQ(comma.form.ownSystem.dYmy, "250000,000");
  EXPECT_EQ(comma.form.ownSystem.S1, "00,0000");
}

TEST(Form1, GeographicSourceSwitchesLayoutListsAndDisablesTheInverseProblem) {
  Window w;
  w.form.selectCombo3(2);
  w.form.selectCombo1(11);  // "WGS-84"
  EXPECT_TRUE(w.form.Combo5.visible);
  EXPECT_FALSE(w.form.Combo3.visible);
  EXPECT_FALSE(w.form.mnuOGZ.enabled);
  EXPECT_EQ(w.form.Combo5.index, 2) << "the layout chosen before stays";
  w.form.selectCombo1(8);
  EXPECT_FALSE(w.form.Combo5.visible);
  EXPECT_TRUE(w.form.Combo3.visible);
  EXPECT_TRUE(w.form.mnuOGZ.enabled);
}

TEST(Form1, LayoutListsOfASideMoveTogether) {
  Window w;
  w.form.selectCombo5(1);
  EXPECT_EQ(w.form.Combo3.index, 1);
  w.form.selectCombo4(2);
  EXPECT_EQ(w.form.Combo6.index, 2);
  w.form.selectCombo6(0);
  EXPECT_EQ(w.form.Combo4.index, 0);
}

TEST(Form1, PlaneStyleRules) {
  struct Case {
    const char* why;
    int index;
    bool shortAndFullAllowed;
  };
  const std::vector<Case> cases = {
      {"63 (C2)", 0, true},        {"M64", 3, false},          {"42(zone7)", 9, true},
      {"WGS-84", 11, true},        {"  47(1)", 12, false},     {"  53(3)", 17, false},
  };
  for (const Case& c : cases) {
    Window w;
    w.form.formatItemClick(min1);
    w.form.formatItemClick(MaxEnd);
    w.form.selectCombo1(c.index);
    w.form.selectCombo2(c.index);
    EXPECT_EQ(w.form.format.enabled(min1), c.shortAndFullAllowed) << c.why;
    EXPECT_EQ(w.form.format.enabled(max1), c.shortAndFullAllowed) << c.why;
    EXPECT_EQ(w.form.format.enabled(MinEnd), c.shortAndFullAllowed) << c.why;
    EXPECT_EQ(w.form.format.enabled(MaxEnd), c.shortAndFullAllowed) << c.why;
    // Where short and full are not allowed the standard style is chosen.
    EXPECT_EQ(w.form.format.checked(Stand), !c.shortAndFullAllowed) << c.why;
    EXPECT_EQ(w.form.format.checked(min1), c.shortAndFullAllowed) << c.why;
    EXPECT_EQ(w.form.format.checked(StandEnd), !c.shortAndFullAllowed) << c.why;
    EXPECT_EQ(w.form.format.checked(MaxEnd), c.shortAndFullAllowed) << c.why;
  }
}

TEST(Form1, FormatItemsExcludeOneAnotherInTheirGroup) {
  Window w;
  w.form.formatItemClick(mnuGGG_0);
  EXPECT_TRUE(w.form.format.checked(mnuGGG_0));
  EXPECT_FALSE(w.form.format.checked(mnugms2));
  EXPECT_TRUE(w.form.format.checked(mnugms2_)) << "another group is untouched";
  w.form.formatItemClick(mnuGGG);
  EXPECT_FALSE(w.form.format.checked(mnugms2_));
  EXPECT_TRUE(w.form.format.checked(mnuGGG_0));
}

TEST(Form1, ReceiverReportItemsSwitchTheSource) {
  Window w;
  w.form.formatItemClick(mnuTrimble);
  EXPECT_EQ(w.form.Combo1.index, 11);
  EXPECT_EQ(w.form.Combo5.index, 1);
  EXPECT_EQ(w.form.Combo3.index, 1) << "the plane list moves along";
  EXPECT_TRUE(w.form.Combo5.visible);

  Window a;
  a.form.selectCombo1(2);
  a.form.formatItemClick(mnuAshtech);
  EXPECT_EQ(a.form.Combo1.index, 11);
  EXPECT_EQ(a.form.Combo5.index, 0);
}

TEST(Form1, WaypointItemShowsItsDialogAndClearsTheCounter) {
  Window w;
  w.form.txtCount = "12";
  w.form.formatItemClick(fOzi);
  EXPECT_EQ(w.platform.fmOziShown, 1);
  EXPECT_EQ(w.form.txtCount, "0");
  // Closing the dialog instead of OK clears it as well.
  w.form.txtCount = "3";
  w.platform.onFmOzi = [](FmOziModel&) { return DialogEnd::Closed; };
  w.form.formatItemClick(fOzi);
  EXPECT_EQ(w.form.txtCount, "0");
}

TEST(Form1, RunConvertsTxt1IntoTxt2AndHidesTheSheetList) {
  Window w;
  w.form.Txt_TrapVisible = true;
  w.form.Txt2 = "old results";
  w.form.selectCombo1(8);
  w.form.selectCombo2(10);
  w.form.Txt1 = "6200000 6600000 150\r\n";
  w.form.convert();
  EXPECT_FALSE(w.form.Txt_TrapVisible);
  EXPECT_EQ(w.form.Txt2, "55°54'42.24737\t34°35'56.96770\t150.000 \r\n");
  EXPECT_EQ(w.form.lastRun.end, RunEnd::Completed);
  EXPECT_TRUE(w.platform.warnings.empty());
}

TEST(Form1, StoppedRunWarnsOnceNamingTheLine) {
  Window w;
  w.form.selectCombo1(1);
  w.form.selectCombo2(1);
  w.form.Txt1 = "6210000 345678.9 1\r\n6210000 1.2.3 1\r\n6210000 345678.9 1";
  w.form.convert();
  ASSERT_EQ(w.platform.warnings.size(), 1u);
  EXPECT_EQ(w.platform.warnings[0].title, "Ай-ай-ай");
  EXPECT_EQ(w.platform.warnings[0].text.rfind("Вычисления прерваны в строке 2: ", 0), 0u)
      << w.platform.warnings[0].text;
  EXPECT_EQ(w.form.Txt2, "6210000.000\t345678.900 \t1.000 \r\n");
}

TEST(Form1, AnswerNoStopsWithoutAWarning) {
  Window w;
  w.platform.answers = {Answer::No};
  w.form.selectCombo1(1);
  w.form.Txt1 = "310000 345678.9 1";
  w.form.convert();
  EXPECT_EQ(w.platform.questions.size(), 1u);
  EXPECT_TRUE(w.platform.warnings.empty());
  EXPECT_EQ(w.form.lastRun.end, RunEnd::StoppedByNo);
}

// Regression: while a run asked or warned, the window still showed the
// previous results; the line in question was not shown either.
TEST(Form1, QuestionsAndWarningsOfARunShowTheirLineWithTheResultsSoFar) {
  const std::string good = "6210000 345678.9 1\r\n";
  const std::string result = "6210000.000\t345678.900 \t1.000 ";
  struct Case {
    const char* why;
    std::string input;
    std::vector<Answer> answers;
    std::vector<std::int64_t> shown;  // lines shown before each question or warning
    std::vector<std::string> resultsThen;  // Txt2 at those moments
    RunEnd end;
    std::int64_t selected;  // selectedInputLine after the run
  };
  const std::vector<Case> cases = {
      {"No to the question at line 3", good + good + "310000 345678.9 1\r\n" + good,
       {Answer::No}, {3}, {result + "\r\n" + result + "\r\n"}, RunEnd::StoppedByNo, 3},
      {"Yes to the question at line 2: the run completes, nothing stays selected",
       good + "310000 345678.9 1\r\n" + good, {Answer::Yes}, {2}, {result + "\r\n"},
       RunEnd::Completed, 0},
      {"a line that cannot be read: the failure warning of line 2",
       good + "6210000 1.2.3 1\r\n" + good, {}, {2}, {result + "\r\n"}, RunEnd::Failed, 2},
      {"a completed run shows no line", good + good, {}, {}, {}, RunEnd::Completed, 0},
  };
  for (const Case& c : cases) {
    Window w;
    w.form.selectCombo1(1);
    w.form.selectCombo2(1);
    w.form.Txt2 = "previous results";
    w.form.selectedInputLine = 7;  // left by an earlier run
    w.form.Txt1 = c.input;
    w.platform.answers.assign(c.answers.begin(), c.answers.end());
    std::vector<std::string> resultsThen;
    w.platform.onRunPosition = [&](std::int64_t) { resultsThen.push_back(w.form.Txt2); };
    w.form.convert();
    EXPECT_EQ(w.platform.runPositions, c.shown) << c.why;
    EXPECT_EQ(resultsThen, c.resultsThen) << c.why;
    // Each line is shown before, not after, its message.
    EXPECT_EQ(w.platform.questions.size() + w.platform.warnings.size(), c.shown.size()) << c.why;
    EXPECT_EQ(w.form.lastRun.end, c.end) << c.why;
    EXPECT_EQ(w.form.selectedInputLine, c.selected) << c.why;
  }
}

TEST(Form1, StoppedLineIsLetGoByNewAndOpen) {
  Window w;
  w.form.selectedInputLine = 3;
  w.form.newDocument();
  EXPECT_EQ(w.form.selectedInputLine, 0);
  w.form.selectedInputLine = 3;
  w.platform.openChoices.push_back(ChosenFile{"/nonexistent/list.txt", "list.txt"});
  w.form.openWithDialog();  // cannot be read: nothing changes
  EXPECT_EQ(w.form.selectedInputLine, 3);
  testing::TempDir dir;
  w.platform.openChoices.push_back(ChosenFile{dir.write("list.txt", "1 2 3").string(), "list.txt"});
  w.form.openWithDialog();
  EXPECT_EQ(w.form.selectedInputLine, 0);
}

TEST(Form1, InverseProblemShowsTheLineItStoppedAt) {
  Window w;
  w.form.Txt1 = "6210000 345678.9\r\n6210100 345778.9\r\n6210000 1.2.3\r\n";
  std::string resultsThen;
  w.platform.onRunPosition = [&](std::int64_t) { resultsThen = w.form.Txt2; };
  w.form.solveInverseProblem();
  EXPECT_EQ(w.platform.runPositions, std::vector<std::int64_t>{3});
  EXPECT_FALSE(resultsThen.empty()) << "the leg before the stop is shown";
  EXPECT_EQ(w.form.selectedInputLine, 3);
  ASSERT_EQ(w.platform.warnings.size(), 1u);
  w.form.Txt1 = "6210000 345678.9\r\n6210100 345778.9\r\n";
  w.form.solveInverseProblem();
  EXPECT_EQ(w.form.selectedInputLine, 0);
}

TEST(Form1, RunReadsTheWaypointOptionsOfTheDialog) {
  Window w;
  w.platform.onFmOzi = [](FmOziModel& dialog) {
    dialog.setPlacementIndex(5);  // "Справа-слева": 2, 3, 2, ...
    dialog.okButtonClick();
    return DialogEnd::Ok;
  };
  w.form.selectCombo1(10);
  w.form.selectCombo2(11);
  w.form.formatItemClick(mnugms1);
  w.form.formatItemClick(fOzi);
  w.form.Txt1 = "55.45 37.37 1\r\n55.46 37.38 1\r\n55.47 37.39 1";
  w.form.convert();
  const auto placement = [&](int line) {
    std::size_t start = 0;
    for (int i = 0; i < line; ++i) start = w.form.Txt2.find("\r\n", start) + 2;
    const std::string l = w.form.Txt2.substr(start, w.form.Txt2.find("\r\n", start) - start);
    // The pointer direction is the twelfth field.
    std::size_t p = 0;
    for (int i = 0; i < 11; ++i) p = l.find(',', p) + 1;
    return l.substr(p, l.find(',', p) - p);
  };
  EXPECT_EQ(placement(4), "2");
  EXPECT_EQ(placement(5), "3");
  EXPECT_EQ(placement(6), "2");
}

}  // namespace
}  // namespace korvagrid
