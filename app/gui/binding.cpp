#include "binding.h"

#include <cmath>

namespace korvagrid::gui {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToStdString(const QString& text) { return text.toStdString(); }

QString ToWidgetText(std::string_view modelText) {
  // The text is copied run by run between line ends: a CR that starts a
  // line end is dropped, a lone CR stays as it is.
  std::string plain;
  plain.reserve(modelText.size());
  std::size_t from = 0;
  for (std::size_t cr = modelText.find("\r\n"); cr != std::string_view::npos;
       cr = modelText.find("\r\n", from)) {
    plain.append(modelText.substr(from, cr - from));
    from = cr + 1;  // the LF stays
  }
  plain.append(modelText.substr(from));
  return ToQString(plain);
}

std::string ToModelText(const QString& widgetText) {
  const QByteArray utf8 = widgetText.toUtf8();
  const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  std::string model;
  model.reserve(text.size() + static_cast<std::size_t>(utf8.count('\n')));
  std::size_t from = 0;
  for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', from)) {
    model.append(text.substr(from, lf - from));
    model.append("\r\n");
    from = lf + 1;
  }
  model.append(text.substr(from));
  return model;
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
