#pragma once
// Placement of the controls of the main window and of the help window when
// their size changes. All values are twips (1/1440 inch) and the window sizes
// W and H are outer sizes, title bar, borders and menu bar included, as the
// rules were laid out for. The front end converts twips to pixels with the
// screen's logical resolution and adds the non-client allowances below to the
// size of the area it lays out.
//
// The rules assign one property after another. A property that cannot take
// its value (a width or height below zero, when the window is made very small
// or minimised) stops the layout there: the properties set so far keep their
// new values, the rest keep their previous ones, and the next resize starts
// over from the first rule.

namespace korvagrid {

struct TwipsRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// Title bar and borders of a classic window, and the menu bar of the main
// window: the outer size is the laid-out area plus these.
inline constexpr double kTwipsPerInch = 1440;
inline constexpr double kBorderWidthTwips = 120;      // left and right border together
inline constexpr double kCaptionHeightTwips = 405;    // title bar and top and bottom border
inline constexpr double kMenuBarHeightTwips = 285;

// The main window: outer width and height over its client area.
inline constexpr double kMainNonClientWidth = kBorderWidthTwips;
inline constexpr double kMainNonClientHeight = kCaptionHeightTwips + kMenuBarHeightTwips;
// The help window has no menu bar.
inline constexpr double kHelpNonClientWidth = kBorderWidthTwips;
inline constexpr double kHelpNonClientHeight = kCaptionHeightTwips;

// Client areas the windows open with.
inline constexpr double kMainDesignClientWidth = 10830;
inline constexpr double kMainDesignClientHeight = 3525;
inline constexpr double kHelpDesignClientWidth = 7785;
inline constexpr double kHelpDesignClientHeight = 5355;

// Height of the selectors and of the counter row along the top of the main window.
inline constexpr double kTopRowHeight = 315;
// Top of the two text boxes, under the toolbar row.
inline constexpr double kTextTop = 480;

// Every position and size of the main window that the layout sets or reads.
struct MainWindowGeometry {
  TwipsRect Txt1, Txt2, Txt_Trap;
  TwipsRect CmdStart, CmdExit;
  TwipsRect Combo1, Combo2, Combo3, Combo4, Combo5, Combo6;
  TwipsRect txtCount, Text1;
  double spacerWidth = 0;  // the fourth toolbar button, which pushes "SaveRez" right
  friend bool operator==(const MainWindowGeometry&, const MainWindowGeometry&) = default;
};

// The positions the window is designed with, before its first layout. The
// text boxes and buttons are where the layout puts them at the size the window opens with.
MainWindowGeometry MainWindowDesignGeometry();

struct MainWindowLayoutResult {
  MainWindowGeometry geometry;
  bool complete = true;  // false when a rule stopped the layout
};

// Lays the main window out for the outer size W × H, starting from the
// geometry the controls have now (`previous`): the spacer and the target
// selector group move only when W is above 8000.
MainWindowLayoutResult MainWindowLayout(double W, double H, const MainWindowGeometry& previous);

struct TwipsSize {
  double width = 0;
  double height = 0;
  friend bool operator==(const TwipsSize&, const TwipsSize&) = default;
};

// The smallest outer size of the main window at which the layout runs to its
// end and every control of the top row (the six selectors, the counter and
// its label) lies inside the client area, `rightEnd` twips clear of its right
// edge (where a toolbar button stands at the end of the row). Front ends do
// not let the window become smaller.
TwipsSize MainWindowMinimumSize(double rightEnd = 0);

// The smallest outer width at which the result box Txt2 is `boxWidth` wide.
double MainWindowWidthForResultBox(double boxWidth);

struct HelpWindowGeometry {
  TwipsRect WebBr, cmdBrows, CmdExit;
  friend bool operator==(const HelpWindowGeometry&, const HelpWindowGeometry&) = default;
};

HelpWindowGeometry HelpWindowDesignGeometry();

struct HelpWindowLayoutResult {
  HelpWindowGeometry geometry;
  bool complete = true;
};

// Lays the help window out for the outer size W × H: the HTML view fills the
// window above the two buttons, which keep their distance from the bottom
// right corner.
HelpWindowLayoutResult HelpWindowLayout(double W, double H, const HelpWindowGeometry& previous);

}  // namespace korvagrid
