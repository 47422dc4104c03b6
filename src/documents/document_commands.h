#pragma once
// The fixed texts and the small rules of the File menu: dialog settings,
// window captions, the names proposed to the save dialogs, the extension a
// chosen filter gives a name, whether the input was edited since it was
// last opened or saved, and the key filter of the extra-lines counter.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "interaction/platform.h"

namespace korvagrid {

inline constexpr std::string_view kOpenedCaptionPrefix = "Korvagrid05&P3 : ";
inline constexpr std::string_view kSavedCaptionPrefix = "XY/XY : ";

inline constexpr std::string_view kOpenFilter = "(*.txt)|*.txt|All (*.*)|*.*";
inline constexpr std::string_view kOpenDefaultExt = "*.txt";
inline constexpr std::string_view kSaveAsFilter = "(*.*)|*.*|Текстовый файл (*.txt)|*.txt|";
inline constexpr std::string_view kResultsFilter = "Text file (*.txt)|*.txt|All.file (*.*)|*.*";
inline constexpr std::string_view kWaypointFilter =
    "OziExplorer (*.wpt)|*.wpt|Text file (*.txt)|*.txt|All.file (*.*)|*.*";

// Asked before the program ends with input edited since it was last opened or saved.

// Toolbar button keys.
inline constexpr std::string_view kToolNew = "New";
inline constexpr std::string_view kToolOpen = "Open";
inline constexpr std::string_view kToolSave = "Save";
inline constexpr std::string_view kToolSaveResults = "SaveRez";

// `pointFormats`, when not empty, are the point file formats' filter entries
// (PointFiles::dialogFilterEntries), put before the filter's last entry (all files).
FileDialogOptions OpenDialogOptions(std::string_view pointFormats = {});
FileDialogOptions SaveAsDialogOptions(std::string_view documentName);
FileDialogOptions ResultsDialogOptions(std::string_view pointFormats = {});
FileDialogOptions WaypointDialogOptions(std::string_view proposal, std::string_view pointFormats = {});

// `filter` with `entries` put before its last entry ("All (*.*)|*.*").
std::string WithEntriesBeforeLast(std::string_view filter, std::string_view entries);

// The name Save proposes for a document opened from a point file, whose text
// has no file yet: the point file's name with ".txt" for its extension.
std::string TextDocumentName(std::string_view pointFileName);

// The name Save proposes for a document without a name: the text up to its
// first space, or up to a ";" that comes before that space, followed by
// ".txt"; empty when that part is empty (the text starts with a space or a
// ";") or when the text holds no space at all.
std::string ProposeDocumentName(std::string_view text);

// The name proposed for a waypoint file: the document name without its
// extension. The first "." counts unless more than four characters follow it
// (then it belongs to a folder name and the next "." counts); a name without
// such a dot is proposed whole. Empty for an empty document name.
std::string ProposeWaypointName(std::string_view documentName);

// `path` with the extension of the filter the user chose in a save dialog,
// when its file name has none: "a/points" with "*.wpt" gives "a/points.wpt".
// A name with a dot ("points.txt", "v1.2", ".points") is kept, and so
// is every name when the pattern is not a single "*.ext" ("*.*", "*", empty,
// several patterns).
std::string WithFilterExtension(std::string_view path, std::string_view filterPattern);

// A text's size and hash: enough to tell, without keeping a copy, whether a
// text is still the one that was last opened or saved.
struct TextFingerprint {
  std::size_t size = 0;
  std::size_t hash = 0;
  friend bool operator==(const TextFingerprint&, const TextFingerprint&) = default;
};
TextFingerprint FingerprintOf(std::string_view text);

// The key filter of the extra-lines counter: at most two digits.
struct KeyVerdict {
  bool accepted = false;
  int beeps = 0;  // how many times the refusal beeps (a non-digit into a full box: twice)
};
KeyVerdict CounterKeyFilter(std::string_view counterText, char32_t key);

// Messages of the file commands, each naming the file.
std::string CannotReadMessage(std::string_view path, std::string_view problem);
std::string ReadStoppedMessage(std::string_view path, std::string_view problem);
std::string CannotWriteMessage(std::string_view path, std::string_view problem);
std::string WrittenAsUtf8Message(std::string_view path, std::string_view missingCharacter);
std::string WrittenWithByteOrderMarkMessage(std::string_view path, std::string_view wantedEncoding);
// Messages of point files: features that gave no point (the first of them
// listed), a file without points, results without points, names a format changed.
std::string SkippedFeaturesMessage(std::string_view path, const std::vector<std::string>& skipped);
std::string NoPointsInFileMessage(std::string_view path);
std::string NoPointsToSaveMessage(std::string_view path);
std::string NamesChangedMessage(std::string_view path, const std::vector<std::string>& notes);

}  // namespace korvagrid
