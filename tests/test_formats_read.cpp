// The line reader, the line sources of the conversion run and RadStr1.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "formats/number_parse.h"
#include "formats/radstr1.h"
#include "formats/read_str.h"

namespace korvagrid {
namespace {

// ---------------------------------------------------------------- ReadStr

TEST(ReadStr, TwoLinesWithPositions) {
  std::string text = "a\r\nb\r\n";
  std::string line;
  std::int64_t position = 0;
  ReadStr(text, line, 0, position);
  EXPECT_EQ(line, "a  ");
  EXPECT_EQ(position, 3);  // on the LF of the first CR LF
  ReadStr(text, line, 1, position);
  EXPECT_EQ(line, "b  ");
  EXPECT_EQ(position, 6);
  EXPECT_EQ(text, "a\r\nb\r\n");  // a CR LF followed: the text is untouched
  EXPECT_FALSE(position < static_cast<std::int64_t>(text.size()) - 1);  // the caller's loop ends
}

struct ReadStrRow {
  std::string text;
  std::int64_t lineCounter;
  std::int64_t position;
  std::string line;
  std::int64_t newPosition;
  std::string newText;
  const char* why;
};

const ReadStrRow kReadStrRows[] = {
    {"abc", 0, 0, "abc  ", 5, "abc ", "first call without CR LF: a space is appended to the text"},
    {"a\r\nbc", 1, 3, "bc  ", 7, "a\r\nbc ", "no CR LF after the position: the rest is the last line"},
    {"\r\nx\r\n", 0, 0, "  ", 2, "\r\nx\r\n", "empty first line"},
    {"x\r\n\r\ny\r\n", 1, 3, "  ", 5, "x\r\n\r\ny\r\n", "empty line in the middle"},
    {"  \tA  \r\n", 0, 0, "\tA  ", 8, "  \tA  \r\n", "only spaces are trimmed; the TAB stays"},
    {"   \r\n", 0, 0, "  ", 5, "   \r\n", "a line of spaces is empty"},
    {"a\r\nb \r\n", 1, 3, "b  ", 7, "a\r\nb \r\n", "the prepared text's last line: its space is trimmed"},
    {"a\rb\r\n", 0, 0, "a\rb  ", 5, "a\rb\r\n", "a lone CR does not end a line"},
};

TEST(ReadStr, Table) {
  for (const ReadStrRow& row : kReadStrRows) {
    std::string text = row.text;
    std::string line = "old";
    std::int64_t position = row.position;
    ReadStr(text, line, row.lineCounter, position);
    EXPECT_EQ(line, row.line) << row.why;
    EXPECT_EQ(position, row.newPosition) << row.why;
    EXPECT_EQ(text, row.newText) << row.why;
  }
}

// Positions are 64-bit: a text of more than 2^31 characters is not needed to
// show it, but a position past 32 767 must work.
TEST(ReadStr, PositionsBeyondSixteenBits) {
  std::string text = std::string(40000, 'x') + "\r\nlast\r\n";
  std::string line;
  std::int64_t position = 0;
  ReadStr(text, line, 0, position);
  EXPECT_EQ(line.size(), 40002u);
  EXPECT_EQ(position, 40002);
  ReadStr(text, line, 1, position);
  EXPECT_EQ(line, "last  ");
}

// ------------------------------------------------------------ Line sources

std::vector<std::string> TextLines(const std::string& raw) {
  TextLineSource source(PrepareRunText(NormalizeLineEnds(raw)));
  std::vector<std::string> lines;
  std::string line;
  while (source.next(line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> StreamLines(const std::string& raw) {
  std::istringstream in(raw);
  StreamLineSource source(in);
  std::vector<std::string> lines;
  std::string line;
  while (source.next(line)) lines.push_back(line);
  return lines;
}

// The lines the command line reads from `raw`: the text's lines of the same
// text with TABs as two spaces ("Open..." reads them so), without the blank
// line that the window's run sees after a final line end.
std::vector<std::string> CommandLineLines(std::string raw) {
  ReplaceTabsBySpaces(raw);
  std::vector<std::string> lines = TextLines(raw);
  if (raw.empty() || raw.back() == '\n' || raw.back() == '\r') lines.pop_back();
  return lines;
}

struct SourceRow {
  std::string raw;
  std::vector<std::string> lines;
  const char* why;
};

const SourceRow kSourceRows[] = {
    {"", {"  "}, "empty text: one empty line"},
    {"a", {"a  "}, "no final line break"},
    {"a\r\n", {"a  ", "  "}, "final CR LF: an empty last line follows"},
    {"a\r\nb", {"a  ", "b  "}, "two lines"},
    {"a\r\n\r\nb\r\n", {"a  ", "  ", "b  ", "  "}, "blank line in the middle"},
    {"  a  \r\n  b  ", {"a  ", "b  "}, "leading and trailing spaces"},
    {"a\rb\rc", {"a  ", "b  ", "c  "}, "CR-only line ends"},
    {"a\nb\n", {"a  ", "b  ", "  "}, "LF-only line ends"},
    {"a\r\n\nb\r\r\n", {"a  ", "  ", "b  ", "  ", "  "}, "mixed line ends"},
    {"   ", {"  "}, "spaces only"},
    {"\r\n", {"  ", "  "}, "a single line end"},
    {"x\ty \r\n", {"x\ty  ", "  "}, "TAB inside a line stays"},
    {"\r\n  \r\nP1 1 2 3", {"  ", "  ", "P1 1 2 3  "}, "blank lines before the first point"},
};

TEST(LineSource, TextAndStreamGiveTheListedLines) {
  for (const SourceRow& row : kSourceRows) {
    EXPECT_EQ(TextLines(row.raw), row.lines) << row.why;
    EXPECT_EQ(StreamLines(row.raw), CommandLineLines(row.raw)) << row.why;
  }
}

// The command line's reading: N lines give N lines, TABs are spaces before trimming.
TEST(LineSource, StreamEndsAtTheFinalLineEndAndTrimsTabs) {
  const SourceRow rows[] = {
      {"", {}, "empty text: no line"},
      {"a\n", {"a  "}, "a final line end ends the line and begins none"},
      {"a\r\n\r\n", {"a  ", "  "}, "a blank line before the final line end stays"},
      {"\tP1 1 2\t\n", {"P1 1 2  "}, "TABs at both ends are trimmed like spaces"},
  };
  for (const SourceRow& row : rows) EXPECT_EQ(StreamLines(row.raw), row.lines) << row.why;
}

TEST(LineSource, StreamTellsHowItsFirstLineEnded) {
  const std::pair<std::string, LineEnd> rows[] = {
      {"a\nb\r\n", LineEnd::Lf}, {"a\r\nb\n", LineEnd::CrLf}, {"a\rb", LineEnd::Cr}, {"a", LineEnd::None}};
  for (const auto& [raw, end] : rows) {
    std::istringstream in(raw);
    StreamLineSource source(in);
    std::string line;
    source.next(line);
    EXPECT_EQ(source.firstLineEnd(), end) << raw;
  }
}

// The stream's lines taken as they stand and finished later (as the batched
// run takes them); finishing a line twice changes nothing.
std::vector<std::string> RawStreamLinesFinished(const std::string& raw) {
  std::istringstream in(raw);
  StreamLineSource source(in);
  std::vector<std::string> lines;
  std::string line;
  while (source.takeRawLine(line)) {
    source.finishLine(line);
    std::string again = line;
    source.finishLine(again);
    EXPECT_EQ(again, line);
    lines.push_back(line);
  }
  return lines;
}

// Random texts over the characters that matter: both sources agree, and so
// do the stream's lines finished later.
TEST(LineSource, TextAndStreamAgreeOnRandomTexts) {
  std::mt19937 random(12345);
  const char alphabet[] = {'a', ' ', ' ', '\r', '\n', '\t', '1'};
  std::uniform_int_distribution<int> pick(0, 6);
  std::uniform_int_distribution<int> length(0, 40);
  for (int n = 0; n < 2000; ++n) {
    std::string raw;
    for (int i = length(random); i > 0; --i) raw.push_back(alphabet[pick(random)]);
    ASSERT_EQ(CommandLineLines(raw), StreamLines(raw)) << "text #" << n;
    ASSERT_EQ(StreamLines(raw), RawStreamLinesFinished(raw)) << "text #" << n;
  }
}

// The stream reads blocks of 64 KiB: a CR LF split between two blocks, and a
// line longer than a block.
TEST(LineSource, StreamLinesAcrossBlocks) {
  const std::string texts[] = {std::string(65535, 'a') + "\r\nb\r\n",
                               std::string(65535, 'a') + "\rb",
                               "x\n" + std::string(200000, 'y') + "\r\nz"};
  for (const std::string& raw : texts) {
    EXPECT_EQ(StreamLines(raw), CommandLineLines(raw)) << raw.size();
    EXPECT_EQ(RawStreamLinesFinished(raw), CommandLineLines(raw)) << raw.size();
  }
}

TEST(LineSource, AskingPastTheEndGivesEmptyLines) {
  std::istringstream in("a");
  StreamLineSource stream(in);
  TextLineSource text(PrepareRunText("a"));
  for (LineSource* source : {static_cast<LineSource*>(&stream), static_cast<LineSource*>(&text)}) {
    std::string line;
    ASSERT_TRUE(source->next(line));
    EXPECT_EQ(line, "a  ");
    for (int i = 0; i < 3; ++i) {
      line = "old";
      EXPECT_FALSE(source->next(line));
      EXPECT_EQ(line, "  ");
    }
  }
}

TEST(LineSource, TextSourceCountsLinesAndPosition) {
  TextLineSource source(PrepareRunText("a\r\nb"));
  std::string line;
  source.next(line);
  EXPECT_EQ(source.linesTaken(), 1);
  EXPECT_EQ(source.position(), 3);
  source.next(line);
  EXPECT_EQ(source.linesTaken(), 2);
}

TEST(PrepareRunText, TrimsAndEnds) {
  EXPECT_EQ(PrepareRunText("  a b  "), "a b \r\n");
  EXPECT_EQ(PrepareRunText(""), " \r\n");
  EXPECT_EQ(PrepareRunText("\r\n a"), "\r\n a \r\n");  // only spaces are trimmed
  EXPECT_EQ(NormalizeLineEnds("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd");
}

// ---------------------------------------------------------------- RadStr1

constexpr double kUnset = -999.0;  // the caller's value where the line supplies none

struct RadStr1Row {
  std::string line;  // as ReadStr returns it
  bool nameIn;
  char numP;
  char notP;
  int layout;
  std::string name;
  double first, second, third;
  std::string rest;
  const char* why;
};

const RadStr1Row kRadStr1Rows[] = {
    {"P7  6012.5 ; 3456.75;152.3  ", true, '.', ',', 1, "P7", 6012.5, 3456.75, 152.3, "",
     "name, semicolons and spaces as separators"},
    {"6012,5 3456,75  ", false, '.', ',', 0, "keep", 6012.5, 3456.75, kUnset, "",
     "decimal commas read with '.' as separator; H stays"},
    {"6012,5 3456,75  ", false, ',', '.', 0, "keep", 6012.5, 3456.75, kUnset, "", "decimal commas, ',' locale"},
    {"6012.5 3456.75  ", false, ',', '.', 0, "keep", 6012.5, 3456.75, kUnset, "", "decimal points, ',' locale"},
    {"1 2 3 4 word  ", false, '.', ',', 0, "keep", 1, 2, 3, "4 word", "a fourth number is left in the rest"},
    {"1 2 3  ", false, '.', ',', 2, "keep", 1, 2, kUnset, "3", "layout 2 stops after two values"},
    {"P1 10 20 30  ", true, '.', ',', 2, "P1", 10, 20, kUnset, "30", "layout 2 with a name"},
    {"N55 E37  ", false, '.', ',', 0, "keep", 55, 37, kUnset, "", "letters are separators"},
    {"word 1  ", true, '.', ',', 1, "word", 1, kUnset, kUnset, "", "a name and one value"},
    {"  ", false, '.', ',', 0, "keep", kUnset, kUnset, kUnset, "", "empty line: no values"},
    {"  ", true, '.', ',', 1, "", kUnset, kUnset, kUnset, "", "empty line with a name: empty name"},
    {"12a5  ", false, '.', ',', 0, "keep", 12, 5, kUnset, "", "a letter inside a field ends it"},
    {"55\xC2\xB0" "30 37\xC2\xB0" "20  ", false, '.', ',', 0, "keep", 55, 30, 37, "",
     "the bytes of the UTF-8 degree sign are separators; the rest starts at a space"},
    {"\xD0\x9F\xD1\x83\xD0\xBD\xD0\xBA\xD1\x82" "1 10 20 30  ", true, '.', ',', 1,
     "\xD0\x9F\xD1\x83\xD0\xBD\xD0\xBA\xD1\x82" "1", 10, 20, 30, "", "Cyrillic name"},
    {"  1 2 3  ", true, '.', ',', 1, "", 1, 2, 3, "", "a line that began with a TAB: empty name"},
    {"1 2 3 4;x  ", false, '.', ',', 0, "keep", 1, 2, 3, "4 x", "semicolons in the rest become spaces"},
    {"-12.5 +3 0  ", false, '.', ',', 0, "keep", -12.5, 3, 0, "", "'+' is a separator, '-' a sign"},
    {"1 2 3x45 m  ", false, '.', ',', 0, "keep", 1, 2, 3, "m",
     "the rest starts at the first space after the separator that ended H: 45 is passed over"},
    // Pasted text: U+2212, U+2013 and U+FF0D before a number are its sign.
    {"\xE2\x88\x92" "12.5 \xE2\x80\x93" "3 \xEF\xBC\x8D" ",5  ", false, '.', ',', 0, "keep", -12.5, -3, -0.5, "",
     "Unicode minus signs before numbers"},
    {"12 \xE2\x80\x93 3  ", false, '.', ',', 0, "keep", 12, 3, kUnset, "",
     "a dash between spaces stays a separator"},
    {"A\xE2\x88\x92" "1 10 20  ", true, '.', ',', 1, "A\xE2\x88\x92" "1", 10, 20, kUnset, "",
     "a name keeps its dash"},
    {"1 2.5 36", false, '.', ',', 0, "keep", 1, 2.5, kUnset, "",
     "a text that does not end in spaces: its last field is never completed"},
};

TEST(RadStr1, Table) {
  for (const RadStr1Row& row : kRadStr1Rows) {
    PointRecord record{"keep", kUnset, kUnset, kUnset, "old rest"};
    RadStr1(row.line, record, row.nameIn, row.numP, row.notP, row.layout);
    EXPECT_EQ(record.name, row.name) << row.why;
    EXPECT_EQ(record.first, row.first) << row.why;
    EXPECT_EQ(record.second, row.second) << row.why;
    EXPECT_EQ(record.third, row.third) << row.why;
    EXPECT_EQ(record.rest, row.rest) << row.why;
  }
}

// Plain fields are read without the general number reader; every value must
// be the double the general reader gives, on both sides of that shortcut.
TEST(RadStr1, FieldsReadAsTheNumberReaderReadsThem) {
  const struct {
    const char* field;
    const char* why;
  } rows[] = {
      {"6012345.678", "a plane coordinate: 10 digits, 3 decimals"},
      {"55.451234567", "packed degrees with 9 decimals"},
      {"-0.000", "negative zero keeps its sign"},
      {".5", "separator first"},
      {"5.", "separator last"},
      {"9007199254740992", "2^53: the largest integer read exactly"},
      {"9007199254740993", "2^53 + 1: rounds to even in the general reader"},
      {"0.1234567890123456789", "19 digits"},
      {"0.12345678901234567890", "20 digits: past the shortcut"},
      {"1.0000000000000000000001", "22 decimals"},
      {"0.00000000000000000000001", "23 decimals: past the shortcut"},
      {"123456789012345678.9", "19 digits above 2^53"},
  };
  for (const auto& row : rows) {
    PointRecord record;
    const std::string line = std::string(row.field) + " 1 2  ";
    RadStr1(line, record, false, '.', ',', 0);
    const double expected = ParseNumber(row.field, '.');
    EXPECT_EQ(std::signbit(record.first), std::signbit(expected)) << row.why;
    EXPECT_EQ(record.first, expected) << row.why;
  }
}

// The run's own order: ReadStr, then RadStr1 on the line it returns.
TEST(RadStr1, LineTakenWithReadStr) {
  std::string text = "   P7  6012.5 ; 3456.75;152.3 \r\n";
  std::string line;
  std::int64_t position = 0;
  ReadStr(text, line, 0, position);
  PointRecord record;
  RadStr1(line, record, true, '.', ',', 1);
  EXPECT_EQ(record.name, "P7");
  EXPECT_EQ(record.first, 6012.5);
  EXPECT_EQ(record.second, 3456.75);
  EXPECT_EQ(record.third, 152.3);
  EXPECT_EQ(record.rest, "");
}

struct FailureRow {
  std::string line;
  bool nameIn;
  const char* why;
};

const FailureRow kRadStr1Failures[] = {
    {"1.2.3  ", false, "two decimal separators"},
    {"1-2  ", false, "a minus inside the number"},
    {"1/2  ", false, "a slash is a number character but no number"},
    {"-  ", false, "a lone minus"},
    {"5 , 6  ", false, "a lone comma is a field"},
    {"a-a-a a-a a-a  ", true, "the invalid-value marker with a name"},
    {"a-a-a a-a a-a  ", false, "the invalid-value marker without a name"},
    {"P7", true, "no space for the name"},
    {"1 2 3x4x5", false, "the scan stopped before the end and no space follows"},
};

TEST(RadStr1, Failures) {
  for (const FailureRow& row : kRadStr1Failures) {
    PointRecord record;
    EXPECT_THROW(RadStr1(row.line, record, row.nameIn, '.', ',', 1), KorvagridError) << row.why;
  }
}

TEST(RadStr1, FailureNamesTheField) {
  PointRecord record;
  try {
    RadStr1("10 1-2  ", record, false, '.', ',', 0);
    FAIL() << "no failure";
  } catch (const KorvagridError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("1-2"), std::string::npos) << message;
    EXPECT_NE(message.find("втором"), std::string::npos) << message;
  }
}

// Regression: positions used to be 16-bit, so lines over 32 767 characters
// could not be read.
TEST(RadStr1, LongLines) {
  const std::string padding(100000, ' ');
  PointRecord record;
  RadStr1("P17" + padding + "6012345.678 6512345.678 152.30  ", record, true, '.', ',', 1);
  EXPECT_EQ(record.name, "P17");
  EXPECT_EQ(record.first, 6012345.678);
  EXPECT_EQ(record.second, 6512345.678);
  EXPECT_EQ(record.third, 152.30);

  const std::string words(100000, 'w');
  PointRecord tail;
  RadStr1("1 2 3 " + words + "  ", tail, false, '.', ',', 0);
  EXPECT_EQ(tail.third, 3);
  EXPECT_EQ(tail.rest, words);
}

}  // namespace
}  // namespace korvagrid

namespace korvagrid {
namespace {

// The stream is read in blocks of 64 KiB: a CR LF, a lone CR or an LF that
// falls on the edge of a block ends its line exactly as anywhere else.
TEST(LineSource, LineEndsOnTheEdgeOfAReadBlock) {
  constexpr std::size_t kBlock = 1 << 16;
  for (std::size_t before = kBlock - 3; before <= kBlock + 1; ++before) {
    for (const std::string end : {"\r\n", "\r", "\n"}) {
      const std::string raw = std::string(before, 'x') + end + "b" + end + "c";
      std::istringstream in(raw);
      StreamLineSource source(in);
      std::vector<std::string> lines;
      std::string line;
      while (source.next(line)) lines.push_back(line);
      ASSERT_EQ(lines.size(), 3u) << before << " characters before the line end";
      EXPECT_EQ(lines[0], std::string(before, 'x') + "  ");
      EXPECT_EQ(lines[1], "b  ");
      EXPECT_EQ(lines[2], "c  ");
      EXPECT_FALSE(source.next(line));
      EXPECT_EQ(line, "  ");
    }
  }
}

}  // namespace
}  // namespace korvagrid
