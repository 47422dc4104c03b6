#include "binding.h"

#include <cmath>

namespace korvagrid::gui {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToStdString(const QString& text) { return text.toStdString(); }

QString ToWidgetText(std::string_view modelText) {
  std::string plain;
  plain.reserve(modelText.size());
  for (std::size_t i = 0; i < modelText.size(); ++i) {
    // A CR that starts a line end is dropped; a lone CR stays as it is.
    if (modelText[i] == '\r' && i + 1 < modelText.size() && modelText[i + 1] == '\n') continue;
    plain.push_back(modelText[i]);
  }
  return ToQString(plain);
}

std::string ToModelText(const QString& widgetText) {
  const QByteArray utf8 = widgetText.toUtf8();
  std::string text;
  text.reserve(static_cast<std::size_t>(utf8.size()) + static_cast<std::size_t>(utf8.count('\n')));
  for (const char c : utf8) {
    if (c == '\n') text.push_back('\r');
    text.push_back(c);
  }
  return text;
}

int TwipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

int TwipsToPixelsRoundedUp(double twips, double dpi) {
  return static_cast<int>(std::ceil(twips * dpi / kTwipsPerInch));
}

double PixelsToTwips(int pixels, double dpi) { return pixels * kTwipsPerInch / dpi; }

QRect ToPixels(const TwipsRect& rect, double dpiX, double dpiY) {
  // Both edges are converted, so that neighbouring controls meet without gaps.
  const int left = TwipsToPixels(rect.left, dpiX);
  const int top = TwipsToPixels(rect.top, dpiY);
  const int right = TwipsToPixels(rect.left + rect.width, dpiX);
  const int bottom = TwipsToPixels(rect.top + rect.height, dpiY);
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace korvagrid::gui
