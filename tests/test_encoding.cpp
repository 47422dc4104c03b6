// Encodings of the text files: detection, cp1251 <-> UTF-8, and the rule that
// no character is ever lost or replaced.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

#include "common/ascii.h"
#include "documents/text_encoding.h"

namespace korvagrid {
namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

// glibc's own cp1251 table, as an independent check of ours.
std::string GlibcCp1251ToUtf8(std::string_view in) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  std::string input(in);
  std::string output(in.size() * 4 + 4, '\0');
  char* inPtr = input.data();
  std::size_t inLeft = input.size();
  char* outPtr = output.data();
  std::size_t outLeft = output.size();
  const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) return "<iconv failed>";
  output.resize(output.size() - outLeft);
  return output;
}

TEST(Cp1251, EveryAssignedByteMatchesGlibcTable) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;  // unassigned in cp1251; see the next test
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Cp1251ToUtf8(byte), GlibcCp1251ToUtf8(byte)) << "byte 0x" << std::hex << b;
  }
}

TEST(Cp1251, UnassignedByteIsCarriedAsC1Control) {
  // 0x98 has no character in cp1251; U+0098 keeps it so that it survives.
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xC2\x98");
  EXPECT_EQ(EncodeText("\xC2\x98", TextEncoding::Cp1251).bytes, "\x98");
}

TEST(Cp1251, AllBytesRoundTripByteForByte) {
  const std::string bytes = AllBytes();
  const std::string utf8 = Cp1251ToUtf8(bytes);
  EXPECT_TRUE(IsValidUtf8(utf8));
  const EncodedText back = EncodeText(utf8, TextEncoding::Cp1251);
  EXPECT_EQ(back.encoding, TextEncoding::Cp1251);
  EXPECT_TRUE(back.missingCharacter.empty());
  EXPECT_EQ(back.bytes, bytes);
}

TEST(Cp1251, DecodesSurveyText) {
  // "Пункт 1 55°45'" as the code page writes it.
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xF3\xED\xEA\xF2 1 55\xB0"
                         "45'"),
            "Пункт 1 55°45'");
  EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8\xB9"), "Ёё№");
}

struct DetectCase {
  const char* why;
  std::string bytes;
  TextEncoding expected;
};

class Detection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(Detection, FindsTheEncoding) {
  EXPECT_EQ(DetectEncoding(GetParam().bytes), GetParam().expected) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Detection,
    ::testing::Values(
        DetectCase{"empty file: nothing says UTF-8", "", TextEncoding::Cp1251},
        DetectCase{"plain ASCII is written back as cp1251", "P1 6012.5 3456.75\r\n",
                   TextEncoding::Cp1251},
        DetectCase{"valid UTF-8 with Cyrillic", "Пункт 1 2\r\n", TextEncoding::Utf8},
        DetectCase{"valid UTF-8 with a four-byte character", "P \xF0\x9F\x98\x80 1",
                   TextEncoding::Utf8},
        DetectCase{"BOM and ASCII", std::string(kUtf8Bom) + "1 2", TextEncoding::Utf8Bom},
        DetectCase{"BOM alone", std::string(kUtf8Bom), TextEncoding::Utf8Bom},
        DetectCase{"BOM followed by invalid UTF-8 keeps every byte as cp1251",
                   std::string(kUtf8Bom) + "\xFF", TextEncoding::Cp1251},
        DetectCase{"cp1251 Cyrillic is not UTF-8", "\xCF\xF3\xED\xEA\xF2", TextEncoding::Cp1251},
        DetectCase{"overlong slash", "\xC0\xAF", TextEncoding::Cp1251},
        DetectCase{"overlong three-byte form", "\xE0\x80\xAF", TextEncoding::Cp1251},
        DetectCase{"UTF-16 surrogate", "\xED\xA0\x80", TextEncoding::Cp1251},
        DetectCase{"above U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::Cp1251},
        DetectCase{"sequence cut at the end of the file", "Пунк\xD1", TextEncoding::Cp1251},
        DetectCase{"stray continuation byte", "1 \x80 2", TextEncoding::Cp1251},
        DetectCase{"NUL bytes are ASCII", std::string("1\0 2", 4), TextEncoding::Cp1251}));

// A whole line checked at once: two-byte characters are passed by a short
// cut, everything from any other non-ASCII byte on by the validator.
TEST(IsValidUtf8, TwoByteCharactersAndWhatFollowsThem) {
  const struct {
    const char* why;
    std::string_view text;
    bool valid;
  } cases[] = {
      {"degree signs in a line", "55\xC2\xB0" "45'20\" 37\xC2\xB0" "37'01\"  ", true},
      {"Cyrillic name", "Пункт 1", true},
      {"two-byte then three-byte", "\xC2\xB0\xE2\x82\xAC", true},
      {"two-byte then four-byte", "\xD0\xB0\xF0\x9F\x98\x80", true},
      {"lead byte cut at the end", "55\xC2", false},
      {"lead byte before ASCII", "55\xC2" "A", false},
      {"overlong two-byte form", "\xC1\xBF", false},
      {"surrogate after a two-byte character", "\xC2\xB0\xED\xA0\x80", false},
      {"stray continuation after a two-byte character", "\xC2\xB0\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.why;
}

// The ASCII run is found a word at a time, the last bytes by one word that
// may overlap the words before: a byte above 0x7F at any place of texts of
// every length around the word size ends the run there.
TEST(AsciiPrefix, EndsAtTheFirstHighByteWherever) {
  for (std::size_t size = 0; size <= 25; ++size) {
    const std::string ascii(size, 'a');
    EXPECT_EQ(AsciiPrefix(ascii), size) << size;
    for (std::size_t high = 0; high < size; ++high) {
      std::string text = ascii;
      text[high] = '\xB0';
      EXPECT_EQ(AsciiPrefix(text), high) << "size " << size << ", high byte at " << high;
    }
  }
}

TEST(Utf8Validator, SequencesSplitAtEveryPointAreValid) {
  // A file read in chunks may cut a sequence anywhere.
  const std::string text = "а° € \xF0\x9F\x98\x80 z";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    Utf8Validator validator;
    validator.feed(std::string_view(text).substr(0, cut));
    validator.feed(std::string_view(text).substr(cut));
    EXPECT_TRUE(validator.complete()) << "cut at " << cut;
    EXPECT_TRUE(validator.sawNonAscii());
  }
}

TEST(Utf8Validator, UnfinishedSequenceIsValidButNotComplete) {
  Utf8Validator validator;
  EXPECT_TRUE(validator.feed("\xD0"));
  EXPECT_TRUE(validator.valid());
  EXPECT_FALSE(validator.complete());
  EXPECT_FALSE(validator.feed("x"));  // not a continuation byte
  EXPECT_FALSE(validator.valid());
}

TEST(DecodeText, RemovesBomAndConvertsCp1251) {
  EXPECT_EQ(DecodeText(std::string(kUtf8Bom) + "Пункт").text, "Пункт");
  EXPECT_EQ(DecodeText("\xCF\xF3\xED\xEA\xF2").text, "Пункт");
  EXPECT_EQ(DecodeText("Пункт").text, "Пункт");
}

struct EncodeCase {
  const char* why;
  std::string text;
  TextEncoding wanted;
  std::string bytes;
  TextEncoding written;
  std::string missing;
};

class Encoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encoding, WritesWithoutLosingACharacter) {
  const EncodeCase& c = GetParam();
  const EncodedText encoded = EncodeText(c.text, c.wanted);
  EXPECT_EQ(encoded.bytes, c.bytes) << c.why;
  EXPECT_EQ(encoded.encoding, c.written) << c.why;
  EXPECT_EQ(encoded.missingCharacter, c.missing) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Encoding,
    ::testing::Values(
        EncodeCase{"Cyrillic and degree sign fit cp1251", "Пункт 55°", TextEncoding::Cp1251,
                   "\xCF\xF3\xED\xEA\xF2 55\xB0", TextEncoding::Cp1251, ""},
        EncodeCase{"euro sign is in cp1251 (0x88)", "€", TextEncoding::Cp1251, "\x88",
                   TextEncoding::Cp1251, ""},
        EncodeCase{"a check mark is not: the whole text goes out as UTF-8", "Пункт ✓",
                   TextEncoding::Cp1251, "Пункт ✓", TextEncoding::Utf8, "✓"},
        EncodeCase{"Latin-1 letter missing from cp1251", "Zürich", TextEncoding::Cp1251, "Zürich",
                   TextEncoding::Utf8, "ü"},
        EncodeCase{"a document read as UTF-8 stays UTF-8", "Пункт", TextEncoding::Utf8, "Пункт",
                   TextEncoding::Utf8, ""},
        EncodeCase{"a BOM document gets its BOM back", "Пункт", TextEncoding::Utf8Bom,
                   std::string(kUtf8Bom) + "Пункт", TextEncoding::Utf8Bom, ""},
        EncodeCase{"invalid UTF-8 is written byte for byte, never replaced", "a\xFF",
                   TextEncoding::Cp1251, "a\xFF", TextEncoding::Utf8, "\\xFF"},
        EncodeCase{"empty text", "", TextEncoding::Cp1251, "", TextEncoding::Cp1251, ""}));

TEST(Encoding, Utf8RoundTripByteForByte) {
  // Every character class: ASCII, Cyrillic, symbols, four-byte, C1 control.
  const std::string text = "P1;1 2\r\nПункт ✓ \xF0\x9F\x98\x80 \xC2\x98\t°\r\n";
  for (const TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf8Bom}) {
    const EncodedText encoded = EncodeText(text, e);
    const DecodedText decoded = DecodeText(encoded.bytes);
    EXPECT_EQ(decoded.text, text);
    EXPECT_EQ(decoded.encoding, e);
  }
}

TEST(Encoding, Names) {
  EXPECT_EQ(EncodingName(TextEncoding::Cp1251), "Windows-1251");
  EXPECT_EQ(EncodingName(TextEncoding::Utf8), "UTF-8");
  EXPECT_EQ(EncodingName(TextEncoding::Utf8Bom), "UTF-8 с BOM");
}

}  // namespace
}  // namespace korvagrid
