#include "ui/layout.h"

#include <algorithm>
#include <array>

namespace korvagrid {

namespace {

// Assigns the rules one by one and remembers when one could not be applied,
// after which every later assignment is ignored.
class Assigner {
 public:
  // A position may be anything, also negative (a control partly outside).
  void position(double& property, double value) {
    if (!stopped_) property = value;
  }
  // A size below zero cannot be applied and ends the layout.
  void size(double& property, double value) {
    if (stopped_) return;
    if (value < 0) {
      stopped_ = true;
      return;
    }
    property = value;
  }
  bool stopped() const { return stopped_; }

 private:
  bool stopped_ = false;
};

constexpr double kComboWidthSmall = 1215;   // Combo1, Combo2
constexpr double kLayoutWidthPlane = 1695;  // Combo3, Combo4
constexpr double kLayoutWidthGeo = 1935;    // Combo5, Combo6

// Narrower windows keep the toolbar spacer and the target group where they are.
constexpr double kTargetGroupMovesAboveWidth = 8000;

// A value that the layout makes linear in the window's width or height,
// measured from layouts at two probe sizes.
struct Linear {
  double offset = 0;
  double slope = 0;
  // The size at which the value reaches `value` (slope not 0).
  double sizeFor(double value) const { return (value - offset) / slope; }
};

Linear Measure(double atSmall, double atLarge, double small, double large) {
  const double slope = (atLarge - atSmall) / (large - small);
  return {atSmall - slope * small, slope};
}

// Two sizes at which every step of the layout applies, the target group's included.
constexpr double kProbeSmall = 12000;
constexpr double kProbeLarge = 24000;

// The controls of the top row: the selectors, the counter and its label.
std::array<const TwipsRect*, 8> TopRow(const MainWindowGeometry& g) {
  return {&g.Combo1, &g.Combo2, &g.Combo3, &g.Combo4, &g.Combo5, &g.Combo6, &g.txtCount, &g.Text1};
}

}  // namespace

MainWindowGeometry MainWindowDesignGeometry() {
  MainWindowGeometry g;
  // Where the layout puts the boxes and buttons at the design outer size
  // 10950 × 4215 (the design client area 10830 × 3525 with its frame).
  g.Txt1 = {0, kTextTop, 5065, 2600};
  g.CmdStart = {5160, 580, 495, 2400};
  g.Txt2 = {5730, kTextTop, 5065, 2600};
  g.Txt_Trap = g.Txt2;
  g.CmdExit = {8970, 3135, 1815, 375};
  // The top row as designed.
  g.Combo1 = {1200, 0, kComboWidthSmall, kTopRowHeight};
  g.Combo3 = {2400, 0, kLayoutWidthPlane, kTopRowHeight};
  g.Combo5 = {2400, 0, kLayoutWidthGeo, kTopRowHeight};
  g.Combo2 = {6300, 0, kComboWidthSmall, kTopRowHeight};
  g.Combo4 = {7560, 0, kLayoutWidthPlane, kTopRowHeight};
  g.Combo6 = {7560, 0, kLayoutWidthGeo, kTopRowHeight};
  g.txtCount = {9600, 0, 315, kTopRowHeight};
  g.Text1 = {9960, 0, 855, kTopRowHeight};
  g.spacerWidth = 4740;
  return g;
}

MainWindowLayoutResult MainWindowLayout(double W, double H, const MainWindowGeometry& previous) {
  MainWindowGeometry g = previous;
  Assigner a;

  a.size(g.Txt1.height, H - 1615);
  a.size(g.Txt1.width, (W - 820) * 0.5);
  a.size(g.Txt2.height, g.Txt1.height);
  a.size(g.Txt2.width, g.Txt1.width);
  a.position(g.CmdStart.left, g.Txt1.width + 95);
  a.position(g.CmdStart.top, 580);
  a.size(g.CmdStart.height, g.Txt1.height - 200);
  a.position(g.CmdExit.left, W - 1980);
  a.position(g.CmdExit.top, H - 1080);
  a.position(g.Txt2.left, g.CmdStart.left + 570);
  // The trapezoid list always covers the result box exactly.
  a.position(g.Txt_Trap.left, g.Txt2.left);
  a.position(g.Txt_Trap.top, g.Txt2.top);
  a.size(g.Txt_Trap.width, g.Txt2.width);
  a.size(g.Txt_Trap.height, g.Txt2.height);
  // Narrow windows keep the toolbar spacer and the target group where they are.
  if (W > kTargetGroupMovesAboveWidth) {
    a.size(g.spacerWidth, W / 2 - 780);
    a.position(g.Combo2.left, g.Txt2.left + 500);
    a.position(g.Combo6.left, g.Txt2.left + 1700);
  }
  a.position(g.Combo4.left, g.Combo6.left);
  a.position(g.txtCount.left, g.Combo6.left + g.Combo6.width + 10);
  a.position(g.Text1.left, g.txtCount.left + g.txtCount.width + 10);

  return {g, !a.stopped()};
}

TwipsSize MainWindowMinimumSize(double rightEnd) {
  const MainWindowGeometry design = MainWindowDesignGeometry();
  const MainWindowGeometry small = MainWindowLayout(kProbeSmall, kProbeSmall, design).geometry;
  const MainWindowGeometry large = MainWindowLayout(kProbeLarge, kProbeLarge, design).geometry;

  // Width: each right edge of the top row must stay within the client width
  // W - kMainNonClientWidth, and `rightEnd` clear of its edge. The edges of the target group move with half of
  // the width, so the window must be wide enough for them to catch up; the
  // group moves only above kTargetGroupMovesAboveWidth, and below it would
  // keep wherever an earlier size left it.
  double width = kTargetGroupMovesAboveWidth + 1;
  const auto smallRow = TopRow(small);
  const auto largeRow = TopRow(large);
  for (std::size_t i = 0; i < smallRow.size(); ++i) {
    const Linear right = Measure(smallRow[i]->left + smallRow[i]->width,
                                 largeRow[i]->left + largeRow[i]->width, kProbeSmall, kProbeLarge);
    // right(W) <= W - n - e  <=>  W >= (offset + n + e) / (1 - slope)
    width = std::max(width, (right.offset + kMainNonClientWidth + rightEnd) / (1 - right.slope));
  }

  // Height: the layout stops at the first size below zero; the start button,
  // the lowest control of the text area, is the last to reach zero. The top
  // row must lie inside the client height as well; the exit button keeps its
  // distance from the bottom edge at every height.
  const Linear txt1 = Measure(small.Txt1.height, large.Txt1.height, kProbeSmall, kProbeLarge);
  const Linear start =
      Measure(small.CmdStart.height, large.CmdStart.height, kProbeSmall, kProbeLarge);
  double height = std::max(txt1.sizeFor(0), start.sizeFor(0));
  height = std::max(height, kTopRowHeight + kMainNonClientHeight);
  return {width, height};
}

double MainWindowWidthForResultBox(double boxWidth) {
  const MainWindowGeometry design = MainWindowDesignGeometry();
  const MainWindowGeometry small = MainWindowLayout(kProbeSmall, kProbeSmall, design).geometry;
  const MainWindowGeometry large = MainWindowLayout(kProbeLarge, kProbeLarge, design).geometry;
  const Linear txt2 = Measure(small.Txt2.width, large.Txt2.width, kProbeSmall, kProbeLarge);
  return txt2.sizeFor(boxWidth);
}

HelpWindowGeometry HelpWindowDesignGeometry() {
  HelpWindowGeometry g;
  // The design outer size is 7905 × 5760; the view sits in the top left corner.
  g.WebBr = {0, 0, 7805, 4860};
  g.cmdBrows = {4505, 4960, 1575, 375};
  g.CmdExit = {6205, 4960, 1575, 375};
  return g;
}

HelpWindowLayoutResult HelpWindowLayout(double W, double H, const HelpWindowGeometry& previous) {
  HelpWindowGeometry g = previous;
  Assigner a;
  a.size(g.WebBr.width, W - 100);
  a.size(g.WebBr.height, H - 900);
  a.position(g.cmdBrows.top, H - 800);
  a.position(g.CmdExit.top, g.cmdBrows.top);
  a.position(g.CmdExit.left, W - 1700);
  a.position(g.cmdBrows.left, W - 3400);
  return {g, !a.stopped()};
}

}  // namespace korvagrid
