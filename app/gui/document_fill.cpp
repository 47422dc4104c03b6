#include "document_fill.h"

#include <QPlainTextDocumentLayout>
#include <QTextDocument>
#include <QThread>
#include <utility>

namespace korvagrid::gui {

QTextDocument* NewPlainTextDocument(const PlainTextSettings& settings) {
  auto* const document = new QTextDocument;
  document->setDocumentLayout(new QPlainTextDocumentLayout(document));
  document->setDefaultFont(settings.font);
  document->setDocumentMargin(settings.margin);
  document->setDefaultTextOption(settings.option);
  return document;
}

DocumentFill::DocumentFill(PlainTextSettings settings, QString text,
                           std::function<void()> finished) {
  QThread* const owner = QThread::currentThread();
  thread_ = std::thread([this, settings = std::move(settings), owner, text = std::move(text),
                         finished = std::move(finished)] {
    QTextDocument* const document = NewPlainTextDocument(settings);
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
