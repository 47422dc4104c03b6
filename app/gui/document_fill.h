#pragma once
// A text document for a plain-text box, filled with a long text on a thread
// of its own. A QTextDocument takes in a line in about 3 µs (a block and its
// fragment in two trees), so 200 000 lines hold the window for 0.6 s; filled
// beside it, the window stays free and the document is handed over when it
// is complete.
#include <QFont>
#include <QString>
#include <QTextOption>
#include <atomic>
#include <functional>
#include <thread>

class QTextDocument;
class QThread;

namespace korvagrid::gui {

// What the documents of one plain-text box share.
struct PlainTextSettings {
  QFont font;
  qreal margin = 0;
  QTextOption option;  // of its lines: tab stops, wrapping
};

// A new empty document with a plain text layout and `settings`, without a
// parent. The settings come first, so that lines are laid out with them once.
QTextDocument* NewPlainTextDocument(const PlainTextSettings& settings);

class DocumentFill {
 public:
  // Starts filling a document with `settings` and `text`. When the
  // document is complete, `finished` is called on the filling thread.
  DocumentFill(PlainTextSettings settings, QString text, std::function<void()> finished);
  // Waits for the thread; a document not taken is deleted.
  ~DocumentFill();
  DocumentFill(const DocumentFill&) = delete;
  DocumentFill& operator=(const DocumentFill&) = delete;

  // True once the document is complete (take() then returns at once).
  bool complete() const { return complete_.load(std::memory_order_acquire); }

  // Waits until the document is complete and hands it over, with a plain
  // text layout and no parent, living in the thread that started the fill.
  QTextDocument* take();

 private:
  QTextDocument* document_ = nullptr;  // written by the thread, read after joining it
  std::atomic<bool> complete_{false};
  std::thread thread_;
};

}  // namespace korvagrid::gui
