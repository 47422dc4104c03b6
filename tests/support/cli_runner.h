#pragma once
// Running korvagrid-cli as a process in tests: arguments as shell words, a
// text on standard input, and the exit status, standard output and standard
// error read back. Each test gets a fresh temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvagrid::testing {

inline const std::filesystem::path kCliPath =
    std::filesystem::path(KORVAGRID_BINARY_DIR) / "app" / "cli" / "korvagrid-cli";
inline const std::filesystem::path kExamplesPath = std::filesystem::path(KORVAGRID_SOURCE_DIR) / "examples";

class CliRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCliPath)) GTEST_SKIP() << "korvagrid-cli is not built";
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("korvagrid-cli-" + std::string(test->name()) + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };

  // Runs the CLI with `arguments` (shell words) and `input` on standard input.
  Result Run(const std::string& arguments, const std::string& input = "") {
    Write(dir_ / "stdin", input);
    const std::string command = "'" + kCliPath.string() + "' " + arguments + " < '" +
                                (dir_ / "stdin").string() + "' > '" + (dir_ / "stdout").string() +
                                "' 2> '" + (dir_ / "stderr").string() + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(dir_ / "stdout"), Read(dir_ / "stderr")};
  }

  static void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path dir_;
};

}  // namespace korvagrid::testing
