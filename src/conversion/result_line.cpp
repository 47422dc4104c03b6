#include "conversion/result_line.h"

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
  AppendName(out, name, style);
  if (style.shortX) x = x - 6000000;
  x = x - target.xOffset;
  y = y + static_cast<double>(target.zone) * kMetresPerZonePrefix;
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
  AppendName(out, name, style);
  const char separator = style.decimalSeparator;
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
