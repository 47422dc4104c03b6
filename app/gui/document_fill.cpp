#include "document_fill.h"

#include <QFont>
#include <QPlainTextDocumentLayout>
#include <QTextDocument>
#include <QThread>
#include <utility>

namespace korvagrid::gui {

DocumentFill::DocumentFill(const QTextDocument& shown, const QTextOption& option, QString text,
                           std::function<void()> finished) {
  const QFont font = shown.defaultFont();
  const qreal margin = shown.documentMargin();
  QThread* const owner = QThread::currentThread();
  thread_ = std::thread(
      [this, font, margin, option, owner, text = std::move(text), finished = std::move(finished)] {
        // Settings first, so that the lines are laid out with them once.
        auto* const document = new QTextDocument;
        document->setDocumentLayout(new QPlainTextDocumentLayout(document));
        document->setDefaultFont(font);
        document->setDocumentMargin(margin);
        document->setDefaultTextOption(option);
        document->setPlainText(text);
        document->setModified(false);
        // An object is moved to another thread only from its own.
        document->moveToThread(owner);
        document_ = document;
        complete_.store(true, std::memory_order_release);
        if (finished) finished();
      });
}

DocumentFill::~DocumentFill() {
  if (thread_.joinable()) thread_.join();
  delete document_;
}

QTextDocument* DocumentFill::take() {
  if (thread_.joinable()) thread_.join();
  return std::exchange(document_, nullptr);
}

}  // namespace korvagrid::gui
