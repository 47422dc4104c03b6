#include "map/map_file_format.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace korvagrid::map {

std::optional<MapFileFormat> MapFileFormatOf(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".png") return MapFileFormat::Png;
  if (extension == ".svg") return MapFileFormat::Svg;
  if (extension == ".pdf") return MapFileFormat::Pdf;
  return std::nullopt;
}

}  // namespace korvagrid::map
