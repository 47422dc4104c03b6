#include "conversion/result_line.h"

#include <algorithm>
#include <array>

#include "formats/angles.h"
#include "geodesy/constants.h"
#include "formats/number_format.h"

namespace korvagrid {
namespace {

constexpr char kTab = '\t';
constexpr std::string_view kLineEnd = "\r\n";

// The masks of the result columns.
constexpr NumberMask kPlaneX("0.##0");
constexpr NumberMask kPlaneYOrHeight("0.##0 ");
constexpr NumberMask kDecimalDegrees("00.######0");
constexpr NumberMask kPackedDegrees("00.0000####0");

// Height column and extra empty lines, common to both records.
void AppendHeightAndExtraLines(std::string& out, double h, const ResultStyle& style) {
  if (style.withHeight) {
    out += kTab;
    FormatTo(out, h, kPlaneYOrHeight, style.decimalSeparator);
  }
  for (std::int32_t i = 0; i < style.extraLines; ++i) out += kLineEnd;
}

void AppendName(std::string& out, std::string_view name, const ResultStyle& style) {
  if (!style.nameOut) return;
  out += name;
  out += kTab;
}

// A result line of common numbers is put together in a local buffer and
// appended at once: every append to the result text is a library copy, and a
// line appended piece by piece pays for five of them. A piece that is not
// common (a long name, many extra lines, a number or angle that needs the
// exact decimal route) makes the writer give up; the line is then appended
// piece by piece, and any failure is that route's.
class LineBuffer {
 public:
  static constexpr std::size_t kNameRoom = 64;
  static constexpr std::int32_t kExtraLinesRoom = 8;

  // The name and TAB of the named layout; false when the name is too long.
  bool name(std::string_view name, const ResultStyle& style) {
    if (!style.nameOut) return true;
    if (name.size() > kNameRoom) return false;
    end_ = std::copy(name.begin(), name.end(), end_);
    *end_++ = kTab;
    return true;
  }
  bool tab() {
    *end_++ = kTab;
    return true;
  }
  bool number(double value, const NumberMask& mask, char decimalSeparator) {
    return advance(FormatInto(end_, value, mask, decimalSeparator));
  }
  // Latitude and longitude in the style's notation.
  bool angle(double packed, const ResultStyle& style) {
    const char separator = style.decimalSeparator;
    switch (style.angles) {
      case OutputAngles::Decimal:
        return number(PackedToDegrees(packed), kDecimalDegrees, separator);
      case OutputAngles::Packed:
        return number(packed, kPackedDegrees, separator);
      case OutputAngles::Dms:
        return advance(WriteCommonDms(end_, packed, separator));
      case OutputAngles::Waypoints:  // written by the waypoint lines instead
        break;
    }
    return false;
  }
  // The height column and the extra empty lines.
  bool heightAndExtraLines(double h, const ResultStyle& style) {
    if (style.extraLines > kExtraLinesRoom) return false;
    if (style.withHeight) {
      if (!tab() || !number(h, kPlaneYOrHeight, style.decimalSeparator)) return false;
    }
    for (std::int32_t i = 0; i < style.extraLines; ++i) {
      end_ = std::copy(kLineEnd.begin(), kLineEnd.end(), end_);
    }
    return true;
  }
  void appendTo(std::string& out) const {
    out.append(chars_.data(), static_cast<std::size_t>(end_ - chars_.data()));
  }

 private:
  // Moves the end past what a writer wrote; false (the end kept) when it
  // wrote nothing.
  bool advance(char* end) {
    if (end == nullptr) return false;
    end_ = end;
    return true;
  }

  // Name and TAB, three numbers (or two angles and a number) with TABs, the extra lines.
  std::array<char, kNameRoom + 1 + 3 * (kFormatIntoRoom + 1) + kExtraLinesRoom * kLineEnd.size()> chars_;
  char* end_ = chars_.data();
};

}  // namespace

std::string PlaneResult(std::string_view name, double x, double y, double h,
                        const CoordinateSystem& target, const ResultStyle& style) {
  std::string out;
  out.reserve(64);
  AppendPlaneResult(out, name, x, y, h, target, style);
  return out;
}

void AppendPlaneResult(std::string& out, std::string_view name, double x, double y, double h,
                       const CoordinateSystem& target, const ResultStyle& style) {
  if (style.shortX) x = x - 6000000;
  x = x - target.xOffset;
  y = y + static_cast<double>(target.zone) * kMetresPerZonePrefix;
  const char separator = style.decimalSeparator;
  LineBuffer line;
  if (line.name(name, style) && line.number(x, kPlaneX, separator) && line.tab() &&
      line.number(y, kPlaneYOrHeight, separator) && line.heightAndExtraLines(h, style)) {
    line.appendTo(out);
    return;
  }
  AppendName(out, name, style);
  FormatTo(out, x, kPlaneX, style.decimalSeparator);
  out += kTab;
  FormatTo(out, y, kPlaneYOrHeight, style.decimalSeparator);
  AppendHeightAndExtraLines(out, h, style);
}

std::string GeographicResult(std::string_view name, double b, double l, double h,
                             const ResultStyle& style) {
  std::string out;
  out.reserve(64);
  AppendGeographicResult(out, name, b, l, h, style);
  return out;
}

void AppendGeographicResult(std::string& out, std::string_view name, double b, double l, double h,
                            const ResultStyle& style) {
  if (style.angles != OutputAngles::Waypoints) {
    LineBuffer line;
    if (line.name(name, style) && line.angle(b, style) && line.tab() && line.angle(l, style) &&
        line.heightAndExtraLines(h, style)) {
      line.appendTo(out);
      return;
    }
  }
  const char separator = style.decimalSeparator;
  AppendName(out, name, style);
  switch (style.angles) {
    case OutputAngles::Decimal:
      FormatTo(out, PackedToDegrees(b), kDecimalDegrees, separator);
      out += kTab;
      FormatTo(out, PackedToDegrees(l), kDecimalDegrees, separator);
      break;
    case OutputAngles::Packed:
      FormatTo(out, b, kPackedDegrees, separator);
      out += kTab;
      FormatTo(out, l, kPackedDegrees, separator);
      break;
    case OutputAngles::Dms:
      PackedToDmsTo(out, b, separator);
      out += kTab;
      PackedToDmsTo(out, l, separator);
      break;
    case OutputAngles::Waypoints:  // written by the waypoint lines instead
      break;
  }
  AppendHeightAndExtraLines(out, h, style);
}

}  // namespace korvagrid
