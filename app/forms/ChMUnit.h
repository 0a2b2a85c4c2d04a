#pragma once
// TCharMap: the Character Map. A grid of the codes 32..255 of one character
// set in a chosen face; the chosen cell is previewed at 24 points and handed
// to the Advanced Text Settings dialog on OK. Any other character can be typed
// or pasted into the entry below the grid, or given by its code (U+2713).

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace vantrix {

class TCharMap : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kColumns = 32;
  static constexpr int kRows = 7;
  static constexpr int kFirstCode = 32;

  explicit TCharMap(QWidget* parent = nullptr);

  // Shows the codes as the character set reads them; the chosen cell stays.
  void SetCharset(int charset);
  int Charset() const { return charset_; }
  std::string FaceName() const;
  // The text of the last chosen cell; empty for a code the set leaves undefined.
  const QString& Chosen() const { return chosen_; }

 private:
  void ComboBox1Change();
  void StringGrid1SelectCell(int row, int column);
  void Edit1Change(const QString& text);

  QComboBox* ComboBox1 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  QLabel* StaticText1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  int charset_ = 0;
  QString chosen_;
};

}  // namespace vantrix
