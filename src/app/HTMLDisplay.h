// The display components of the HTTP page: HTML syntax colouring for the
// source view, and the preview that renders a document without loading
// anything from outside it.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextBrowser>
#include <QTextCharFormat>

// Colours tags, attribute names, attribute values, comments and character
// entities of HTML text. A comment, a tag or a quoted value may run over
// several lines; the state at a line's end carries into the next.
class TSynHTMLSyn : public QSyntaxHighlighter {
 public:
  explicit TSynHTMLSyn(QTextDocument* document);

  // The states at the end of a line.
  enum TState { stText = 0, stTag = 1, stComment = 2, stValueDouble = 3, stValueSingle = 4 };

  QTextCharFormat TagFormat, AttributeFormat, ValueFormat, CommentFormat, EntityFormat;

 protected:
  void highlightBlock(const QString& text) override;
};

// The preview: a document shown as it stands. It has no base address, so
// nothing it names is fetched: only images written into the document
// itself (data: addresses) are shown, and no local file is ever read.
class THTMLViewer : public QTextBrowser {
 public:
  explicit THTMLViewer(QWidget* parent);
  // Shows a whole document in place of the previous one.
  void ShowDocument(const QString& html);
  QVariant loadResource(int type, const QUrl& name) override;
};

// The document without the names of its anchors (every "id" attribute and
// the "name" of "a" tags): the preview cannot jump to them, and the
// toolkit's HTML reader takes time that grows with the square of their
// number, seconds for a page with ten thousand of them.
QString WithoutAnchorNames(const QString& html);
