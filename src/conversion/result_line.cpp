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

// A result line is put together in a local buffer and appended at once:
// every append to the result text is a library copy, and a line appended
// piece by piece paid for five of them. A piece that has no room left, or a
// number or angle that needs the exact decimal route, first sends what the
// buffer holds to the text and is then appended itself; its failures are
// that route's.
class LineWriter {
 public:
  explicit LineWriter(std::string& out) : out_(out) {}
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Appends what the buffer still holds; a line that failed half-way is
  // dropped by its caller, so nothing is appended on the way out of one.
  void finish() { flush(); }

  // The name and TAB of the named layout.
  void name(std::string_view name, const ResultStyle& style) {
    if (!style.nameOut) return;
    if (room(name.size())) {
      end_ = std::copy(name.begin(), name.end(), end_);
    } else {
      flush();
      out_ += name;
    }
    tab();
  }
  void tab() { text(std::string_view(&kTab, 1)); }
  template <const NumberMask& Mask>
  void number(double value, char decimalSeparator) {
    if (room(kFormatIntoRoom)) {
      if (char* end = FormatInto<Mask>(end_, value, decimalSeparator)) {
        end_ = end;
        return;
      }
    }
    flush();
    FormatTo(out_, value, Mask, decimalSeparator);
  }
  // Latitude or longitude in the style's notation.
  void angle(double packed, const ResultStyle& style) {
    const char separator = style.decimalSeparator;
    switch (style.angles) {
      case OutputAngles::Decimal:
        number<kDecimalDegrees>(PackedToDegrees(packed), separator);
        break;
      case OutputAngles::Packed:
        number<kPackedDegrees>(packed, separator);
        break;
      case OutputAngles::Dms:
        if (room(kCommonDmsRoom)) {
          if (char* end = WriteCommonDms(end_, packed, separator)) {
            end_ = end;
            return;
          }
        }
        flush();
        PackedToDmsTo(out_, packed, separator);
        break;
      case OutputAngles::Waypoints:  // written by the waypoint lines instead
        break;
    }
  }
  // The height column and the extra empty lines, common to both records.
  void heightAndExtraLines(double h, const ResultStyle& style) {
    if (style.withHeight) {
      tab();
      number<kPlaneYOrHeight>(h, style.decimalSeparator);
    }
    for (std::int32_t i = 0; i < style.extraLines; ++i) text(kLineEnd);
  }

 private:
  // A TAB or a line end: room for it once the buffer is sent.
  void text(std::string_view piece) {
    if (!room(piece.size())) flush();
    end_ = std::copy(piece.begin(), piece.end(), end_);
  }
  bool room(std::size_t size) const {
    return size <= static_cast<std::size_t>(chars_.data() + chars_.size() - end_);
  }
  void flush() {
    out_.append(chars_.data(), static_cast<std::size_t>(end_ - chars_.data()));
    end_ = chars_.data();
  }

  std::string& out_;
  // A name of up to 64 characters and three numbers with their TABs.
  std::array<char, 64 + 1 + 3 * (kFormatIntoRoom + 1)> chars_;  // only the written part is read
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
  LineWriter line(out);
  line.name(name, style);
  line.number<kPlaneX>(x, style.decimalSeparator);
  line.tab();
  line.number<kPlaneYOrHeight>(y, style.decimalSeparator);
  line.heightAndExtraLines(h, style);
  line.finish();
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
  LineWriter line(out);
  line.name(name, style);
  line.angle(b, style);
  if (style.angles != OutputAngles::Waypoints) line.tab();
  line.angle(l, style);
  line.heightAndExtraLines(h, style);
  line.finish();
}

}  // namespace korvagrid
