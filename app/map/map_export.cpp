#include "map_export.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/error.h"
#include "documents/text_file.h"
#include "map/map_grid.h"
#include "map_renderer.h"

namespace korvagrid::map {
namespace {

// The PDF page is the picture, one point per pixel.
constexpr int kPdfDotsPerInch = 72;
// The SVG's width and height are written in millimetres; at the 96 dots per
// inch of CSS a browser shows the picture at its size in pixels.
constexpr int kSvgDotsPerInch = 96;

QByteArray EncodePng(const MapRenderer& renderer, const MapView& view) {
  QImage image;
  renderer.renderImage(image, view);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw KorvagridError("PNG не записан");
  return bytes;
}

QByteArray EncodeSvg(const MapRenderer& renderer, const MapView& view) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setResolution(kSvgDotsPerInch);
  generator.setSize(QSize(view.width(), view.height()));
  generator.setViewBox(QRect(0, 0, view.width(), view.height()));
  generator.setTitle(QStringLiteral("Korvagrid"));
  generator.setDescription(QStringLiteral("Точки на сетке листов карты"));
  QPainter painter;
  if (!painter.begin(&generator)) throw KorvagridError("SVG не записан");
  renderer.render(painter, view);
  painter.end();
  return bytes;
}

QByteArray EncodePdf(const MapRenderer& renderer, const MapView& view) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setCreator(QStringLiteral("Korvagrid"));
  writer.setResolution(kPdfDotsPerInch);
  writer.setPageSize(QPageSize(QSizeF(view.width(), view.height()), QPageSize::Point, QString(),
                               QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&writer)) throw KorvagridError("PDF не записан");
  // The page may come out a device unit off the picture's size.
  painter.scale(static_cast<double>(writer.width()) / view.width(),
                static_cast<double>(writer.height()) / view.height());
  renderer.render(painter, view);
  painter.end();
  return bytes;
}

}  // namespace

QByteArray EncodeMap(const MapRenderer& renderer, const MapView& view, MapFileFormat format) {
  switch (format) {
    case MapFileFormat::Png:
      return EncodePng(renderer, view);
    case MapFileFormat::Svg:
      return EncodeSvg(renderer, view);
    case MapFileFormat::Pdf:
      return EncodePdf(renderer, view);
  }
  return {};
}

void ExportMap(const MapRenderer& renderer, const MapView& view,
               const std::filesystem::path& path) {
  const std::optional<MapFileFormat> format = MapFileFormatOf(path);
  if (!format) {
    throw KorvagridError(path.string() + ": карта пишется только в .png, .svg или .pdf");
  }
  const QByteArray bytes = EncodeMap(renderer, view, *format);
  const WriteResult written = WriteFileAtomically(
      path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (!written.ok) throw KorvagridError(path.string() + ": " + written.problem);
}

void RenderMapFile(std::span<const MapPoint> points, std::int16_t scaleCode, int width, int height,
                   const std::filesystem::path& path) {
  const std::optional<SheetLevel> finest = SheetLevelOfScaleCode(scaleCode);
  if (!finest) {
    throw KorvagridError("масштаб листов " + std::to_string(scaleCode) + ": бывает 200 или 100");
  }
  if (width < kMinMapPixels || width > kMaxMapPixels || height < kMinMapPixels ||
      height > kMaxMapPixels) {
    throw KorvagridError("размер карты " + std::to_string(width) + "×" + std::to_string(height) +
                         ": каждая сторона от " + std::to_string(kMinMapPixels) + " до " +
                         std::to_string(kMaxMapPixels) + " пикселей");
  }
  if (!MapFileFormatOf(path)) {
    throw KorvagridError(path.string() + ": карта пишется только в .png, .svg или .pdf");
  }
  const GuiApplicationScope application;
  MapRenderer renderer;
  renderer.setPoints(std::vector<MapPoint>(points.begin(), points.end()));
  renderer.setFinestSheets(*finest);
  MapView view;
  view.resize(width, height);
  view.fitTo(points, kFitMarginPixels);
  ExportMap(renderer, view, path);
}

GuiApplicationScope::GuiApplicationScope() {
  if (QCoreApplication::instance() != nullptr) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
      throw KorvagridError("для рисования карты нужно графическое приложение Qt");
    }
    return;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // QGuiApplication keeps references to its argument count and vector.
  static int argc = 1;
  static char name[] = "korvagrid";
  static char* argv[] = {name, nullptr};
  owned_ = std::make_unique<QGuiApplication>(argc, argv);
}

GuiApplicationScope::~GuiApplicationScope() = default;

}  // namespace korvagrid::map
