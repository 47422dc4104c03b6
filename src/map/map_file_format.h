#pragma once
// The picture files a map is written to, chosen by the file name's extension,
// and the limits of their size.
#include <filesystem>
#include <optional>

namespace korvagrid::map {

enum class MapFileFormat { Png, Svg, Pdf };

// The format of a file name's extension (".png", ".svg", ".pdf", any case).
std::optional<MapFileFormat> MapFileFormatOf(const std::filesystem::path& path);

// The limits of a picture's width and height, pixels.
inline constexpr int kMinMapPixels = 16;
inline constexpr int kMaxMapPixels = 10000;

}  // namespace korvagrid::map
