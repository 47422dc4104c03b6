#pragma once
// FmOziModel: the "Ozi-Properties" dialog (`FmOzi`) that holds the label
// options of the waypoint output. It is created on first use and hidden, not
// destroyed, by its OK button, so its values stay for the rest of the
// program's life. No user-interface code: a front end draws the two lists
// and the colour swatch from it and forwards the events.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/waypoints.h"

namespace korvagrid {

class Platform;

class FmOziModel {
 public:
  static constexpr std::string_view kTitle = "Ozi-Properties";
  static constexpr std::string_view kPlacementLabel = "Надписи помещать:";
  static constexpr std::string_view kFontSizeLabel = "Шрифт:";
  static constexpr std::string_view kBackgroundFrame = "Фон надписи";
  static constexpr std::string_view kColourButton = "Цвет...";
  static constexpr std::string_view kOkButton = "OK";
  static constexpr std::string_view kDefaultFontSize = kDefaultWaypointFontSize;
  static constexpr std::int32_t kDefaultBackground = kDefaultWaypointBackground;

  // Items of the placement list `Combo1`, in list order.
  static const std::vector<std::string>& placementItems();
  // Items of the font size list `Combo2`, in list order, with their leading spaces.
  static const std::vector<std::string>& fontSizeItems();

  // Placement list: the text in the box and its list index (-1 when the text
  // is not one of the items).
  const std::string& placementText() const { return placementText_; }
  int placementIndex() const { return placementIndex_; }
  void setPlacementText(std::string_view text);
  // Selects an item; an index outside the list leaves an empty text and -1.
  void setPlacementIndex(int index);

  // Font size list: the text is written unchanged into the waypoint lines.
  const std::string& fontSizeText() const { return fontSizeText_; }
  void setFontSizeText(std::string_view text);
  void setFontSizeIndex(int index);

  // Background colour of the swatch `Text1`, 0x00BBGGRR.
  std::int32_t backgroundColour() const { return backgroundColour_; }

  // The dialog's load: only the first one selects placement 0 and font size
  // "  8"; later loads keep what the user left.
  void load();
  // "Цвет...": the platform's colour dialog; a choice becomes the background
  // colour, a cancel changes nothing.
  void cmdColorClick(Platform& platform);
  // "OK": an empty font size text becomes "  8", an empty placement text
  // selects placement 0. The front end then hides the dialog.
  void okButtonClick();

  WaypointOptions settings() const;

 private:
  std::string placementText_;
  int placementIndex_ = -1;
  std::string fontSizeText_;
  std::int32_t backgroundColour_ = kDefaultBackground;
  bool loaded_ = false;
};

}  // namespace korvagrid
