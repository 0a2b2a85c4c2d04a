#pragma once
// TCaptionEdit: the one-line rich-text caption editor. Every character keeps
// its own face, size, style and Windows character set (held in the character
// format, since Qt fonts have no character set); the scene builds from the
// TCaption this editor hands out. At most 32 characters, no line breaks.

#include <QTextEdit>
#include <optional>
#include <string>

#include "platform/GlyphSource.h"
#include "scene/Caption.h"

namespace vantrix {

// The attributes a text dialog changes in a selection; the others stay.
struct TFontChange {
  std::optional<std::string> FaceName = std::nullopt;
  std::optional<int> Size = std::nullopt;
  std::optional<int> Charset = std::nullopt;
  std::optional<bool> Bold = std::nullopt;
  std::optional<bool> Italic = std::nullopt;
  std::optional<bool> Underline = std::nullopt;
  std::optional<bool> Strikeout = std::nullopt;
  bool Empty() const {
    return !FaceName && !Size && !Charset && !Bold && !Italic && !Underline && !Strikeout;
  }
};

// What to change so that `from` becomes `to`: only the attributes that differ.
TFontChange FontChangeBetween(const TFontSpec& from, const TFontSpec& to);

class TCaptionEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit TCaptionEdit(QWidget* parent = nullptr);

  // The editor's own font as a caption font, the default of letters without one.
  TFontSpec EditorFont() const;
  TCaption Caption() const;
  // Replaces the text without signalling an edit.
  void SetCaption(const TCaption& caption);
  int Length() const;

  // The font of the selection's first letter, or without a selection the
  // font the caret types with.
  TFontSpec SelectionFont() const;
  // Changes the selected letters (and what the caret types next).
  void ChangeSelectionFont(const TFontChange& change);
  // The font a font dialog starts from: the selection's first letter's, else
  // the caption's first letter's, else the editor's own.
  TFontSpec DialogFont() const;
  // Changes the selected letters, or every letter when nothing is selected,
  // and what the caret types next.
  void ChangeFont(const TFontChange& change);
  // Replaces the selection by text in the selection's font changed by
  // change; nothing when the caption is full and nothing is selected.
  void InsertWithFont(const QString& text, const TFontChange& change);

 signals:
  void CaptionEdited();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;

 private:
  QTextCharFormat SelectionFormat() const;
};

}  // namespace vantrix
