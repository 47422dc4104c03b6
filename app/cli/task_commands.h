#pragma once
#include <CLI/CLI.hpp>

namespace korvagrid::cli {

// Registers "ogz" (the inverse geodetic problem) and "sheets" (the map sheets
// of each point) on the application; `exitCode` receives the status of the
// command that ran.
void AddTaskCommands(CLI::App& app, int& exitCode);

}  // namespace korvagrid::cli
