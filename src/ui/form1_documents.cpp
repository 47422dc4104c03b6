// The File menu of the main window: New, Open, Save, Save as, Save results,
// the toolbar that repeats four of them, the extra-lines counter, and the
// question before the program ends with edited input.
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "conversion/catalogue.h"
#include "documents/document_commands.h"
#include "documents/text_file.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

// Writes `text` and tells the user about what went wrong or differs from
// what was wanted. True when the file was written.
bool WriteAndReport(Platform& platform, const std::string& path, const std::string& text,
                    TextEncoding wanted, TextEncoding* written,
                    FileReader reader = FileReader::DetectsEncoding) {
  const SaveResult saved = SaveTextDocument(path, text, wanted, reader);
  if (!saved.ok) {
    platform.warn(CannotWriteMessage(path, saved.problem), kFileWarningTitle);
    return false;
  }
  if (!saved.missingCharacter.empty()) {
    platform.warn(WrittenAsUtf8Message(path, saved.missingCharacter), kFileWarningTitle);
  } else if (saved.byteOrderMarkAdded) {
    platform.warn(WrittenWithByteOrderMarkMessage(path, EncodingName(wanted)), kFileWarningTitle);
  }
  if (written != nullptr) *written = saved.encoding;
  return true;
}

// The file a save dialog chose, with the extension of the chosen filter
// when the typed name has none.
ChosenFile SavedFile(const ChosenFile& chosen) {
  ChosenFile file = chosen;
  file.path = WithFilterExtension(chosen.path, chosen.filterPattern);
  if (file.path != chosen.path) file.title = std::filesystem::path(file.path).filename().string();
  return file;
}

}  // namespace

void Form1::markInputSaved() { savedInput_ = FingerprintOf(Txt1); }

bool Form1::inputModified() const { return FingerprintOf(Txt1) != savedInput_; }

bool Form1::confirmExit() {
  if (!inputModified()) return true;
  switch (platform_.askYesNoCancel(kSaveChangesPrompt, kQuestionTitle)) {
    case Answer::Yes:
      save();
      return !inputModified();  // a cancelled or failed save keeps the program running
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

void Form1::newDocument() {
  Txt1.clear();
  Txt2.clear();
  resultPoints_.clear();
  documentIsPointFile_ = false;
  Txt_TrapVisible = false;
  caption = kStartCaption;
  documentName.clear();
  selectedInputLine = 0;
  markInputSaved();
  // A new document is written in cp1251 when every character fits.
  documentEncoding = TextEncoding::Cp1251;
  documentEncodingKnown = false;
}

void Form1::openWithDialog() {
  const std::optional<ChosenFile> chosen = platform_.chooseOpenFile(
      OpenDialogOptions(pointFiles_ != nullptr ? pointFiles_->dialogFilterEntries() : std::string()));
  if (!chosen) return;
  openDocument(*chosen);
}

bool Form1::isPointFile(const ChosenFile& file) const {
  return pointFiles_ != nullptr && pointFiles_->isPointFile(file);
}

void Form1::openDocument(const ChosenFile& file) {
  if (isPointFile(file)) {
    openPointFile(file);
    return;
  }
  ReadTextResult read = ReadTextDocument(file.path);
  if (read.status == ReadStatus::CannotOpen) {
    // Nothing was read: the texts, the document name and the caption stay.
    platform_.warn(CannotReadMessage(file.path, read.problem), kFileWarningTitle);
    return;
  }
  documentName = file.path;
  documentIsPointFile_ = false;
  caption = std::string(kOpenedCaptionPrefix) + file.title;
  Txt1 = std::move(read.text);
  Txt2.clear();
  resultPoints_.clear();
  selectedInputLine = 0;
  markInputSaved();
  documentEncoding = read.encoding;
  documentEncodingKnown = true;
  if (read.status == ReadStatus::TooLarge) {
    platform_.warn(kTooLargeMessage, kFileWarningTitle);
  } else if (read.status == ReadStatus::ReadFailed) {
    platform_.warn(ReadStoppedMessage(file.path, read.problem), kFileWarningTitle);
  }
}

// A point file's points, read as the input list of the selected source
// system: the named layout, and decimal degrees or X, Y as the system writes
// them. Nothing changes when the file cannot be read or holds another
// system's coordinates.
void Form1::openPointFile(const ChosenFile& file) {
  // The own system's fields may hold a text that is not a number.
  std::string problem;
  const ConversionSettings current = settings(&problem);
  PointList list;
  if (problem.empty()) {
    try {
      list = pointFiles_->readList(file, current.source);
    } catch (const std::exception& error) {
      problem = error.what();
    }
  }
  if (!problem.empty()) {
    platform_.warn(CannotReadMessage(file.path, problem), kFileWarningTitle);
    return;
  }
  documentName = file.path;
  documentIsPointFile_ = true;
  caption = std::string(kOpenedCaptionPrefix) + file.title;
  Txt1 = std::move(list.text);
  Txt2.clear();
  resultPoints_.clear();
  selectedInputLine = 0;
  markInputSaved();
  // The text is written anew when saved: cp1251 where every character fits.
  documentEncoding = TextEncoding::Cp1251;
  documentEncodingKnown = false;
  selectCombo3(static_cast<int>(RecordLayout::NameXYH));
  formatItemClick(list.geographic ? FormatItem::mnuGGG_0 : FormatItem::Stand);
  if (!list.messages.empty()) {
    platform_.warn(SkippedFeaturesMessage(file.path, list.messages), kFileWarningTitle);
  } else if (list.points == 0) {
    platform_.warn(NoPointsInFileMessage(file.path), kFileWarningTitle);
  }
}

void Form1::save() {
  if (documentIsPointFile_) {
    // The list came from a point file: Save asks for a text file, so that
    // the point file is never overwritten with text.
    saveDocumentAs(TextDocumentName(documentName));
    return;
  }
  if (documentName.empty()) {
    // No name yet: propose the first word of the list. The document stays
    // unnamed until the user chooses a file.
    saveDocumentAs(ProposeDocumentName(Txt1));
    return;
  }
  TextEncoding written = documentEncoding;
  if (WriteAndReport(platform_, documentName, Txt1, documentEncoding, &written)) {
    documentEncoding = written;
    documentEncodingKnown = true;
    markInputSaved();
  }
}

void Form1::saveAs() {
  saveDocumentAs(documentIsPointFile_ ? TextDocumentName(documentName) : documentName);
}

void Form1::saveDocumentAs(const std::string& proposedName) {
  const std::optional<ChosenFile> chosen =
      platform_.chooseSaveFile(SaveAsDialogOptions(proposedName));
  if (!chosen) return;
  const ChosenFile file = SavedFile(*chosen);
  documentName = file.path;
  documentIsPointFile_ = false;
  caption = std::string(kSavedCaptionPrefix) + file.title;
  TextEncoding written = documentEncoding;
  if (WriteAndReport(platform_, file.path, Txt1, documentEncoding, &written)) {
    documentEncoding = written;
    documentEncodingKnown = true;
    markInputSaved();
  }
}

void Form1::saveResults() {
  const std::string pointFormats = pointFiles_ != nullptr ? pointFiles_->dialogFilterEntries() : std::string();
  // Waypoints are written only by runs to a geographic target.
  const bool waypoints = WritesWaypoints(settings());
  if (waypoints) {
    // OziExplorer reads its files in the single-byte code page.
    resultName = ProposeWaypointName(documentName);
    const std::optional<ChosenFile> chosen =
        platform_.chooseSaveFile(WaypointDialogOptions(resultName, pointFormats));
    if (!chosen) return;
    const ChosenFile file = SavedFile(*chosen);
    resultName = file.path;
    if (isPointFile(file)) {
      savePointResults(file);
      return;
    }
    WriteAndReport(platform_, resultName, Txt2, TextEncoding::Cp1251, nullptr,
                   FileReader::AlwaysCp1251);
    return;
  }
  const std::optional<ChosenFile> chosen = platform_.chooseSaveFile(ResultsDialogOptions(pointFormats));
  if (!chosen) return;
  const ChosenFile file = SavedFile(*chosen);
  resultName = file.path;
  if (isPointFile(file)) {
    savePointResults(file);
    return;
  }
  // Results follow the encoding of the document they were computed from.
  const TextEncoding wanted = documentEncodingKnown ? documentEncoding : TextEncoding::Cp1251;
  WriteAndReport(platform_, resultName, Txt2, wanted, nullptr);
}

// The points of the last run, in the system it converted them to.
void Form1::savePointResults(const ChosenFile& file) {
  if (resultPoints_.empty()) {
    platform_.warn(NoPointsToSaveMessage(file.path), kFileWarningTitle);
    return;
  }
  std::vector<std::string> notes;
  try {
    notes = pointFiles_->writePoints(file, resultTarget_, resultPoints_);
  } catch (const std::exception& error) {
    platform_.warn(CannotWriteMessage(file.path, error.what()), kFileWarningTitle);
    return;
  }
  if (!notes.empty()) platform_.warn(NamesChangedMessage(file.path, notes), kFileWarningTitle);
}

void Form1::toolbarButton(std::string_view key) {
  if (key == kToolNew) {
    newDocument();
  } else if (key == kToolOpen) {
    openWithDialog();
  } else if (key == kToolSave) {
    save();
  } else if (key == kToolSaveResults) {
    saveResults();
  } else if (key == kToolMap) {
    showMap();
  }
}

void Form1::toggleExtraLinesCounter() {
  mnu_ctr_count.checked = !mnu_ctr_count.checked;
  txtCountVisible = mnu_ctr_count.checked;
}

bool Form1::counterKeyPress(char32_t key) {
  const KeyVerdict verdict = CounterKeyFilter(txtCount, key);
  for (int i = 0; i < verdict.beeps; ++i) platform_.beep();
  return verdict.accepted;
}

}  // namespace korvagrid
