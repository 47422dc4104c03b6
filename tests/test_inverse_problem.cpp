// The inverse geodetic problem on the plane: result lines byte for byte,
// groups and closing legs, names, separators, failures.
#include <gtest/gtest.h>

#include <string>

#include "support/fake_platform.h"
#include "tasks/inverse_problem.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

struct LegCase {
  const char* why;
  double x2, y2;     // from the origin
  std::string line;  // without names, "." as separator
};

class Leg : public ::testing::TestWithParam<LegCase> {};

TEST_P(Leg, IsWrittenExactly) {
  const LegCase& c = GetParam();
  EXPECT_EQ(LegLine(TraversePoint{0, 0, ""}, TraversePoint{c.x2, c.y2, ""}, false, '.'), c.line) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Leg,
    ::testing::Values(
        LegCase{"due east: ΔX = 0, ΔY > 0", 0, 100, "90°00'00.0\t100.000\r\n"},
        LegCase{"due west: ΔX = 0, ΔY < 0", 0, -100, "270°00'00.0\t100.000\r\n"},
        LegCase{"coinciding points", 0, 0, "0°00'00.0\t000.000\r\n"},
        LegCase{"due north", 100, 0, "0°00'00.0\t100.000\r\n"},
        LegCase{"due south: ΔX < 0 adds 180", -100, 0, "180°00'00.0\t100.000\r\n"},
        LegCase{"first quadrant, 3-4-5 triangle", 4, 3, "36°52'11.6\t005.000\r\n"},
        LegCase{"ΔX < 0, ΔY < 0: between 180 and 270", -4, -3, "216°52'11.6\t005.000\r\n"},
        LegCase{"ΔX > 0, ΔY < 0: between 270 and 360", 4, -3, "323°07'48.4\t005.000\r\n"},
        LegCase{"ΔX < 0, ΔY > 0: between 90 and 180", -4, 3, "143°07'48.4\t005.000\r\n"},
        LegCase{"distance of four digits keeps them all", 6012.5, 3456.75,
                "29°53'44.8\t6935.364\r\n"},
        LegCase{"45° written with the literal factor 57.2957795131", 1000, 1000,
                "45°00'00.0\t1414.214\r\n"},
        // Regression: seconds that rounded to 60 were written as "60.0".
        LegCase{"89°59'59.96\" carries into 90°", 0.001, 5156.607268, "90°00'00.0\t5156.607\r\n"},
        LegCase{"0°59'59.99\" carries into 1°", 1000, 17.455016432, "1°00'00.0\t1000.152\r\n"},
        LegCase{"359°59'59.9999998\" carries into 360°, written 0°", 100, -0.0000000001,
                "0°00'00.0\t100.000\r\n"},
        LegCase{"just past 270° does not carry", 0.001, -5156.607268,
                "270°00'00.0\t5156.607\r\n"}));

TEST(Leg, DecimalCommaAndNames) {
  EXPECT_EQ(LegLine(TraversePoint{100, 100, "A"}, TraversePoint{100, 200, "B"}, true, ','),
            "A-B\t90°00'00,0\t100,000\r\n");
  EXPECT_EQ(LegLine(TraversePoint{100, 100, "A"}, TraversePoint{100, 200, "B"}, true, '.'),
            "A-B\t90°00'00.0\t100.000\r\n");
}

TEST(DirectionalAngle, StaysInItsQuadrant) {
  // One degree off each axis, both sides (tolerance 1e-9 degree).
  const double t = 0.017455064928217585;  // tan(1°)
  EXPECT_NEAR(DirectionalAngle(1, t), 1, 1e-9);
  EXPECT_NEAR(DirectionalAngle(1, -t), 359, 1e-9);
  EXPECT_NEAR(DirectionalAngle(-1, t), 179, 1e-9);
  EXPECT_NEAR(DirectionalAngle(-1, -t), 181, 1e-9);
}

struct TaskCase {
  const char* why;
  std::string input;
  bool namesIn, namesOut;
  char numP;
  std::string output;
};

class Task : public ::testing::TestWithParam<TaskCase> {};

TEST_P(Task, WritesEveryLeg) {
  const TaskCase& c = GetParam();
  const char notP = c.numP == '.' ? ',' : '.';
  const InverseProblemResult result =
      SolveInverseProblem(c.input, c.namesIn, c.namesOut, c.numP, notP);
  EXPECT_EQ(result.text, c.output) << c.why;
  EXPECT_TRUE(result.completed) << c.why << ": " << result.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Task,
    ::testing::Values(
        TaskCase{"empty text: one CR LF", "", false, false, '.', "\r\n"},
        TaskCase{"spaces only: one CR LF", "   ", false, false, '.', "\r\n"},
        TaskCase{"a single point: nothing", "100 100", false, false, '.', ""},
        TaskCase{"two points without a final break: one leg, no closing leg", "100 100\r\n100 200",
                 false, false, '.', "90°00'00.0\t100.000\r\n"},
        TaskCase{"two points and a final break: the group is closed", "100 100\r\n100 200\r\n",
                 false, false, '.', "90°00'00.0\t100.000\r\n270°00'00.0\t100.000\r\n\r\n"},
        TaskCase{"a point and a blank line: group of one, closing leg to itself", "100 100\r\n",
                 false, false, '.', "0°00'00.0\t000.000\r\n\r\n"},
        TaskCase{"further blank lines each add an empty line", "100 100\r\n100 200\r\n\r\n\r\n",
                 false, false, '.', "90°00'00.0\t100.000\r\n270°00'00.0\t100.000\r\n\r\n\r\n\r\n"},
        TaskCase{"blank lines before the first point", "\r\n\r\n100 100\r\n100 200", false, false,
                 '.', "\r\n\r\n90°00'00.0\t100.000\r\n"},
        TaskCase{"two points with names in and out", "A 100 100\r\nB 100 200", true, true, '.',
                 "A-B\t90°00'00.0\t100.000\r\n"},
        TaskCase{"names out without names in: '-' and TAB", "100 100\r\n100 200", false, true, '.',
                 "-\t90°00'00.0\t100.000\r\n"},
        TaskCase{"closed triangle: all sides, closing leg back to the first point",
                 "A;0;0\r\nB;0;100\r\nC;100;100\r\n", true, true, '.',
                 "A-B\t90°00'00.0\t100.000\r\n"
                 "B-C\t0°00'00.0\t100.000\r\n"
                 "C-A\t225°00'00.0\t141.421\r\n\r\n"},
        TaskCase{"two groups", "0 0\r\n0 10\r\n\r\n5 5\r\n5 6", false, false, '.',
                 "90°00'00.0\t010.000\r\n270°00'00.0\t010.000\r\n\r\n90°00'00.0\t001.000\r\n"},
        TaskCase{"heights are read and ignored", "100 100 55.5\r\n100 200 -3", false, false, '.',
                 "90°00'00.0\t100.000\r\n"},
        TaskCase{"a line with one number leaves Y at 0", "100 100\r\n200", false, false, '.',
                 "315°00'00.0\t141.421\r\n"},
        TaskCase{"TABs between fields", "100\t100\r\n100\t200", false, false, '.',
                 "90°00'00.0\t100.000\r\n"},
        TaskCase{"decimal comma in input and output", "100,5 100\r\n100,5 200,25", false, false,
                 ',', "90°00'00,0\t100,250\r\n"},
        TaskCase{"decimal point in input with comma output", "100.5 100\r\n100.5 200.25", false,
                 false, ',', "90°00'00,0\t100,250\r\n"}));

struct FailureCase {
  const char* why;
  std::string input;
  std::string output;  // what is kept
  std::int64_t line;
};

class TaskFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TaskFailure, EndsAtTheLineAndKeepsTheLegsBefore) {
  const FailureCase& c = GetParam();
  const InverseProblemResult result = SolveInverseProblem(c.input, false, false, '.', ',');
  EXPECT_FALSE(result.completed) << c.why;
  EXPECT_EQ(result.text, c.output) << c.why;
  EXPECT_EQ(result.lineNumber, c.line) << c.why;
  EXPECT_FALSE(result.reason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TaskFailure,
    ::testing::Values(FailureCase{"first point unreadable", "1.2.3 5\r\n1 2", "", 1},
                      FailureCase{"third point unreadable", "100 100\r\n100 200\r\n1-2 3\r\n",
                                  "90°00'00.0\t100.000\r\n", 3},
                      FailureCase{"a lone minus is not a number", "100 100\r\n- 5", "", 2}));

// Regression: a 16-bit line counter ended the task after 32767 lines.
TEST(TaskLength, ListsLongerThan32767LinesAreSolvedToTheEnd) {
  std::string input;
  for (int i = 0; i < 40000; ++i) input += "100 " + std::to_string(100 + i % 2 * 100) + "\r\n";
  const InverseProblemResult result = SolveInverseProblem(input, false, false, '.', ',');
  EXPECT_TRUE(result.completed) << result.lineNumber << ": " << result.reason;
  // 39999 legs of the group, its closing leg and the empty line after it.
  std::size_t lines = 0;
  for (std::size_t i = 0; i + 1 < result.text.size(); ++i) lines += result.text.compare(i, 2, "\r\n") == 0;
  EXPECT_EQ(lines, 40001u);
}

TEST(InverseProblemCommand, ReadsTheLayoutsAndSeparatorOfTheWindow) {
  testing::FakePlatform platform;
  Form1 form(platform);
  form.load(',');
  form.selectCombo3(1);  // names in
  form.selectCombo4(1);  // names out
  form.Txt1 = "A 100 100\r\nB 100 200";
  form.Txt2 = "old";
  form.Txt_TrapVisible = true;
  form.solveInverseProblem();
  EXPECT_EQ(form.Txt2, "A-B\t90°00'00,0\t100,000\r\n");
  EXPECT_FALSE(form.Txt_TrapVisible);
  EXPECT_TRUE(platform.warnings.empty());
}

// A stopped task is not taken for a finished one: one warning names the line.
TEST(InverseProblemCommand, FailureKeepsTheLegsAndSaysWhere) {
  testing::FakePlatform platform;
  Form1 form(platform);
  form.load('.');
  form.Txt1 = "100 100\r\n100 200\r\n1.2.3 4";
  form.solveInverseProblem();
  EXPECT_EQ(form.Txt2, "90°00'00.0\t100.000\r\n");
  ASSERT_EQ(platform.warnings.size(), 1u);
  EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай");
  EXPECT_EQ(platform.warnings[0].text.rfind("Вычисления прерваны в строке 3: ", 0), 0u)
      << platform.warnings[0].text;
}

}  // namespace
}  // namespace korvagrid
