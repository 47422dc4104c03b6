#pragma once
// Conversions at the border between the window model and the widgets: the
// model's texts are UTF-8 with CR LF line ends, the widgets' are QStrings
// with "\n"; the model measures in twips, the widgets in pixels.
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "ui/layout.h"

namespace korvagrid::gui {

QString ToQString(std::string_view utf8);
std::string ToStdString(const QString& text);

// A model text (CR LF) as a multi-line box shows it ("\n"), and back.
QString ToWidgetText(std::string_view modelText);
std::string ToModelText(const QString& widgetText);

// 1440 twips per inch at a resolution in dots per inch.
int TwipsToPixels(double twips, double dpi);
// The same, rounded up: pixels that stand for at least `twips`.
int TwipsToPixelsRoundedUp(double twips, double dpi);
double PixelsToTwips(int pixels, double dpi);
QRect ToPixels(const TwipsRect& rect, double dpiX, double dpiY);

}  // namespace korvagrid::gui
