#include "exchange/input_list.h"

#include <array>
#include <charconv>

#include "exchange/decimal_text.h"

namespace korvagrid {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// UTF-8 forms of the characters a text box changes: no-break space (into a
// space), next line, line separator and paragraph separator (into line ends).
constexpr std::array<std::string_view, 4> kChangedCharacters = {"\xC2\xA0", "\xC2\x85", "\xE2\x80\xA8",
                                                                "\xE2\x80\xA9"};

bool IsCutByReader(unsigned char c) {
  return c == ' ' || c == ';' || c == '%' || c < 0x20 || c == 0x7F;
}

void AppendEscaped(std::string& out, unsigned char c) {
  out += '%';
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 0x0F];
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// X written short by `shortBy`, as the run reads it back: it adds `shortBy`
// to the number it reads. The difference is written with as many decimals as
// the full X has when that reads back to the same X ("6212345.678" short by
// 6 200 000 is "12345.678", not the exact binary difference
// "12345.678000000305"); otherwise with all its digits.
void AppendShortened(std::string& out, double x, double shortBy) {
  const double difference = x - shortBy;
  if (shortBy == 0) {
    AppendDecimal(out, difference);
    return;
  }
  const std::string full = DecimalText(x);
  const std::size_t point = full.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(full.size() - point - 1);
  std::array<char, 400> buffer;
  const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), difference,
                                     std::chars_format::fixed, decimals);
  double candidate = 0;
  const auto read = std::from_chars(buffer.data(), written.ptr, candidate);
  if (written.ec == std::errc() && read.ec == std::errc() && candidate + shortBy == x) {
    out.append(buffer.data(), written.ptr);
  } else {
    AppendDecimal(out, difference);
  }
}

}  // namespace

std::string EncodeListName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  std::size_t i = 0;
  while (i < name.size()) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (IsCutByReader(c)) {
      AppendEscaped(out, c);
      ++i;
      continue;
    }
    bool escaped = false;
    for (const std::string_view changed : kChangedCharacters) {
      if (name.substr(i).starts_with(changed)) {
        for (const char byte : changed) AppendEscaped(out, static_cast<unsigned char>(byte));
        i += changed.size();
        escaped = true;
        break;
      }
    }
    if (!escaped) out += name[i++];
  }
  return out;
}

std::string DecodeListName(std::string_view listName) {
  std::string out;
  out.reserve(listName.size());
  for (std::size_t i = 0; i < listName.size(); ++i) {
    if (listName[i] == '%' && i + 2 < listName.size()) {
      const int high = HexValue(listName[i + 1]);
      const int low = HexValue(listName[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += listName[i];
  }
  return out;
}

InputList MakeInputList(std::span<const ExchangePoint> points, bool geographic, double xShortBy) {
  InputList list;
  list.text.reserve(points.size() * 48);
  for (const ExchangePoint& point : points) {
    if (point.name.empty()) {
      char digits[24];
      const auto result = std::to_chars(digits, digits + sizeof digits, point.line);
      list.text.append(digits, result.ptr);
    } else {
      list.text += EncodeListName(point.name);
    }
    list.text += ' ';
    if (geographic) {
      AppendDecimal(list.text, point.first);
    } else {
      AppendShortened(list.text, point.first, xShortBy);
    }
    list.text += ' ';
    AppendDecimal(list.text, point.second);
    if (point.height) {
      list.text += ' ';
      AppendDecimal(list.text, *point.height);
    }
    list.text += "\r\n";
  }
  return list;
}

}  // namespace korvagrid
