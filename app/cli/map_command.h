#pragma once
#include <CLI/CLI.hpp>

namespace korvagrid::cli {

// Registers "map" (the points of a list on the sheet grid, drawn to a PNG,
// SVG or PDF file without any window) on the application; `exitCode`
// receives the status of the command that ran.
void AddMapCommand(CLI::App& app, int& exitCode);

}  // namespace korvagrid::cli
