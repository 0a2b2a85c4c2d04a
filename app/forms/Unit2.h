#pragma once
// TForm2: the Advanced Text Settings dialog. Its editor holds a copy of the
// caption; the tool bar follows the caret (face, size, bold, italic) and
// changes the selected letters, and " Symbol " inserts a character chosen in
// the Character Map. The main window copies the caption in before showing it
// and back after OK (CopyRichText).

#include <QDialog>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace vantrix {

class TCaptionEdit;
class TCharMap;
struct TFontChange;

// Letter sizes the dialog gives, in points.
inline constexpr int kMinLetterSize = 1;
inline constexpr int kMaxLetterSize = 1638;
// The size of an inserted symbol.
inline constexpr int kSymbolSize = 18;

// The formatted text of source into target, every letter with its own face,
// size, character set and style, and target's font from source's; source's
// selection stays. Nothing happens when source is empty.
void CopyRichText(TCaptionEdit* target, const TCaptionEdit* source);

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);

  TCaptionEdit* Editor() const { return Editor_; }
  // The map " Symbol " opens; created after this dialog.
  TCharMap* CharMap = nullptr;

  void ToolButton1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EditorSelectionChange();
  void FontNameChange(const QString& face);
  void FontSizeChange();
  void StepSize(int step);
  void StyleClick(const TFontChange& style);

  bool updating_ = false;      // the tool bar is being set from the selection
  bool enterInField_ = false;  // the key on its way up is Enter typed into a tool bar field
  QComboBox* FontName = nullptr;
  QLineEdit* FontSize = nullptr;
  QToolButton* BoldButton = nullptr;
  QToolButton* ItalicButton = nullptr;
  TCaptionEdit* Editor_ = nullptr;
};

}  // namespace vantrix
