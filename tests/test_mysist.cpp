// The own-system editor: keystroke filters, normalisation of the fields, OK
// and its refusals, closing without OK, the zones of the own system, and the
// editor in the main window (opening on first selection, relabelling).
#include <gtest/gtest.h>

#include <string>

#include "conversion/catalogue.h"
#include "support/fake_platform.h"
#include "ui/form1.h"
#include "ui/mysist.h"

namespace korvagrid {
namespace {

using Field = MySistModel::Field;

// ---- Keystroke filters ----------------------------------------------------

struct KeyCase {
  const char* why;
  Field field;
  char32_t key;
  char numP;
  bool accepted;
};

class MySistKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MySistKey, IsFiltered) {
  const KeyCase& c = GetParam();
  MySistFields own = InitialMySistFields(c.numP);
  MySistModel dialog(own, c.numP);
  testing::FakePlatform platform;
  EXPECT_EQ(dialog.keyPress(c.field, c.key, platform), c.accepted) << c.why;
  EXPECT_EQ(platform.beeps, c.accepted ? 0 : 1) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MySistKey,
    ::testing::Values(KeyCase{"digit into degrees", Field::T1, U'7', '.', true},
                      KeyCase{"letter into degrees", Field::T1, U'a', '.', false},
                      KeyCase{"separator into minutes", Field::M1, U'.', '.', false},
                      KeyCase{"minus into minutes", Field::M1, U'-', '.', false},
                      KeyCase{"system separator into seconds", Field::S1, U'.', '.', true},
                      KeyCase{"the other separator into seconds", Field::S1, U',', '.', false},
                      KeyCase{"comma as system separator", Field::S1, U',', ',', true},
                      KeyCase{"minus into seconds", Field::S1, U'-', '.', false},
                      KeyCase{"minus into false east", Field::dYmy, U'-', '.', true},
                      KeyCase{"minus into false north", Field::dXmy, U'-', '.', true},
                      KeyCase{"separator into false north", Field::dXmy, U'.', '.', true},
                      KeyCase{"letter into false east", Field::dYmy, U'e', '.', false},
                      KeyCase{"Cyrillic letter into seconds", Field::S1, U'ж', '.', false},
                      KeyCase{"Backspace into degrees", Field::T1, 8, '.', true},
                      KeyCase{"any character into the name", Field::NameMy, U'ж', '.', true},
                      KeyCase{"space into the name", Field::NameMy, U' ', '.', true}));

TEST(MySistKeys, TenCharacterNameRefusesAnEleventh) {
  MySistFields own = InitialMySistFields('.');
  MySistModel dialog(own, '.');
  testing::FakePlatform platform;
  own.NameMy = "ABCDEFGHIJ";
  EXPECT_FALSE(dialog.keyPress(Field::NameMy, U'K', platform));
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_TRUE(dialog.keyPress(Field::NameMy, 8, platform));  // Backspace still works
  own.NameMy = "ABCDEFGHI";
  EXPECT_TRUE(dialog.keyPress(Field::NameMy, U'J', platform));
}

TEST(MySistKeys, NameLengthCountsCharactersNotBytes) {
  MySistFields own = InitialMySistFields('.');
  MySistModel dialog(own, '.');
  testing::FakePlatform platform;
  own.NameMy = "Пулково-42";  // 10 characters, 17 bytes
  EXPECT_FALSE(dialog.keyPress(Field::NameMy, U'x', platform));
  own.NameMy = "Пулково";  // 7 characters, 14 bytes
  EXPECT_TRUE(dialog.keyPress(Field::NameMy, U'x', platform));
}

TEST(MySistKeys, AnyKeyInTheNameMakesOkAvailableEvenWhenRefused) {
  MySistFields own = InitialMySistFields('.');
  MySistModel dialog(own, '.');
  testing::FakePlatform platform;
  own.NameMy = "  ";
  dialog.leaveField(Field::NameMy, platform);
  ASSERT_FALSE(dialog.okEnabled());
  own.NameMy = "ABCDEFGHIJ";  // full: the key is refused
  EXPECT_FALSE(dialog.keyPress(Field::NameMy, U'K', platform));
  EXPECT_TRUE(dialog.okEnabled());
}

// ---- Leaving a field ------------------------------------------------------

struct LeaveCase {
  const char* why;
  Field field;
  std::string typed;
  char numP;
  std::string shown;
  bool warned;
};

class MySistLeave : public ::testing::TestWithParam<LeaveCase> {};

TEST_P(MySistLeave, NormalisesTheField) {
  const LeaveCase& c = GetParam();
  MySistFields own = InitialMySistFields(c.numP);
  MySistModel dialog(own, c.numP);
  testing::FakePlatform platform;
  dialog.text(c.field) = c.typed;
  dialog.leaveField(c.field, platform);
  EXPECT_EQ(dialog.text(c.field), c.shown) << c.why;
  if (c.warned) {
    ASSERT_EQ(platform.warnings.size(), 1u) << c.why;
    EXPECT_EQ(platform.warnings[0].text, "Значение больше 59");
    EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай");
  } else {
    EXPECT_TRUE(platform.warnings.empty()) << c.why;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MySistLeave,
    ::testing::Values(
        LeaveCase{"empty degrees become 00", Field::T1, "", '.', "00", false},
        LeaveCase{"blank degrees become 00", Field::T1, "   ", '.', "00", false},
        LeaveCase{"one digit gets a leading zero", Field::T1, "5", '.', "05", false},
        LeaveCase{"degrees have no range check", Field::T1, "123", '.', "123", false},
        LeaveCase{"empty minutes become 00", Field::M1, "", '.', "00", false},
        LeaveCase{"minutes 75: warned and kept", Field::M1, "75", '.', "75", true},
        LeaveCase{"minutes 59 pass", Field::M1, "59", '.', "59", false},
        LeaveCase{"minutes 7", Field::M1, "7", '.', "07", false},
        LeaveCase{"empty seconds become the initial text", Field::S1, "", '.', "00.0000", false},
        LeaveCase{"empty seconds with decimal comma", Field::S1, "", ',', "00,0000", false},
        LeaveCase{"a lone separator in the seconds", Field::S1, ".", '.', "00.0000", false},
        LeaveCase{"seconds 5", Field::S1, "5", '.', "05.0000", false},
        LeaveCase{"seconds rounded to four decimals", Field::S1, "12.345678", '.', "12.3457",
                  false},
        LeaveCase{"seconds 60: warned and kept", Field::S1, "60", '.', "60.0000", true},
        LeaveCase{"seconds 59.5 are above 59", Field::S1, "59.5", '.', "59.5000", true},
        LeaveCase{"seconds that are not a number stay", Field::S1, "1.2.3", '.', "1.2.3", false},
        LeaveCase{"false east to three decimals", Field::dYmy, "250000", '.', "250000.000", false},
        LeaveCase{"false east with decimal comma", Field::dYmy, "250000,5", ',', "250000,500",
                  false},
        LeaveCase{"empty false east", Field::dYmy, "", '.', "00.000", false},
        LeaveCase{"lone separator in false north", Field::dXmy, ",", ',', "00,000", false},
        LeaveCase{"negative false north", Field::dXmy, "-5", '.', "-05.000", false},
        LeaveCase{"a lone minus stays (not a number)", Field::dXmy, "-", '.', "-", false},
        LeaveCase{"the name is not reformatted", Field::NameMy, " Local-1 ", '.', " Local-1 ",
                  false}));

TEST(MySistLeave, BlankNameMakesOkUnavailable) {
  MySistFields own = InitialMySistFields('.');
  MySistModel dialog(own, '.');
  testing::FakePlatform platform;
  own.NameMy = "   ";
  dialog.leaveField(Field::NameMy, platform);
  EXPECT_FALSE(dialog.okEnabled());
  EXPECT_FALSE(dialog.okClick(platform));  // the button cannot be pressed
  EXPECT_TRUE(platform.warnings.empty());
  own.NameMy = "L";
  dialog.leaveField(Field::NameMy, platform);
  EXPECT_TRUE(dialog.okEnabled());
}

// ---- OK and closing -------------------------------------------------------

TEST(MySistOk, ComputesTheCentralMeridianInArcSeconds) {
  MySistFields own = InitialMySistFields(',');
  MySistModel dialog(own, ',');
  testing::FakePlatform platform;
  own.dLmy = 0;
  ASSERT_TRUE(dialog.okClick(platform));
  EXPECT_EQ(own.dLmy, 116820.0);  // 32°27'00"
  own.T1 = "33";
  own.M1 = "00";
  own.S1 = "30,5";
  ASSERT_TRUE(dialog.okClick(platform));
  EXPECT_EQ(own.dLmy, 118830.5);
}

struct RefusalCase {
  const char* why;
  Field field;
  std::string text;
  std::string message;
};

class MySistRefusal : public ::testing::TestWithParam<RefusalCase> {};

// Regression: OK accepted texts that are not numbers and the next run failed.
TEST_P(MySistRefusal, OkRefusesAndNamesTheField) {
  const RefusalCase& c = GetParam();
  MySistFields own = InitialMySistFields('.');
  MySistModel dialog(own, '.');
  testing::FakePlatform platform;
  dialog.text(c.field) = c.text;
  own.dLmy = -1;
  EXPECT_FALSE(dialog.okClick(platform)) << c.why;
  ASSERT_EQ(platform.warnings.size(), 1u) << c.why;
  EXPECT_EQ(platform.warnings[0].text, c.message) << c.why;
  EXPECT_EQ(platform.warnings[0].title, "Ай-ай-ай");
  EXPECT_EQ(own.dLmy, -1) << "dLmy must not change: " << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MySistRefusal,
    ::testing::Values(RefusalCase{"lone minus in false east", Field::dYmy, "-",
                                  "В поле «False East.» не число: «-»"},
                      RefusalCase{"two separators in false north", Field::dXmy, "11057..63",
                                  "В поле «False North.» не число: «11057..63»"},
                      RefusalCase{"two separators in the seconds", Field::S1, "1.2.3",
                                  "В поле «C.Meridian \"» не число: «1.2.3»"},
                      RefusalCase{"empty degrees (never left)", Field::T1, "",
                                  "В поле «C.Meridian °» не число: «»"},
                      RefusalCase{"minus inside minutes", Field::M1, "2-7",
                                  "В поле «C.Meridian '» не число: «2-7»"},
                      RefusalCase{"degrees whose zone has no 16-bit number", Field::T1, "999999",
                                  "В поле «C.Meridian °» слишком большое число: «999999»"}));

TEST(MySistClose, WithoutOkRestoresEveryInitialValue) {
  MySistFields own = InitialMySistFields(',');
  MySistModel dialog(own, ',');
  testing::FakePlatform platform;
  own.NameMy = "Local-1";
  own.cUTM = 1;
  own.T1 = "45";
  own.M1 = "10";
  own.S1 = "05,0000";
  own.dYmy = "300000,000";
  own.dXmy = "-10,000";
  ASSERT_TRUE(dialog.okClick(platform));
  dialog.closeWithoutOk();
  const MySistFields initial = InitialMySistFields(',');
  EXPECT_EQ(own.NameMy, "63(C 3.5)");
  EXPECT_EQ(own.cUTM, initial.cUTM);
  EXPECT_EQ(own.T1, "32");
  EXPECT_EQ(own.M1, "27");
  EXPECT_EQ(own.S1, "00,0000");
  EXPECT_EQ(own.dYmy, "250000,000");
  EXPECT_EQ(own.dXmy, "11057,630");
  EXPECT_EQ(own.dLmy, 116820.0);
}

// ---- Zones of the own system, ties to even --------------------------------

struct ZoneCase {
  const char* why;
  std::string degrees;
  std::int16_t zone;
};

class OwnZone : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(OwnZone, IsDegreesPlusThreeOverSixTiesToEven) {
  MySistFields own = InitialMySistFields('.');
  own.T1 = GetParam().degrees;
  EXPECT_EQ(OwnSystemOf(own, '.').system->zone, GetParam().zone) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(Table, OwnZone,
                         ::testing::Values(ZoneCase{"initial 32°: 35/6 = 5.83", "32", 6},
                                           ZoneCase{"33°: exactly 6", "33", 6},
                                           ZoneCase{"27°: exactly 5", "27", 5},
                                           ZoneCase{"30°: 5.5 goes to the even 6", "30", 6},
                                           ZoneCase{"24°: 4.5 goes to the even 4", "24", 4},
                                           ZoneCase{"36°: 6.5 goes to the even 6", "36", 6},
                                           ZoneCase{"42°: 7.5 goes to the even 8", "42", 8},
                                           ZoneCase{"0°: 0.5 goes to 0", "00", 0}));

TEST(OwnZone, FreshStartParameters) {
  MySistFields own = InitialMySistFields(',');
  const CoordinateSystem system = OwnSystemEntry(*OwnSystemOf(own, ',').system);
  EXPECT_EQ(system.kind, SystemKind::LocalPlane);
  EXPECT_EQ(system.centralMeridian, 116820.0);  // 32°27'00"
  EXPECT_EQ(system.zone, 6);
  EXPECT_EQ(system.falseNorth, 11057.63);
  EXPECT_EQ(system.falseEast, 250000.0);
  EXPECT_EQ(system.xOffset, 0);
}

// ---- The editor in the main window ----------------------------------------

class OwnSystemInWindow : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  Form1 form{platform};
  int ownIndex() const { return form.Combo1.count() - 1; }
  void SetUp() override { form.load(','); }
};

TEST_F(OwnSystemInWindow, FirstChoiceOpensTheEditorLaterChoicesDoNot) {
  EXPECT_FALSE(form.mnuMySist.enabled);
  EXPECT_EQ(form.Combo1.items.back(), " New...");
  form.selectCombo1(ownIndex());
  EXPECT_EQ(platform.mySistShown, 1);
  EXPECT_EQ(form.MySistState, 2);
  EXPECT_TRUE(form.mnuMySist.enabled);
  EXPECT_EQ(form.Combo1.items.back(), "63(C 3.5)");
  EXPECT_EQ(form.Combo2.items.back(), "63(C 3.5)");
  EXPECT_EQ(form.Combo1.index, ownIndex());
  form.selectCombo1(0);
  form.selectCombo1(ownIndex());
  form.selectCombo2(ownIndex());
  EXPECT_EQ(platform.mySistShown, 1);
}

TEST_F(OwnSystemInWindow, OkWithANewNameRelabelsBothListsAndKeepsSelections) {
  form.selectCombo2(5);
  platform.onMySist = [this](MySistModel& dialog) {
    dialog.text(MySistModel::Field::NameMy) = "Local-1";
    EXPECT_EQ(form.MySistState, 0);
    return dialog.okClick(platform) ? DialogEnd::Ok : DialogEnd::Closed;
  };
  form.selectCombo1(ownIndex());
  EXPECT_EQ(form.Combo1.items.back(), "Local-1");
  EXPECT_EQ(form.Combo2.items.back(), "Local-1");
  EXPECT_EQ(form.Combo1.index, ownIndex());
  EXPECT_EQ(form.Combo1.text(), "Local-1");
  EXPECT_EQ(form.Combo2.index, 5);
  EXPECT_EQ(form.Combo1.count(), static_cast<int>(FixedSystems().size()) + 1);
}

TEST_F(OwnSystemInWindow, ClosingWithoutOkPutsTheInitialNameInTheLists) {
  platform.onMySist = [](MySistModel& dialog) {
    dialog.text(MySistModel::Field::NameMy) = "Lost";
    dialog.text(MySistModel::Field::T1) = "45";
    return DialogEnd::Closed;
  };
  form.selectCombo2(ownIndex());
  EXPECT_EQ(form.Combo2.items.back(), "63(C 3.5)");
  EXPECT_EQ(form.ownSystem.T1, "32");
  EXPECT_EQ(form.Combo2.index, ownIndex());
}

TEST_F(OwnSystemInWindow, MenuItemReopensTheEditorWithTheValuesKept) {
  form.selectCombo1(ownIndex());
  platform.onMySist = [](MySistModel& dialog) {
    EXPECT_EQ(dialog.text(MySistModel::Field::NameMy), "63(C 3.5)");
    dialog.text(MySistModel::Field::NameMy) = "Local-2";
    return DialogEnd::Ok;
  };
  form.selectCombo1(3);
  form.editOwnSystem();
  EXPECT_EQ(platform.mySistShown, 2);
  EXPECT_EQ(form.MySistState, 2);
  EXPECT_EQ(form.Combo1.items.back(), "Local-2");
  EXPECT_EQ(form.Combo1.index, 3);  // a list without the own entry selected keeps its entry
}

TEST_F(OwnSystemInWindow, FreshStartConfirmedUnchangedGivesTheInitialSystem) {
  form.selectCombo1(ownIndex());
  const CoordinateSystem source = form.settings().source;
  EXPECT_EQ(source.centralMeridian, 116820.0);
  EXPECT_EQ(source.zone, 6);
  EXPECT_EQ(source.falseNorth, 11057.63);
  EXPECT_EQ(source.falseEast, 250000.0);
  EXPECT_EQ(source.kind, SystemKind::LocalPlane);
}

}  // namespace
}  // namespace korvagrid
