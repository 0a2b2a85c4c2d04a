#pragma once
// TForm3: the Advanced Options dialog. It edits its own copy of the scene
// parameters (optics, shading, distance, render delay, margins, preview
// size); the main window copies the record in before showing it and back
// after OK. The rules of the fields are app/logic/AdvancedOptions.h's.

#include <QDialog>

#include "scene/Scene.h"

class QComboBox;
class QLineEdit;

namespace vantrix {

class TArrowSpinBox;

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);

  TParams Params;

  // Fill the fields from Params; take them back, false (after showing the
  // message, with the field focused and its text selected) when a field is
  // not a number, leaving Params as it was.
  void FormShow();
  bool FormHide();

  // OK closes only when every field holds a number: one typing error loses
  // no other edit.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* Edit[8] = {};  // 1..7
  QComboBox* ComboBox1 = nullptr;
  TArrowSpinBox* SpinEdit1 = nullptr;
  TArrowSpinBox* SpinEdit2 = nullptr;
};

}  // namespace vantrix
