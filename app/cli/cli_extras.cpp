#include "cli_extras.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "common/error.h"

namespace korvagrid::cli {
namespace {

constexpr const char* kModuleFile = "korvagrid-cli-extras.so";

// The module beside the executable (the build tree and an installation keep
// them together); KORVAGRID_CLI_EXTRAS names another one.
std::filesystem::path ModulePath() {
  if (const char* chosen = std::getenv("KORVAGRID_CLI_EXTRAS"); chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  std::error_code ignored;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ignored);
  return executable.parent_path() / kModuleFile;
}

CliExtras& Load() {
  const std::filesystem::path path = ModulePath();
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = ::dlerror();
    throw KorvagridError("cannot load " + path.string() + ": " + (reason != nullptr ? reason : "unknown reason"));
  }
  using Entry = CliExtras* (*)();
  auto* entry = reinterpret_cast<Entry>(::dlsym(module, kCliExtrasEntry));
  if (entry == nullptr) throw KorvagridError(path.string() + " has no " + kCliExtrasEntry);
  return *entry();
}

}  // namespace

CliExtras& Extras() {
  static CliExtras& extras = Load();
  return extras;
}

}  // namespace korvagrid::cli
