#pragma once
// TOpenShForm: the shape chooser. Lists the built-in outlines (rectangle,
// rounded, chamfered, ellipse, circle) and then the shape files of the
// program folder's BShapes/ with their preview pictures, sorted by caption or
// in the folder's order; names the chosen outline or file when it closes. The listing rules are
// app/logic/ShapeList.h's.

#include <QDialog>
#include <string>

class QCheckBox;
class QListWidget;

namespace vantrix {

class TOpenShForm : public QDialog {
  Q_OBJECT
 public:
  explicit TOpenShForm(QWidget* parent = nullptr);

  std::string ProgramFolder;  // given before each showing, ending with '/'

  // After closing: whether an item was selected, and the file it names
  // (shapes folder, upper-case caption, ".vtxb").
  bool Selected() const { return selected_; }
  const std::string& FileName() const { return fileName_; }
  // The button kind (1..7) of a built-in outline chosen, else 0.
  int BuiltInType() const { return builtIn_; }
  std::string ShapesFolder() const;

  void ListShapes();
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QListWidget* ListView1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  bool selected_ = false;
  int builtIn_ = 0;
  std::string fileName_;
};

}  // namespace vantrix
