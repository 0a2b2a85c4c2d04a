#pragma once
// TCaptionEdit: the one-line rich-text caption editor. Every character keeps
// its own face, size, style and Windows character set (held in the character
// format, since Qt fonts have no character set); the scene builds from the
// TCaption this editor hands out. At most 32 characters, no line breaks.

#include <QTextEdit>

#include "platform/GlyphSource.h"
#include "scene/Caption.h"

namespace vantrix {

class TCaptionEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit TCaptionEdit(QWidget* parent = nullptr);

  // The editor's own font as a font spec, the default of letters without one.
  TFontSpec EditorFont() const;
  TCaption Caption() const;
  // Replaces the text without signalling an edit.
  void SetCaption(const TCaption& caption);
  // Gives every character the face, style and character set of font,
  // keeping each one's size.
  void ApplyFaceToAll(const TFontSpec& font);
  int Length() const;

 signals:
  void CaptionEdited();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
};

}  // namespace vantrix
