#include "app/forms/CaptionEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/Rounding.h"

namespace vantrix {

namespace {

constexpr int kCharsetProperty = QTextFormat::UserProperty + 1;

TFontSpec FontOfFormat(const QTextCharFormat& f, const TFontSpec& fallback) {
  TFontSpec s = fallback;
  const QStringList families = f.fontFamilies().toStringList();
  if (!families.isEmpty()) s.FaceName = families.first().toStdString();
  if (f.fontPointSize() > 0) s.Size = RoundInt(f.fontPointSize());
  if (f.hasProperty(QTextFormat::FontWeight)) s.Bold = f.fontWeight() >= QFont::Bold;
  if (f.hasProperty(QTextFormat::FontItalic)) s.Italic = f.fontItalic();
  if (f.hasProperty(QTextFormat::FontUnderline) || f.hasProperty(QTextFormat::TextUnderlineStyle))
    s.Underline = f.fontUnderline();
  if (f.hasProperty(QTextFormat::FontStrikeOut)) s.Strikeout = f.fontStrikeOut();
  if (f.hasProperty(kCharsetProperty)) s.Charset = f.intProperty(kCharsetProperty);
  return s;
}

QTextCharFormat FormatOfSpec(const TFontSpec& s) {
  QTextCharFormat f;
  f.setFontFamilies(QStringList{QString::fromStdString(s.FaceName)});
  f.setFontPointSize(s.Size);
  f.setFontWeight(s.Bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(s.Italic);
  f.setFontUnderline(s.Underline);
  f.setFontStrikeOut(s.Strikeout);
  f.setProperty(kCharsetProperty, s.Charset);
  return f;
}

QTextCharFormat FormatOfChange(const TFontChange& c) {
  QTextCharFormat f;
  if (c.FaceName) f.setFontFamilies(QStringList{QString::fromStdString(*c.FaceName)});
  if (c.Size) f.setFontPointSize(*c.Size);
  if (c.Charset) f.setProperty(kCharsetProperty, *c.Charset);
  if (c.Bold) f.setFontWeight(*c.Bold ? QFont::Bold : QFont::Normal);
  if (c.Italic) f.setFontItalic(*c.Italic);
  if (c.Underline) f.setFontUnderline(*c.Underline);
  if (c.Strikeout) f.setFontStrikeOut(*c.Strikeout);
  return f;
}

// Code points of text without line breaks, at most `room` of them.
QString Insertable(const QString& text, int room) {
  QString out;
  int count = 0;
  for (char32_t c : text.toUcs4()) {
    if (count >= room) break;
    if (c == U'\n' || c == U'\r' || c == U'\u2029' || c == U'\u2028') continue;
    out += QString::fromUcs4(&c, 1);
    ++count;
  }
  return out;
}

}  // namespace

TFontChange FontChangeBetween(const TFontSpec& from, const TFontSpec& to) {
  TFontChange c;
  if (to.FaceName != from.FaceName) c.FaceName = to.FaceName;
  if (to.Size != from.Size) c.Size = to.Size;
  if (to.Charset != from.Charset) c.Charset = to.Charset;
  if (to.Bold != from.Bold) c.Bold = to.Bold;
  if (to.Italic != from.Italic) c.Italic = to.Italic;
  if (to.Underline != from.Underline) c.Underline = to.Underline;
  if (to.Strikeout != from.Strikeout) c.Strikeout = to.Strikeout;
  return c;
}

TCaptionEdit::TCaptionEdit(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(false);
  setLineWrapMode(QTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
  QFont font("Arial");
  font.setPointSize(18);
  setFont(font);
  document()->setDocumentMargin(2);
  setFixedHeight(QFontMetrics(font).height() * 3 / 2 + 8);
  connect(this, &QTextEdit::textChanged, this, [this] {
    if (!signalsBlocked()) emit CaptionEdited();
  });
}

TFontSpec TCaptionEdit::EditorFont() const {
  TFontSpec s;
  s.FaceName = font().family().toStdString();
  s.Size = font().pointSize() > 0 ? font().pointSize() : 18;
  s.Bold = font().bold();
  s.Italic = font().italic();
  return s;
}

int TCaptionEdit::Length() const {
  return static_cast<int>(toPlainText().toUcs4().size());
}

TCaption TCaptionEdit::Caption() const {
  TCaption caption;
  const TFontSpec fallback = EditorFont();
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const TFontSpec font = FontOfFormat(fragment.charFormat(), fallback);
      for (char32_t c : fragment.text().toUcs4()) caption.Append(c, font);
    }
  }
  return caption;
}

void TCaptionEdit::SetCaption(const TCaption& caption) {
  const QSignalBlocker block(this);
  clear();
  QTextCursor cursor(document());
  for (const TCaptionChar& c : caption.Chars())
    cursor.insertText(QString::fromUcs4(&c.Char, 1), FormatOfSpec(c.Font));
  if (!caption.Empty()) setCurrentCharFormat(FormatOfSpec(caption.At(caption.Length() - 1).Font));
}

QTextCharFormat TCaptionEdit::SelectionFormat() const {
  const QTextCursor cursor = textCursor();
  if (!cursor.hasSelection()) return currentCharFormat();
  QTextCursor first(document());
  first.setPosition(cursor.selectionStart() + 1);
  return first.charFormat();
}

TFontSpec TCaptionEdit::SelectionFont() const {
  return FontOfFormat(SelectionFormat(), EditorFont());
}

void TCaptionEdit::ChangeSelectionFont(const TFontChange& change) {
  mergeCurrentCharFormat(FormatOfChange(change));
}

TFontSpec TCaptionEdit::DialogFont() const {
  if (textCursor().hasSelection() || Length() == 0) return SelectionFont();
  return Caption().At(0).Font;
}

void TCaptionEdit::ChangeFont(const TFontChange& change) {
  if (textCursor().hasSelection()) return ChangeSelectionFont(change);
  const QTextCharFormat format = FormatOfChange(change);
  QTextCursor all(document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(format);
  mergeCurrentCharFormat(format);
}

void TCaptionEdit::InsertWithFont(const QString& text, const TFontChange& change) {
  QTextCursor cursor = textCursor();
  if (!cursor.hasSelection() && Length() >= TCaption::kMaxChars) return;
  QTextCharFormat format = SelectionFormat();
  format.merge(FormatOfChange(change));
  cursor.insertText(text, format);
  setTextCursor(cursor);
}

void TCaptionEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->ignore();
    return;
  }
  const bool typesText = !event->text().isEmpty() && event->text().at(0).isPrint();
  if (typesText && !textCursor().hasSelection() && Length() >= TCaption::kMaxChars) return;
  QTextEdit::keyPressEvent(event);
}

bool TCaptionEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText();
}

void TCaptionEdit::insertFromMimeData(const QMimeData* source) {
  const QTextCursor cursor = textCursor();
  const int selected = static_cast<int>(cursor.selectedText().toUcs4().size());
  const int room = TCaption::kMaxChars - Length() + selected;
  textCursor().insertText(Insertable(source->text(), std::max(room, 0)));
}

}  // namespace vantrix
