// korvagrid-cli: the conversion and the tasks of Korvagrid from the command line.
#include <CLI/CLI.hpp>
#include <string>

#include "convert_command.h"
#include "map_command.h"
#include "options.h"
#include "task_commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Korvagrid: geodetic point lists between coordinate systems", "korvagrid-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("korvagrid-cli ") + KORVAGRID_VERSION);
  int exitCode = korvagrid::cli::kExitCompleted;
  korvagrid::cli::AddConvertCommands(app, exitCode);
  korvagrid::cli::AddTaskCommands(app, exitCode);
  korvagrid::cli::AddMapCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : korvagrid::cli::kExitUsage;
  }
  return exitCode;
}
