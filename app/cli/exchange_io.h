#pragma once
// Point files on the command line: which format the input and the output
// are (--in-format, --out-format, else the file name's extension, else text),
// the options that shape only text and so make no sense with a point file,
// and a point file read as the input list of the run.
//
//   --in-format  text|wpt|gpx|kml|geojson|csv|gpkg|shp|dxf   default: the input's extension
//   --out-format text|wpt|gpx|kml|geojson|csv|gpkg|shp|dxf   default: the -o extension
//
// An extension that names no point format (".txt", ".wpt", none) is text,
// written as the options say, as before these options existed; --out-format
// wpt asks for OziExplorer waypoint lines (as --out-angles ozi does).
// Waypoint files are not read.
#include <CLI/CLI.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/settings.h"
#include "documents/point_files.h"
#include "documents/exchange_format.h"

namespace korvagrid::cli {

// The names --in-format and --out-format take.
std::vector<std::string> FormatNames();

// The format of the input or the output: the option's where given, else
// that of the extension of `path` when it names a point format, else text
// ("-" and "" are text).
ExchangeFormat FileFormat(std::string_view option, std::string_view path);

// Options that shape the input text and the output text. A point file takes
// none of them: given with one, they are a usage error.
inline constexpr const char* kTextInputOptions[] = {"--in-layout", "--in-angles", "--in-plane"};
inline constexpr const char* kTextOutputOptions[] = {"--out-layout",    "--out-angles",    "--out-plane",
                                                     "--extra-lines",   "--encoding",      "--eol",
                                                     "--ozi-placement", "--ozi-font-size", "--ozi-colour"};

// Whether the option `name` of `command` was given on the command line.
bool Given(const CLI::App& command, const char* name);

// The first of `names` given on the command line of `command` (options it
// does not have are skipped); empty when none was.
std::string FirstGiven(const CLI::App& command, std::span<const char* const> names);

enum class Side { Input, Output };

// Why a point file cannot be the input or the output of `command` as its
// options stand (standard input or output, an option that shapes text);
// empty when it can.
std::string PointFileRefusal(const CLI::App& command, Side side, ExchangeFormat format, std::string_view path);

// Reads the point file `path` as the input list of `settings.source` into
// `text` and sets `settings` to read it: the named layout, decimal degrees
// for latitude/longitude, X and Y in the standard style. Features that gave
// no point are warnings on standard error. Returns the exit status when the
// command must end: a usage error when the file cannot be read or holds
// another system's coordinates (both named), a failure when it holds no
// point; std::nullopt when the list was read.
std::optional<int> ReadPointInput(std::string_view command, const std::string& path, ExchangeFormat format,
                                  ConversionSettings& settings, std::string& text);

// The display name of a format in messages: "GPX", "GeoPackage", ...
std::string FormatTitle(ExchangeFormat format);

}  // namespace korvagrid::cli
