#pragma once
// Running peer programs (gpsbabel, ogrinfo, cct) from tests: whether one is
// installed, and what a shell command writes to standard output.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvagrid::testing {

inline bool ProgramInstalled(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of `command` run by the shell; empty when it could not start.
inline std::string CaptureOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

}  // namespace korvagrid::testing
