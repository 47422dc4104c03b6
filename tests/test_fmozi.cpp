// The "Ozi-Properties" dialog model.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/fmozi.h"
#include "interaction/platform.h"

namespace korvagrid {
namespace {

// A platform whose colour dialog returns a scripted answer; nothing else may
// be used by the dialog.
class ColourPlatform final : public Platform {
 public:
  std::optional<std::int32_t> answer;
  std::vector<std::int32_t> offered;  // the colours the dialog was opened with

  Answer askYesNo(std::string_view, std::string_view) override {
    ADD_FAILURE() << "question";
    return Answer::No;
  }
  Answer askYesNoCancel(std::string_view, std::string_view) override {
    ADD_FAILURE() << "question";
    return Answer::Cancel;
  }
  void warn(std::string_view, std::string_view) override { ADD_FAILURE() << "warning"; }
  void beep() override { ADD_FAILURE() << "beep"; }
  std::optional<ChosenFile> chooseOpenFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<ChosenFile> chooseSaveFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::int32_t> chooseColour(std::int32_t current) override {
    offered.push_back(current);
    return answer;
  }
  DialogEnd showOwnSystemDialog(MySistModel&) override { return DialogEnd::Closed; }
  DialogEnd showWaypointDialog(FmOziModel&) override { return DialogEnd::Closed; }
  void showHelp(FrmHelpModel&) override {}
};

TEST(FmOzi, ListItems) {
  const std::vector<std::string> placements = {"Над точкой",   "Под точкой",   "Справа",   "Слева",
                                               "Снизу-сверху", "Справа-слева", "Циклично", "Произвольно"};
  EXPECT_EQ(FmOziModel::placementItems(), placements);
  const std::vector<std::string> sizes = {"  6", "  7", "  8", " 10", " 11", " 12", " 14", " 16", " 18"};
  EXPECT_EQ(FmOziModel::fontSizeItems(), sizes);
}

TEST(FmOzi, FirstLoadSetsDefaultsLaterLoadsKeepChanges) {
  FmOziModel dialog;
  dialog.load();
  EXPECT_EQ(dialog.placementIndex(), 0);
  EXPECT_EQ(dialog.placementText(), "Над точкой");
  EXPECT_EQ(dialog.fontSizeText(), "  8");
  EXPECT_EQ(dialog.backgroundColour(), 65535);
  const WaypointOptions defaults = dialog.settings();
  EXPECT_EQ(defaults.placementIndex, 0);
  EXPECT_EQ(defaults.fontSizeText, "  8");
  EXPECT_EQ(defaults.backgroundColour, 65535);

  dialog.setPlacementIndex(5);
  dialog.setFontSizeIndex(8);
  dialog.okButtonClick();
  dialog.load();  // shown again: the dialog was only hidden
  EXPECT_EQ(dialog.settings().placementIndex, 5);
  EXPECT_EQ(dialog.settings().fontSizeText, " 18");
}

TEST(FmOzi, TypedTexts) {
  FmOziModel dialog;
  dialog.load();
  dialog.setPlacementText("Циклично");
  EXPECT_EQ(dialog.placementIndex(), 6);
  dialog.setPlacementText("как-нибудь");
  EXPECT_EQ(dialog.placementIndex(), -1);  // not an item
  dialog.setFontSizeText("9");
  dialog.okButtonClick();
  EXPECT_EQ(dialog.settings().placementIndex, -1);
  EXPECT_EQ(dialog.settings().fontSizeText, "9");  // written unchanged
}

TEST(FmOzi, OkRepairsEmptyTexts) {
  FmOziModel dialog;
  dialog.load();
  dialog.setPlacementIndex(3);
  dialog.setPlacementText("");
  dialog.setFontSizeText("");
  dialog.okButtonClick();
  EXPECT_EQ(dialog.placementIndex(), 0);
  EXPECT_EQ(dialog.placementText(), "Над точкой");
  EXPECT_EQ(dialog.fontSizeText(), "  8");
}

TEST(FmOzi, ColourDialog) {
  FmOziModel dialog;
  dialog.load();
  ColourPlatform platform;
  platform.answer = 255;  // red 255, green 0, blue 0
  dialog.cmdColorClick(platform);
  EXPECT_EQ(dialog.settings().backgroundColour, 255);

  platform.answer = std::nullopt;  // cancel: nothing changes
  dialog.cmdColorClick(platform);
  EXPECT_EQ(dialog.settings().backgroundColour, 255);
  EXPECT_EQ(platform.offered, (std::vector<std::int32_t>{65535, 255}));
}

}  // namespace
}  // namespace korvagrid
