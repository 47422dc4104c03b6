// Degree-minute-second lines, Trimble lines and Ashtech records.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/error.h"
#include "formats/angles.h"
#include "formats/dms_line.h"
#include "formats/radstr1.h"
#include "formats/read_str.h"
#include "formats/reports.h"
#include "geodesy/packed_angle.h"

namespace korvagrid {
namespace {

// ---------------------------------------------------------------- RadStr3

struct RadStr3Row {
  std::string line;  // as ReadStr returns it
  bool nameIn;
  char numP;
  char notP;
  bool trimble;
  std::string expected;
  const char* why;
};

const RadStr3Row kRadStr3Rows[] = {
    {"P1 55\xC2\xB0" "45'12.3456\" 37\xC2\xB0" "36'56.789\" 150.2  ", true, '.', ',', false,
     "P1 55.45123456 37.3656789  150.2  ", "named dms line with quotes and height"},
    {"55\xC2\xB0" "45'5.5\" 37\xC2\xB0" "36'0\"  ", false, '.', ',', false, "55.45055 37.360000000001   ",
     "seconds below 10 get a 0; zero seconds are written 0000000001"},
    {"55 45 0 37 36 1  ", false, '.', ',', false, "55.450000000001 37.3601  ",
     "zero latitude seconds keep the minutes"},
    {"N55 45 12,5 E37 36 56,25  ", false, '.', ',', false, "55.45125 37.365625  ",
     "decimal comma, hemisphere letters are separators"},
    {"55 45 12.5 37 36 56.25  ", false, ',', '.', false, "55.45125 37.365625  ", "',' locale, '.' in the line"},
    {"P1;55 45 12 37 36 56  ", true, '.', ',', false, "P1 55.4512 37.3656  ", "';' ends the name"},
    {"55.0 5 1 180 0 59.99999  ", false, '.', ',', false, "55.0501 180.005999999  ",
     "degrees 55.0 are whole; 180 degrees and 59.99999 seconds are valid"},
    {"95 0 0 0 0 0  ", false, '.', ',', false, "95.000000000001 0.000000000001  ",
     "only degrees above 180 are refused, also for the latitude"},
    {"55 45  ", false, '.', ',', false, "55.450 0.0000 ", "missing seconds and longitude are written as 0"},
    {"  ", false, '.', ',', false, "0 0.0000 ", "empty line"},
    {"55 45 9.9999999999999996 37 36 1  ", false, '.', ',', false, "55.4510 37.3601  ",
     "seconds written as 10 get no leading 0"},
    // Trimble mode: the number after each seconds value is dropped.
    {"P5 N55\xC2\xB0" "45'12.3\" 0 E37\xC2\xB0" "36'56.7\" 0 150.2  ", true, '.', ',', true,
     "P5 55.45123 37.36567 150.2  ", "Trimble line"},
    {"P5 N55\xC2\xB0" "45'12.3\" 0 E37\xC2\xB0" "36'56.7\" 0 150.2  ", true, '.', ',', false,
     "P5 55.45123 0.3736 56.7\" 0 150.2  ", "the same line without Trimble mode: 0 becomes the degrees"},
    {"S1 55 45 12 \xE2\x88\x92" "37 36 56 \xE2\x88\x92" "5  ", true, '.', ',', false,
     "S1 55.4512 -37.3656 -5  ", "U+2212 before degrees is a sign; a name S1 is no hemisphere"},
    {"55 45 12 37 36 56 SW-7  ", false, '.', ',', false, "55.4512 37.3656 SW-7  ",
     "a word of letters is no hemisphere mark"},
};

// Southern latitudes and western longitudes are refused, naming the mark:
// read as separators they would put the point into the other hemisphere.
TEST(RadStr3, SouthOrWestMarksAreRefused) {
  const std::pair<std::string, bool> lines[] = {  // line, Trimble mode
      {"55\xC2\xB0" "45'12\" S 37\xC2\xB0" "36'56\" E 150  ", false},
      {"S 55 45 12 E 37 36 56 150  ", false},
      {"N55 45 12 W37 36 56  ", false},
      {"55 45 12.3\" 0.012 37 36 56.7\"W 0.015 150.2  ", true},
      {"55 45 12 \xD0\xAE 37 36 56  ", false},  // Ю, south
  };
  for (const auto& [text, trimble] : lines) {
    std::string line = text;
    EXPECT_THROW(RadStr3(line, false, '.', ',', trimble), KorvagridError) << text;
  }
  std::string record = "Site 0001 Lat. S 55 45 1 Lon. E 37 36 2 Elv. 150 m  ";
  EXPECT_THROW(ReadAsh(record), KorvagridError);
}

TEST(RadStr3, InvalidValueNamesThePart) {
  const std::pair<std::string, std::string> cases[] = {
      {"55.75 37.6 150  ", "широта, градусы: не целое число: «55.75»"},
      {"55 45 12 37 60 0  ", "долгота, минуты: 60 больше 59"},
      {"55 45 60 37 6 0  ", "широта, секунды: 60 не меньше 60"},
  };
  for (const auto& [text, why] : cases) {
    std::string line = text;
    std::string reason;
    EXPECT_FALSE(RadStr3(line, false, '.', ',', false, &reason)) << text;
    EXPECT_EQ(reason, why) << text;
  }
}

TEST(RadStr3, Table) {
  for (const RadStr3Row& row : kRadStr3Rows) {
    std::string line = row.line;
    EXPECT_TRUE(RadStr3(line, row.nameIn, row.numP, row.notP, row.trimble)) << row.why;
    EXPECT_EQ(line, row.expected) << row.why;
  }
}

TEST(RadStr3, RewrittenLineIsReadByRadStr1) {
  std::string line = "P1 55\xC2\xB0" "45'12.3456\" 37\xC2\xB0" "36'56.789\" 150.2  ";
  ASSERT_TRUE(RadStr3(line, true, '.', ',', false));
  PointRecord record;
  RadStr1(line, record, true, '.', ',', 1);
  EXPECT_EQ(record.name, "P1");
  EXPECT_EQ(record.first, 55.45123456);
  EXPECT_EQ(record.second, 37.3656789);
  EXPECT_EQ(record.third, 150.2);
}

struct InvalidRow {
  std::string line;
  bool trimble;
  const char* why;
};

const InvalidRow kRadStr3Invalid[] = {
    {"181 0 0 37 0 0  ", false, "latitude degrees 181"},
    {"55 0 0 181 0 0  ", false, "longitude degrees 181"},
    {"55 60 0 37 0 0  ", false, "latitude minutes 60"},
    {"55 0 0 37 60 0  ", false, "longitude minutes 60"},
    {"55 0 60 37 0 0  ", false, "latitude seconds 60"},
    {"55 0 0 37 0 60  ", false, "longitude seconds 60"},
    {"55.5 0 0 37 0 0  ", false, "latitude degrees 55.5"},
    {"55 0 0 37.5 0 0  ", false, "longitude degrees 37.5"},
    {"55 30.5 0 37 0 0  ", false, "latitude minutes 30.5"},
    {"55 0 0 37 30.5 0  ", false, "longitude minutes 30.5"},
    {"1-2 0 0 37 0 0  ", false, "a field that is not a number"},
    {"55 0 1.2.3 37 0 0  ", false, "seconds that are not a number"},
    {"55 0 0 37 0 1/2  ", false, "longitude seconds that are not a number"},
    {"40000 0 0 37 0 0  ", false, "degrees beyond 16 bits"},
    {"55 0 0 0.5 37 0 0  ", false, "without Trimble mode 0.5 is taken as degrees"},
    {"55 0 0 0 37 60 0 0  ", true, "Trimble line with longitude minutes 60"},
    {"55 0 60 0 37 0 0 0  ", true, "Trimble line with latitude seconds 60"},
};

TEST(RadStr3, InvalidValuesGiveTheMarker) {
  for (const InvalidRow& row : kRadStr3Invalid) {
    std::string line = row.line;
    EXPECT_FALSE(RadStr3(line, false, '.', ',', row.trimble)) << row.why;
    EXPECT_EQ(line, kInvalidValueMarker) << row.why;
  }
}

// The marker stops the run: RadStr1 cannot read it.
TEST(RadStr3, MarkerFailsInRadStr1) {
  std::string line = "P1 55 60 0 37 0 0  ";
  ASSERT_FALSE(RadStr3(line, true, '.', ',', false));
  PointRecord record;
  EXPECT_THROW(RadStr1(std::string(line) + "  ", record, true, '.', ',', 1), KorvagridError);
}

TEST(RadStr3, NameWithoutSpaceIsAFailure) {
  std::string line = "P1";
  EXPECT_THROW(RadStr3(line, true, '.', ',', false), KorvagridError);
}

// Common lines are rewritten from their digits (formats/dms_line.h), all
// others field by field: both ways give the same line, reason and failure.
// Each row sits at an edge of what the shortcut takes, in both separator
// choices, with and without a name, in both modes.
TEST(RadStr3, ShortcutWritesWhatTheFieldByFieldReadingWrites) {
  const std::string lines[] = {
      "P1 55\xC2\xB0" "45'12.3456\" 37\xC2\xB0" "36'56.789\" 150.2  ",  // the common line
      "P1 55\xC2\xB0" "45'12\" 37\xC2\xB0" "36'56\" 150.2 x\xC2\xB0" "y'z  ",  // "°", "'" in the rest
      "P1 55\xC2\xB0" "45'12\" 37\xC2\xB0" "36'56\"150.2 x  ",  // no space before the rest
      "055 045 012.50000 037 36 0000.0  ",               // leading and trailing zeros
      "55 45 0 37 36 00.000  ",                          // zero seconds: 1e-8 seconds
      "55 45 .5 37 36 7.  ",                             // a separator first or last
      "55 45 12.3456789012345 37 36 1.23456789012345  ",  // 15 significant digits
      "55 45 12.34567890123456 37 36 1  ",               // 16: rounded by the reading
      "55 45 0.000000000000001234 37 36 1  ",            // many leading zeros of the decimals
      "55 45 12.340000000000000000000 37 36 1.5000  ",   // trailing zeros past 19 digits
      "180 59 59.99999 0 0 0  ",                         // the largest values
      "181 0 0 37 0 0  ", "55 60 0 37 0 0  ", "55 0 60 37 0 0  ",  // one beyond
      "55.0 45 12 37 36 56  ", "55 45 12,5 37 36 56.25  ",  // a whole field with a separator; a comma
      "55 45 1.2.3 37 36 1  ", "55 45 -1 37 36 1  ",       // not a number; a minus
      "P;55 45 12 37 36 56  ", "P\xC2\xB0" "55 45 12 37 36 56  ", "P'55 45 12 37 36 56  ",  // name ends
      "N55 45 12 E37 36 56 NE 150  ", "S55 45 12 37 36 56  ", "55 45 12 W 37 36 56  ",  // letters
      "55 45 12 37 36 56 W 150  ", "55 45 12 37 36 56 SW 150  ",  // after the angles
      "55 45 12 \xD0\xAE 37 36 56  ", "55 45 12 37 36 56 \xE2\x88\x92" "5  ",  // Cyrillic, a dash
      "55 45 12 0.012 37 36 56 0.015 150  ",             // a Trimble line
      "55 45 12 37 36 56", "55 45 12 37 36 56 ", "55 45 12 37 36 56\"  ",  // too short to end
      "55\xC2\xB0" "45'12\" 37\xC2\xB0" "36'56\xC2\xB0 ",  // a degree sign ends the last field
  };
  for (const std::string& text : lines) {
    for (const bool comma : {false, true}) {
      for (const bool nameIn : {false, true}) {
        for (const bool trimble : {false, true}) {
          const char numP = comma ? ',' : '.';
          const char notP = comma ? '.' : ',';
          const auto rewrite = [&](auto&& function) {
            std::string line = text;
            std::string why;
            std::string failure;
            bool valid = false;
            try {
              valid = function(line, nameIn, numP, notP, trimble, &why);
            } catch (const KorvagridError& error) {
              failure = error.what();
            }
            return std::tuple{valid, line, why, failure};
          };
          const std::string where =
              text + (comma ? " comma" : "") + (nameIn ? " name" : "") + (trimble ? " trimble" : "");
          EXPECT_EQ(rewrite(RadStr3), rewrite(detail::RadStr3FieldByField)) << where;
          // A common line read straight into a record: what RadStr1 reads
          // from the rewritten line, for the layout with H and the one without.
          for (const int layout : {nameIn ? 1 : 0, 2}) {
            const auto read = [&](bool direct) {
              PointRecord record;
              std::string failure;
              try {
                std::string line = text;
                const bool straight =
                    direct && detail::ReadCommonDmsRecord(line, record, nameIn, numP, notP, trimble, layout);
                // The angles' parts as read are those of the packed values:
                // the same radians to a few units in the last place.
                EXPECT_EQ(record.angleParts.has_value(), straight);
                if (straight) {
                  constexpr double kRad = 2e-15;
                  EXPECT_NEAR(PartsToRad(record.angleParts->latitude), PackedToRad(record.first), kRad);
                  EXPECT_NEAR(PartsToRad(record.angleParts->longitude), PackedToRad(record.second),
                              kRad);
                }
                if (!straight && RadStr3(line, nameIn, numP, notP, trimble)) {
                  RadStr1(line, record, nameIn, numP, notP, layout);
                }
              } catch (const KorvagridError& error) {
                failure = error.what();
              }
              return std::tuple{record.name, record.first, record.second, record.third, record.rest, failure};
            };
            EXPECT_EQ(read(true), read(false)) << where << " layout " << layout;
          }
        }
      }
    }
  }
}

// Round trip through the text forms: packed → PackedToDms → RadStr3 →
// RadStr1 → packed gives the same angle to 0.00005". Values just below a
// whole minute or degree are written with carried minutes or degrees;
// without the carry PackedToDms would write 60 seconds, which RadStr3 refuses.
TEST(RadStr3, RoundTripFromPackedDegrees) {
  constexpr double kToleranceDegrees = 0.00005 / 3600;  // 0.00005"
  const double degrees[] = {0, 1, 45, 55, 89, 179};
  const int minutes[] = {0, 1, 29, 59};
  const double seconds[] = {0, 0.00001, 5.5, 12.34567, 59.99999, 59.999996, 59.9999999};
  for (const char numP : {'.', ','}) {
    const char notP = numP == '.' ? ',' : '.';
    for (const double g : degrees) {
      for (const int m : minutes) {
        for (const double s : seconds) {
          const double lat = g + m / 100.0 + s / 10000;
          const double lon = (180 - g) / 2 + m / 100.0 + s / 10000;
          std::string line = "P " + PackedToDms(lat, numP) + " " + PackedToDms(lon, numP) + " 12.5  ";
          const std::string written = line;
          ASSERT_TRUE(RadStr3(line, true, numP, notP, false)) << written;
          PointRecord record;
          RadStr1(line, record, true, numP, notP, 1);
          EXPECT_NEAR(PackedToDegrees(record.first), PackedToDegrees(lat), kToleranceDegrees) << written;
          EXPECT_NEAR(PackedToDegrees(record.second), PackedToDegrees(lon), kToleranceDegrees) << written;
          EXPECT_EQ(record.third, 12.5) << written;
        }
      }
    }
  }
}

// ---------------------------------------------------------------- ReadAsh

const char* const kAshtechReport =
    "Site 0001 Lat. N 55\xC2\xB0 45' 12.34567\"\r\n"
    "Lon. E 37\xC2\xB0 36' 56.78901\"\r\n"
    "Elv. 150.123 m\r\n"
    "PDOP 1.8\r\n"
    "Site 0002 Lat. N 55\xC2\xB0 46' 1.5\"\r\n"
    "Lon. E 37\xC2\xB0 37' 0\"\r\n"
    "Elv. 151.5 m\r\n"
    "PDOP 1.9";

TEST(ReadAsh, RecordOfFourLines) {
  TextLineSource source(PrepareRunText(kAshtechReport));
  std::string first;
  ASSERT_TRUE(source.next(first));
  std::string record = AssembleAshtechRecord(first, source);
  EXPECT_EQ(record,
            "Site 0001 Lat. N 55\xC2\xB0 45' 12.34567\"Lon. E 37\xC2\xB0 36' 56.78901\"Elv. 150.123 m  ");
  ASSERT_TRUE(ReadAsh(record));
  EXPECT_EQ(record, "0001 55.451234567 37.365678901  150.123 m");
  PointRecord point;
  RadStr1(record, point, true, '.', ',', 1);
  EXPECT_EQ(point.name, "0001");
  EXPECT_EQ(point.first, 55.451234567);
  EXPECT_EQ(point.second, 37.365678901);
  EXPECT_EQ(point.third, 150.123);

  // The next record starts on the fifth line.
  ASSERT_TRUE(source.next(first));
  record = AssembleAshtechRecord(first, source);
  ASSERT_TRUE(ReadAsh(record));
  EXPECT_EQ(record, "0002 55.46015 37.370000000001  151.5 m");
  EXPECT_FALSE(source.next(first));
}

TEST(ReadAsh, StreamSourceAssemblesTheSameRecords) {
  std::istringstream in(kAshtechReport);
  StreamLineSource stream(in);
  TextLineSource text(PrepareRunText(kAshtechReport));
  std::string a;
  std::string b;
  while (text.next(a)) {
    ASSERT_TRUE(stream.next(b));
    EXPECT_EQ(AssembleAshtechRecord(a, text), AssembleAshtechRecord(b, stream));
  }
  EXPECT_FALSE(stream.next(b));
}

struct AshRow {
  std::string record;
  bool valid;
  std::string expected;
  const char* why;
};

const AshRow kAshRows[] = {
    {"Site 0001 Lat. N 55\xC2\xB0 45' 12.34567\"Lon. E 37\xC2\xB0 36' 56.78901\"Elv. 150.123  ", true,
     "0001 55.451234567 37.365678901  150.123", "the record is trimmed: nothing follows the height"},
    {"Site 0001 P17 Lat. N 55 45 1 Lon. E 37 36 2 Elv. 150 m  ", true, "P17 55.4501 37.3602  150 m",
     "a word before the Lat. mark is the name"},
    {"Site \xD0\xA2\xD1\x87\xD0\xBA" "1 Lat. N 55 45 1 Lon. E 37 36 2 Elv. 150 m  ", true,
     "\xD0\xA2\xD1\x87\xD0\xBA" "1 55.4501 37.3602  150 m", "a Cyrillic name is four characters, not bytes"},
    {"Site\t0001 Lat. N 55 45 1 Lon. E 37 36 2 Elv. 150 m  ", true, "0001 55.4501 37.3602  150 m",
     "a TAB before the name"},
    {"Site 0001 Lat. N 55 60 1 Lon. E 37 36 2 Elv. 150 m  ", false, std::string(kInvalidValueMarker),
     "latitude minutes 60"},
    {"Site 0001 Lat. N 55 45 1 Lon. E 181 36 2 Elv. 150 m  ", false, std::string(kInvalidValueMarker),
     "longitude degrees 181"},
    {"Site 0001 Lat. N 55 45 60 Lon. E 37 36 2 Elv. 150 m  ", false, std::string(kInvalidValueMarker),
     "latitude seconds 60"},
    {"Site 0001 Lat. N 55,5 45 1 Lon. E 37 36 2 Elv. 150 m  ", false, std::string(kInvalidValueMarker),
     "no ',' substitution: 55,5 is not a number with '.'"},
};

TEST(ReadAsh, Table) {
  for (const AshRow& row : kAshRows) {
    std::string record = row.record;
    EXPECT_EQ(ReadAsh(record), row.valid) << row.why;
    EXPECT_EQ(record, row.expected) << row.why;
  }
}

TEST(ReadAsh, HeightLastInTheRecordIsNotRead) {
  std::string record = "Site 0001 Lat. N 55 45 1 Lon. E 37 36 2 Elv. 150.123  ";
  ASSERT_TRUE(ReadAsh(record));
  PointRecord point;
  RadStr1(record, point, true, '.', ',', 1);
  EXPECT_EQ(point.first, 55.4501);
  EXPECT_EQ(point.third, 0);
}

TEST(ReadAsh, LatMarkWithoutSpaceIsAFailureOutsideTheCheck) {
  std::string record = "Site 0001 Lat.55";
  EXPECT_THROW(ReadAsh(record), KorvagridError);
}

TEST(AshtechLinePart, QuoteFromTheEighthCharacter) {
  EXPECT_EQ(AshtechLinePart("ab\"cdefg\"hi  "), "ab\"cdefg\"");  // the quote at 3 is too early
  EXPECT_EQ(AshtechLinePart("Elv. 150.123 m  "), "");             // no quote: nothing
  EXPECT_EQ(AshtechLinePart("1234567\"x"), "1234567\"");           // the eighth character itself
  // Characters, not bytes: six degree signs are 12 bytes.
  const std::string degrees = "\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0";
  EXPECT_EQ(AshtechLinePart(degrees + "\"ab\"cd"), degrees + "\"ab\"");
}

}  // namespace
}  // namespace korvagrid
