// Placement of the main window's and the help window's controls on resize.
// Every value is in twips; the rules only add, subtract and halve whole
// numbers, so results are compared exactly (tolerance 0 twips).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/layout.h"

namespace korvagrid {
namespace {

struct MainCase {
  std::string why;
  double W, H;
  TwipsRect Txt1, Txt2, CmdStart;
  double cmdExitLeft, cmdExitTop;
  double spacer, combo2Left, combo6Left, txtCountLeft, text1Left;
};

// Every case starts from the design geometry (spacer 4740, Combo2 at 6300,
// Combo6 at 7560 with width 1935, txtCount 315 wide).
const std::vector<MainCase> kMainCases = {
    {"12000 × 8000: both boxes 5590 wide, the target group follows Txt2",
     12000, 8000, {0, 480, 5590, 6385}, {6255, 480, 5590, 6385}, {5685, 580, 495, 6185},
     10020, 6920, 5220, 6755, 7955, 9900, 10225},
    {"W = 8000 is not above 8000: spacer, Combo2 and Combo6 keep the design places",
     8000, 6000, {0, 480, 3590, 4385}, {4255, 480, 3590, 4385}, {3685, 580, 495, 4185},
     6020, 4920, 4740, 6300, 7560, 9505, 9830},
    {"W = 8001 moves them; odd widths give half twips",
     8001, 6000, {0, 480, 3590.5, 4385}, {4255.5, 480, 3590.5, 4385}, {3685.5, 580, 495, 4185},
     6021, 4920, 3220.5, 4755.5, 5955.5, 7900.5, 8225.5},
    {"the design outer size reproduces the design boxes",
     10950, 4215, {0, 480, 5065, 2600}, {5730, 480, 5065, 2600}, {5160, 580, 495, 2400},
     8970, 3135, 4695, 6230, 7430, 9375, 9700},
    {"H = 1815: CmdStart height exactly 0 is still a valid size",
     9000, 1815, {0, 480, 4090, 200}, {4755, 480, 4090, 200}, {4185, 580, 495, 0},
     7020, 735, 3720, 5255, 6455, 8400, 8725},
};

TEST(MainWindowLayout, WorkedSizes) {
  for (const MainCase& c : kMainCases) {
    SCOPED_TRACE(c.why);
    const MainWindowLayoutResult r = MainWindowLayout(c.W, c.H, MainWindowDesignGeometry());
    const MainWindowGeometry& g = r.geometry;
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(g.Txt1, c.Txt1);
    EXPECT_EQ(g.Txt2, c.Txt2);
    EXPECT_EQ(g.CmdStart, c.CmdStart);
    EXPECT_EQ(g.CmdExit.left, c.cmdExitLeft);
    EXPECT_EQ(g.CmdExit.top, c.cmdExitTop);
    EXPECT_EQ(g.CmdExit.width, 1815);
    EXPECT_EQ(g.CmdExit.height, 375);
    EXPECT_EQ(g.spacerWidth, c.spacer);
    EXPECT_EQ(g.Combo2.left, c.combo2Left);
    EXPECT_EQ(g.Combo6.left, c.combo6Left);
    EXPECT_EQ(g.Combo4.left, c.combo6Left);  // Combo4 always shares Combo6's place
    EXPECT_EQ(g.txtCount.left, c.txtCountLeft);
    EXPECT_EQ(g.Text1.left, c.text1Left);
    // The source group and the heights of the top row never move.
    EXPECT_EQ(g.Combo1, MainWindowDesignGeometry().Combo1);
    EXPECT_EQ(g.Combo3, MainWindowDesignGeometry().Combo3);
    EXPECT_EQ(g.Combo5, MainWindowDesignGeometry().Combo5);
  }
}

TEST(MainWindowLayout, TrapezoidBoxCoversResultBoxAtEverySize) {
  const std::vector<std::pair<double, double>> sizes = {
      {12000, 8000}, {8000, 6000}, {8001, 6000}, {3000, 2000}, {20000, 15000}, {10950, 4215}};
  MainWindowGeometry g = MainWindowDesignGeometry();
  for (const auto& [W, H] : sizes) {
    SCOPED_TRACE(std::to_string(W) + " x " + std::to_string(H));
    g = MainWindowLayout(W, H, g).geometry;
    EXPECT_EQ(g.Txt_Trap, g.Txt2);
  }
}

// A narrow window keeps what the last wide one set: the previous geometry,
// not the design, decides.
TEST(MainWindowLayout, NarrowWindowKeepsPreviousTargetGroup) {
  const MainWindowGeometry wide = MainWindowLayout(12000, 8000, MainWindowDesignGeometry()).geometry;
  const MainWindowGeometry narrow = MainWindowLayout(7000, 5000, wide).geometry;
  EXPECT_EQ(narrow.spacerWidth, 5220);
  EXPECT_EQ(narrow.Combo2.left, 6755);
  EXPECT_EQ(narrow.Combo6.left, 7955);
  EXPECT_EQ(narrow.Combo4.left, 7955);
  // The boxes themselves follow the narrow size.
  EXPECT_EQ(narrow.Txt1.width, 3090);
  EXPECT_EQ(narrow.Txt2.left, 3755);
}

struct StopCase {
  std::string why;
  double W, H;
  // What differs from the previous (design) geometry after the stop.
  double txt1Height, txt1Width, txt2Height, txt2Width;
  double cmdStartLeft, cmdStartTop, cmdStartHeight;
};

// The layout stops at the first size that would be negative; what was set
// before stays, the rest keeps the design values.
const std::vector<StopCase> kStopCases = {
    {"minimised: Txt1 height H - 1615 is negative, nothing changes",
     160, 30, 2600, 5065, 2600, 5065, 5160, 580, 2400},
    {"H just below 1615 stops at the first rule",
     12000, 1614, 2600, 5065, 2600, 5065, 5160, 580, 2400},
    {"very narrow: Txt1 height is set, its width (W - 820) / 2 is negative",
     700, 1700, 85, 5065, 2600, 5065, 5160, 580, 2400},
    {"low window: Txt2 follows Txt1, CmdStart's left and top are set, its height "
     "Txt1 - 200 is negative",
     5000, 1700, 85, 2090, 85, 2090, 2185, 580, 2400},
};

TEST(MainWindowLayout, NegativeSizeStopsTheRemainingRules) {
  const MainWindowGeometry design = MainWindowDesignGeometry();
  for (const StopCase& c : kStopCases) {
    SCOPED_TRACE(c.why);
    const MainWindowLayoutResult r = MainWindowLayout(c.W, c.H, design);
    const MainWindowGeometry& g = r.geometry;
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(g.Txt1.height, c.txt1Height);
    EXPECT_EQ(g.Txt1.width, c.txt1Width);
    EXPECT_EQ(g.Txt2.height, c.txt2Height);
    EXPECT_EQ(g.Txt2.width, c.txt2Width);
    EXPECT_EQ(g.CmdStart.left, c.cmdStartLeft);
    EXPECT_EQ(g.CmdStart.top, c.cmdStartTop);
    EXPECT_EQ(g.CmdStart.height, c.cmdStartHeight);
    // Everything after the stop keeps its previous value.
    EXPECT_EQ(g.Txt2.left, design.Txt2.left);
    EXPECT_EQ(g.CmdExit, design.CmdExit);
    EXPECT_EQ(g.Txt_Trap, design.Txt_Trap);
    EXPECT_EQ(g.spacerWidth, design.spacerWidth);
    EXPECT_EQ(g.Combo2, design.Combo2);
    EXPECT_EQ(g.txtCount, design.txtCount);
  }
}

TEST(MainWindowLayout, NextResizeStartsOverAfterAStop) {
  const MainWindowGeometry stopped = MainWindowLayout(5000, 1700, MainWindowDesignGeometry()).geometry;
  const MainWindowGeometry again = MainWindowLayout(12000, 8000, stopped).geometry;
  EXPECT_EQ(again, MainWindowLayout(12000, 8000, MainWindowDesignGeometry()).geometry);
}

// Whether every control of the top row lies inside the client area of an
// outer size W x H.
bool TopRowInside(const MainWindowGeometry& g, double W, double H) {
  for (const TwipsRect* r : {&g.Combo1, &g.Combo2, &g.Combo3, &g.Combo4, &g.Combo5, &g.Combo6,
                             &g.txtCount, &g.Text1}) {
    if (r->left < 0 || r->left + r->width > W - kMainNonClientWidth ||
        r->top + r->height > H - kMainNonClientHeight) {
      return false;
    }
  }
  return true;
}

TEST(MainWindowLayout, MinimumSizeKeepsTheTopRowInside) {
  const TwipsSize minimum = MainWindowMinimumSize();
  // The label "доп.строк" is the rightmost control: its right edge W/2 + 5080
  // meets the client width W - 120 at 10400; the start button's height
  // H - 1815 reaches 0 at 1815.
  EXPECT_EQ(minimum, (TwipsSize{10400, 1815}));
  struct Case {
    const char* why;
    double dW, dH;  // from the minimum
    bool complete;
    bool inside;
  };
  const std::vector<Case> cases = {
      {"the minimum itself", 0, 0, true, true},
      {"one twip narrower: the label sticks out", -1, 0, true, false},
      {"larger", 3000, 2000, true, true},
  };
  // Whatever size the window had before.
  const MainWindowGeometry design = MainWindowDesignGeometry();
  for (const MainWindowGeometry& before : {design, MainWindowLayout(20000, 9000, design).geometry,
                                           MainWindowLayout(6000, 3000, design).geometry}) {
    for (const Case& c : cases) {
      const double W = minimum.width + c.dW;
      const double H = minimum.height + c.dH;
      const MainWindowLayoutResult r = MainWindowLayout(W, H, before);
      EXPECT_EQ(r.complete, c.complete) << c.why;
      EXPECT_EQ(TopRowInside(r.geometry, W, H), c.inside) << c.why;
    }
  }
  // One twip lower and the layout stops before it is done.
  EXPECT_FALSE(MainWindowLayout(minimum.width, minimum.height - 1, design).complete);

  // Room kept at the right end of the row (the map button): the label moves
  // with half the width, so each twip kept costs the window two.
  const TwipsSize withButton = MainWindowMinimumSize(400);
  EXPECT_EQ(withButton, (TwipsSize{10400 + 2 * 400, 1815}));
  const MainWindowGeometry g = MainWindowLayout(withButton.width, withButton.height, design).geometry;
  EXPECT_EQ(g.Text1.left + g.Text1.width, withButton.width - kMainNonClientWidth - 400);
}

TEST(MainWindowLayout, WidthForAResultBox) {
  struct Case {
    const char* why;
    double box;
    double W;
  };
  const std::vector<Case> cases = {
      {"12000 twips wide", 5590, 12000},
      {"the size the window opens with", 5065, 10950},
      {"a box of 7000 twips", 7000, 14820},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MainWindowWidthForResultBox(c.box), c.W) << c.why;
    EXPECT_EQ(MainWindowLayout(c.W, 8000, MainWindowDesignGeometry()).geometry.Txt2.width, c.box)
        << c.why;
  }
}

TEST(HelpWindowLayout, WorkedSize) {
  const HelpWindowLayoutResult r = HelpWindowLayout(9000, 7000, HelpWindowDesignGeometry());
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.geometry.WebBr, (TwipsRect{0, 0, 8900, 6100}));
  EXPECT_EQ(r.geometry.cmdBrows, (TwipsRect{5600, 6200, 1575, 375}));
  EXPECT_EQ(r.geometry.CmdExit, (TwipsRect{7300, 6200, 1575, 375}));
}

TEST(HelpWindowLayout, DesignSizeReproducesDesignGeometry) {
  const double W = kHelpDesignClientWidth + kHelpNonClientWidth;
  const double H = kHelpDesignClientHeight + kHelpNonClientHeight;
  EXPECT_EQ(HelpWindowLayout(W, H, HelpWindowDesignGeometry()).geometry, HelpWindowDesignGeometry());
}

TEST(HelpWindowLayout, LowWindowStopsAfterTheViewWidth) {
  // H - 900 is negative: the view takes the new width and nothing else moves.
  const HelpWindowGeometry design = HelpWindowDesignGeometry();
  const HelpWindowLayoutResult r = HelpWindowLayout(5000, 850, design);
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(r.geometry.WebBr, (TwipsRect{0, 0, 4900, design.WebBr.height}));
  EXPECT_EQ(r.geometry.cmdBrows, design.cmdBrows);
  EXPECT_EQ(r.geometry.CmdExit, design.CmdExit);
}

TEST(MainWindowLayout, DesignClientAreaFitsTheDesignGeometry) {
  // The exit button and the text boxes lie inside the design client area.
  const MainWindowGeometry g = MainWindowDesignGeometry();
  EXPECT_LE(g.CmdExit.left + g.CmdExit.width, kMainDesignClientWidth);
  EXPECT_LE(g.CmdExit.top + g.CmdExit.height, kMainDesignClientHeight);
  EXPECT_LE(g.Txt2.left + g.Txt2.width, kMainDesignClientWidth);
  EXPECT_LE(g.Text1.left + g.Text1.width, kMainDesignClientWidth);
  EXPECT_LT(g.Txt1.top + g.Txt1.height, g.CmdExit.top);
}

}  // namespace
}  // namespace korvagrid
