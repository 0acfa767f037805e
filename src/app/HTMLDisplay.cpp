#include "HTMLDisplay.h"

#include <QByteArray>
#include <QImage>
#include <QUrl>

namespace {

QTextCharFormat Colour(const QColor& colour, bool bold = false, bool italic = false) {
  QTextCharFormat format;
  format.setForeground(colour);
  if (bold) format.setFontWeight(QFont::Bold);
  format.setFontItalic(italic);
  return format;
}

bool IsNameChar(QChar c) {
  return c.isLetterOrNumber() || c == '-' || c == '_' || c == ':' || c == '.';
}

// The largest inline image the preview decodes.
constexpr qsizetype kMaxInlineImage = 16 << 20;

}  // namespace

TSynHTMLSyn::TSynHTMLSyn(QTextDocument* document)
    : QSyntaxHighlighter(document),
      TagFormat(Colour(QColor(0x00, 0x00, 0x80), true)),
      AttributeFormat(Colour(QColor(0x80, 0x00, 0x00))),
      ValueFormat(Colour(QColor(0x00, 0x00, 0xff))),
      CommentFormat(Colour(QColor(0x00, 0x80, 0x00), false, true)),
      EntityFormat(Colour(QColor(0x80, 0x00, 0x80))) {}

void TSynHTMLSyn::highlightBlock(const QString& text) {
  int state = previousBlockState() < 0 ? stText : previousBlockState();
  const int n = static_cast<int>(text.size());
  int i = 0;
  while (i < n) {
    switch (state) {
      case stComment: {
        const int end = static_cast<int>(text.indexOf(QLatin1String("-->"), i));
        const int stop = end < 0 ? n : end + 3;
        setFormat(i, stop - i, CommentFormat);
        i = stop;
        if (end >= 0) state = stText;
        break;
      }
      case stValueDouble:
      case stValueSingle: {
        const QChar quote = state == stValueDouble ? '"' : '\'';
        const int end = static_cast<int>(text.indexOf(quote, i));
        const int stop = end < 0 ? n : end + 1;
        setFormat(i, stop - i, ValueFormat);
        i = stop;
        if (end >= 0) state = stTag;
        break;
      }
      case stTag: {
        const QChar c = text[i];
        if (c == '>' || (c == '/' && i + 1 < n && text[i + 1] == '>')) {
          const int len = c == '>' ? 1 : 2;
          setFormat(i, len, TagFormat);
          i += len;
          state = stText;
        } else if (c == '"' || c == '\'') {
          state = c == '"' ? stValueDouble : stValueSingle;
          setFormat(i, 1, ValueFormat);
          ++i;
        } else if (c == '=') {
          ++i;
          // An unquoted value runs to the next blank or ">".
          const int start = i;
          while (i < n && !text[i].isSpace() && text[i] != '>' && text[i] != '"' && text[i] != '\'')
            ++i;
          setFormat(start, i - start, ValueFormat);
        } else if (IsNameChar(c)) {
          const int start = i;
          while (i < n && IsNameChar(text[i])) ++i;
          setFormat(start, i - start, AttributeFormat);
        } else {
          ++i;
        }
        break;
      }
      default: {  // text
        const QChar c = text[i];
        if (c == '<') {
          if (text.mid(i, 4) == QLatin1String("<!--")) {
            state = stComment;
            setFormat(i, 4, CommentFormat);
            i += 4;
            break;
          }
          // "<", an optional "/" or "!" or "?", and the tag's name.
          const int start = i++;
          if (i < n && (text[i] == '/' || text[i] == '!' || text[i] == '?')) ++i;
          while (i < n && IsNameChar(text[i])) ++i;
          setFormat(start, i - start, TagFormat);
          state = stTag;
        } else if (c == '&') {
          // "&name;" or "&#123;" or "&#x1F;", at most 32 characters.
          int j = i + 1;
          while (j < n && j - i < 32 && (text[j].isLetterOrNumber() || text[j] == '#')) ++j;
          if (j < n && text[j] == ';' && j > i + 1) {
            setFormat(i, j + 1 - i, EntityFormat);
            i = j + 1;
          } else {
            ++i;
          }
        } else {
          // Plain text up to the next "<" or "&".
          int j = i + 1;
          while (j < n && text[j] != '<' && text[j] != '&') ++j;
          i = j;
        }
        break;
      }
    }
  }
  setCurrentBlockState(state);
}

THTMLViewer::THTMLViewer(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setFrameShape(QFrame::NoFrame);
  setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
  document()->setDefaultFont(QFont("Times New Roman"));
  document()->setDefaultStyleSheet("pre, code, tt, kbd, samp { font-family: \"Courier New\"; }");
}

void THTMLViewer::ShowDocument(const QString& html) { setHtml(WithoutAnchorNames(html)); }

QVariant THTMLViewer::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::ImageResource || name.scheme() != QLatin1String("data")) return {};
  // data:[<type>][;base64],<data>
  const QByteArray url = name.toEncoded();
  const qsizetype comma = url.indexOf(',');
  if (comma < 0 || url.size() - comma > kMaxInlineImage) return {};
  const QByteArray meta = url.mid(5, comma - 5);
  const QByteArray payload = url.mid(comma + 1);
  const QByteArray bytes = meta.endsWith(";base64") ? QByteArray::fromBase64(payload)
                                                    : QByteArray::fromPercentEncoding(payload);
  QImage image;
  if (!image.loadFromData(bytes)) return {};
  return image;
}

QString WithoutAnchorNames(const QString& html) {
  const qsizetype n = html.size();
  QString out;
  out.reserve(n);
  qsizetype i = 0;
  auto isNameChar = [&](qsizetype k) {
    const QChar c = html[k];
    return !c.isSpace() && c != '=' && c != '>' && c != '/' && c != '<';
  };
  while (i < n) {
    if (html[i] != '<' || i + 1 >= n) {
      // Text up to the next tag.
      qsizetype next = html.indexOf('<', i + 1);
      if (next < 0) next = n;
      out.append(QStringView(html).mid(i, next - i));
      i = next;
      continue;
    }
    if (QStringView(html).mid(i, 4) == QLatin1String("<!--")) {
      qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
      end = end < 0 ? n : end + 3;
      out.append(QStringView(html).mid(i, end - i));
      i = end;
      continue;
    }
    if (!html[i + 1].isLetter()) {
      out.append(html[i++]);
      continue;
    }
    // A start tag: its name, then its attributes up to ">".
    const qsizetype nameStart = ++i;
    while (i < n && isNameChar(i)) ++i;
    const bool isAnchor = QStringView(html)
                              .mid(nameStart, i - nameStart)
                              .compare(QLatin1String("a"), Qt::CaseInsensitive) == 0;
    out.append(QStringView(html).mid(nameStart - 1, i - nameStart + 1));
    while (i < n && html[i] != '>') {
      if (html[i].isSpace() || html[i] == '/') {
        out.append(html[i++]);
        continue;
      }
      const qsizetype attrStart = i;
      while (i < n && isNameChar(i)) ++i;
      if (i == attrStart) {  // a stray "<" or "="
        out.append(html[i++]);
        continue;
      }
      const QStringView attr = QStringView(html).mid(attrStart, i - attrStart);
      // "= value", quoted or not.
      qsizetype j = i;
      while (j < n && html[j].isSpace()) ++j;
      if (j < n && html[j] == '=') {
        ++j;
        while (j < n && html[j].isSpace()) ++j;
        if (j < n && (html[j] == '"' || html[j] == '\'')) {
          const qsizetype close = html.indexOf(html[j], j + 1);
          j = close < 0 ? n : close + 1;
        } else {
          while (j < n && !html[j].isSpace() && html[j] != '>') ++j;
        }
        i = j;
      }
      const bool drop = attr.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0 ||
                        (isAnchor && attr.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0);
      if (!drop) out.append(QStringView(html).mid(attrStart, i - attrStart));
    }
    if (i < n) out.append(html[i++]);  // ">"
  }
  return out;
}
