#include "documents/document_commands.h"

#include <filesystem>
#include <functional>

namespace korvagrid {

FileDialogOptions OpenDialogOptions(std::string_view pointFormats) {
  FileDialogOptions options;
  options.filter = WithEntriesBeforeLast(kOpenFilter, pointFormats);
  options.defaultExt = kOpenDefaultExt;
  options.flags = kFileMustExist;
  return options;
}

FileDialogOptions SaveAsDialogOptions(std::string_view documentName) {
  FileDialogOptions options;
  options.filter = kSaveAsFilter;
  options.flags = kOverwritePrompt;
  options.proposedName = documentName;
  return options;
}

FileDialogOptions ResultsDialogOptions(std::string_view pointFormats) {
  FileDialogOptions options;
  options.filter = WithEntriesBeforeLast(kResultsFilter, pointFormats);
  options.flags = kOverwritePrompt;
  return options;
}

FileDialogOptions WaypointDialogOptions(std::string_view proposal, std::string_view pointFormats) {
  FileDialogOptions options;
  options.filter = WithEntriesBeforeLast(kWaypointFilter, pointFormats);
  options.flags = kOverwritePrompt;
  options.proposedName = proposal;
  return options;
}

std::string WithEntriesBeforeLast(std::string_view filter, std::string_view entries) {
  if (entries.empty()) return std::string(filter);
  // The last entry is the text after the second "|" from the end.
  const std::size_t patternBar = filter.rfind('|');
  const std::size_t descriptionBar =
      patternBar == std::string_view::npos || patternBar == 0 ? std::string_view::npos
                                                               : filter.rfind('|', patternBar - 1);
  const std::size_t at = descriptionBar == std::string_view::npos ? 0 : descriptionBar + 1;
  std::string out(filter.substr(0, at));
  out.append(entries).append("|").append(filter.substr(at));
  return out;
}

std::string TextDocumentName(std::string_view pointFileName) {
  return std::filesystem::path(pointFileName).replace_extension(".txt").string();
}

std::string ProposeDocumentName(std::string_view text) {
  // Positions are 1-based with 0 for "not found", as the rule counts them.
  const std::size_t space = text.find(' ');
  const std::size_t semicolon = text.find(';');
  std::size_t a = space == std::string_view::npos ? 0 : space + 1;
  const std::size_t b = semicolon == std::string_view::npos ? 0 : semicolon + 1;
  if (b > 0 && b < a) a = b;
  if (a <= 1) return {};
  // Both cut characters are ASCII, so the cut never splits a UTF-8 sequence.
  return std::string(text.substr(0, a - 1)) + ".txt";
}

namespace {

// Characters (not bytes) of a UTF-8 text.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

std::string ProposeWaypointName(std::string_view documentName) {
  std::size_t dot = documentName.find('.');
  if (dot != std::string_view::npos && CharacterCount(documentName.substr(dot + 1)) > 4) {
    dot = documentName.find('.', dot + 1);
  }
  if (dot == std::string_view::npos) return std::string(documentName);
  return std::string(documentName.substr(0, dot));
}

std::string WithFilterExtension(std::string_view path, std::string_view filterPattern) {
  // Only a single pattern "*.ext" names one extension to give.
  if (!filterPattern.starts_with("*.")) return std::string(path);
  const std::string_view extension = filterPattern.substr(1);  // ".ext"
  if (extension.size() < 2 || extension.find_first_of("*?;. ", 1) != std::string_view::npos) {
    return std::string(path);
  }
  const std::string name = std::filesystem::path(path).filename().string();
  // Any dot counts as the start of an extension, as in the file dialogs
  // (".points" is kept as typed).
  if (name.empty() || name.find('.') != std::string::npos) return std::string(path);
  return std::string(path) + std::string(extension);
}

TextFingerprint FingerprintOf(std::string_view text) {
  return {text.size(), std::hash<std::string_view>{}(text)};
}

KeyVerdict CounterKeyFilter(std::string_view counterText, char32_t key) {
  KeyVerdict verdict;
  if (key == 8) {  // Backspace
    verdict.accepted = true;
    return verdict;
  }
  verdict.accepted = true;
  if (key < U'0' || key > U'9') {
    verdict.accepted = false;
    ++verdict.beeps;
  }
  if (counterText.size() > 1) {
    verdict.accepted = false;
    ++verdict.beeps;
  }
  return verdict;
}

std::string CannotReadMessage(std::string_view path, std::string_view problem) {
  return "Не удалось открыть файл " + std::string(path) + ": " + std::string(problem) + ".";
}

std::string ReadStoppedMessage(std::string_view path, std::string_view problem) {
  return "Файл " + std::string(path) + " прочитан не до конца: " + std::string(problem) +
         ". Прочитанные строки оставлены.";
}

std::string CannotWriteMessage(std::string_view path, std::string_view problem) {
  return "Не удалось записать файл " + std::string(path) + ": " + std::string(problem) +
         ". Прежнее содержимое файла не изменено, текст остался в окне.";
}

std::string WrittenAsUtf8Message(std::string_view path, std::string_view missingCharacter) {
  return "Файл " + std::string(path) + " записан в кодировке UTF-8: символа «" +
         std::string(missingCharacter) + "» нет в кодировке Windows-1251.";
}

std::string WrittenWithByteOrderMarkMessage(std::string_view path,
                                            std::string_view wantedEncoding) {
  return "Файл " + std::string(path) + " записан в кодировке UTF-8 с BOM: в кодировке " +
         std::string(wantedEncoding) + " его текст прочитался бы при открытии иначе.";
}

namespace {

// Point file messages list this many lines at most, then how many more there are.
constexpr std::size_t kListedLines = 10;

std::string ListedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < kListedLines; ++i) text.append("\r\n").append(lines[i]);
  if (lines.size() > kListedLines) text += "\r\n… и ещё " + std::to_string(lines.size() - kListedLines);
  return text;
}

}  // namespace

std::string SkippedFeaturesMessage(std::string_view path, const std::vector<std::string>& skipped) {
  return "В файле " + std::string(path) + " есть не только точки; пропущено:" + ListedLines(skipped);
}

std::string NoPointsInFileMessage(std::string_view path) {
  return "В файле " + std::string(path) + " нет точек.";
}

std::string NoPointsToSaveMessage(std::string_view path) {
  return "Файл " + std::string(path) +
         " не записан: в результатах нет пересчитанных точек (сначала выполните пересчёт).";
}

std::string NamesChangedMessage(std::string_view path, const std::vector<std::string>& notes) {
  return "Файл " + std::string(path) + " записан; имена некоторых точек в нём могут читаться иначе:" +
         ListedLines(notes);
}

}  // namespace korvagrid
