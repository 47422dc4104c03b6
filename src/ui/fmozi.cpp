#include "ui/fmozi.h"

#include <optional>

#include "interaction/platform.h"

namespace korvagrid {
namespace {

constexpr int kDefaultFontSizeIndex = 2;  // "  8"

}  // namespace

const std::vector<std::string>& FmOziModel::placementItems() {
  static const std::vector<std::string> items = {
      "Над точкой", "Под точкой",   "Справа",   "Слева",
      "Снизу-сверху", "Справа-слева", "Циклично", "Произвольно",
  };
  return items;
}

const std::vector<std::string>& FmOziModel::fontSizeItems() {
  static const std::vector<std::string> items = {"  6", "  7", "  8", " 10", " 11", " 12", " 14", " 16", " 18"};
  return items;
}

void FmOziModel::setPlacementText(std::string_view text) {
  placementText_ = text;
  placementIndex_ = -1;
  const std::vector<std::string>& items = placementItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) {
      placementIndex_ = static_cast<int>(i);
      break;
    }
  }
}

void FmOziModel::setPlacementIndex(int index) {
  const std::vector<std::string>& items = placementItems();
  if (index >= 0 && index < static_cast<int>(items.size())) {
    placementIndex_ = index;
    placementText_ = items[static_cast<std::size_t>(index)];
  } else {
    placementIndex_ = -1;
    placementText_.clear();
  }
}

void FmOziModel::setFontSizeText(std::string_view text) { fontSizeText_.assign(text); }

void FmOziModel::setFontSizeIndex(int index) {
  const std::vector<std::string>& items = fontSizeItems();
  if (index >= 0 && index < static_cast<int>(items.size())) {
    fontSizeText_ = items[static_cast<std::size_t>(index)];
  } else {
    fontSizeText_.clear();
  }
}

void FmOziModel::load() {
  if (loaded_) return;
  loaded_ = true;
  setPlacementIndex(0);
  setFontSizeIndex(kDefaultFontSizeIndex);
}

void FmOziModel::cmdColorClick(Platform& platform) {
  if (const std::optional<std::int32_t> colour = platform.chooseColour(backgroundColour_)) {
    backgroundColour_ = *colour;
  }
}

void FmOziModel::okButtonClick() {
  if (fontSizeText_.empty()) fontSizeText_ = kDefaultFontSize;
  if (placementText_.empty()) setPlacementIndex(0);
}

WaypointOptions FmOziModel::settings() const {
  WaypointOptions s;
  s.placementIndex = static_cast<std::int16_t>(placementIndex_);
  s.fontSizeText = fontSizeText_;
  s.backgroundColour = backgroundColour_;
  return s;
}

}  // namespace korvagrid
