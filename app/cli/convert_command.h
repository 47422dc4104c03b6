#pragma once
#include <CLI/CLI.hpp>

namespace korvagrid::cli {

// Registers "convert" and "systems" on the application; `exitCode` receives
// the status of the command that ran.
void AddConvertCommands(CLI::App& app, int& exitCode);

}  // namespace korvagrid::cli
