#include "ui/frmhelp.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "documents/text_encoding.h"
#include "documents/text_file.h"

namespace korvagrid {
namespace {

// A path file is one line; anything much larger is not one.
constexpr std::size_t kMaxPathFileBytes = 64 * 1024;

}  // namespace

std::string LastLineOf(std::string_view text) {
  std::string_view last;
  std::size_t start = 0;
  bool anyLine = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      last = text.substr(start, i - start);
      anyLine = true;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    ++i;
  }
  // A last line without a line break is a line too.
  if (start < text.size()) {
    last = text.substr(start);
    anyLine = true;
  }
  return anyLine ? std::string(last) : std::string{};
}

FrmHelpModel::FrmHelpModel(std::filesystem::path currentDirectory)
    : currentDirectory_(std::move(currentDirectory)) {}

std::filesystem::path FrmHelpModel::pathFileName() const {
  return currentDirectory_ / kHelpPathFileName;
}

void FrmHelpModel::writePathFile() {
  std::string line = helpPath;
  line.append("\r\n");
  pathFileWritten_ = WriteFileAtomically(pathFileName(), line).ok;
}

void FrmHelpModel::load() {
  helpPath.clear();
  if (const std::optional<std::string> bytes = ReadSmallFile(pathFileName(), kMaxPathFileBytes)) {
    helpPath = LastLineOf(DecodeText(*bytes).text);
  }
  if (helpPath.empty()) {
    helpPath = currentDirectory_.string() + std::string(kDefaultHelpSuffix);
    writePathFile();
  }
  title = std::string(kHelpTitlePrefix) + helpPath;
  browseToolTip = std::string(kHelpToolTipPrefix) + helpPath;
  navigationTarget = helpPath + "#" + flHelp;
}

void FrmHelpModel::browseClick(Platform& platform) {
  FileDialogOptions options;
  options.title = kBrowseTitle;
  options.filter = kBrowseFilter;
  const std::optional<ChosenFile> chosen = platform.chooseOpenFile(options);
  if (!chosen) return;
  helpPath = chosen->path;
  writePathFile();
  // Shown even when the path file could not be written: the user chose it.
  navigationTarget = helpPath + "#" + flHelp;
}

std::filesystem::path FrmHelpModel::documentFile() const {
  std::string name = helpPath;
  std::replace(name.begin(), name.end(), '\\', '/');
  // File names on the help's home platform lose their trailing points and
  // spaces ("Spravka.htm." is "Spravka.htm"); "." and ".." keep theirs.
  const std::size_t slash = name.find_last_of('/');
  const std::string_view last =
      std::string_view(name).substr(slash == std::string::npos ? 0 : slash + 1);
  if (last.find_first_not_of(". ") != std::string_view::npos) {
    const std::size_t keep = name.find_last_not_of(". ");
    name.resize(keep + 1);
  }
  std::filesystem::path file(name);
  if (file.is_relative()) file = currentDirectory_ / file;
  return file.lexically_normal();
}

}  // namespace korvagrid
