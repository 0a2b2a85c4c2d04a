#include "app/forms/Unit3.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/forms/FormWidgets.h"
#include "app/logic/AdvancedOptions.h"
#include "app/logic/TypedValues.h"

namespace vantrix {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName("Form3");
  setWindowTitle(" Advanced Options");
  setModal(true);
  for (int i = 1; i <= 7; ++i) {
    Edit[i] = new QLineEdit(this);
    Edit[i]->setObjectName(QString("Edit%1").arg(i));
  }
  auto* pages = new QTabWidget(this);
  pages->setObjectName("PageControl1");

  auto* rendering = new QWidget;
  auto* r = new QFormLayout(rendering);
  auto* optics = new QGroupBox(" Optics ", rendering);
  auto* o = new QFormLayout(optics);
  o->addRow("X Factor", Edit[1]);
  o->addRow("Y Factor", Edit[2]);
  r->addRow(optics);
  ComboBox1 = new QComboBox(rendering);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({" Flat", " Smooth"});
  r->addRow("Shading", ComboBox1);
  r->addRow("Distance", Edit[7]);
  SpinEdit1 = new TArrowSpinBox("SpinEdit1", kMinDelayMs, kMaxDelayMs, kDelayStepMs, rendering);
  SpinEdit1->setValue(750);
  r->addRow("Rendering delay (msec)", SpinEdit1);
  pages->addTab(rendering, "Rendering");

  auto* margins = new QWidget;
  auto* m = new QFormLayout(margins);
  auto* text = new QGroupBox(" Button Text ", margins);
  auto* t = new QFormLayout(text);
  t->addRow("Top", Edit[3]);
  t->addRow("Bottom", Edit[4]);
  t->addRow("Left", Edit[5]);
  t->addRow("Right", Edit[6]);
  m->addRow(text);
  SpinEdit2 = new TArrowSpinBox("SpinEdit2", kMinViewSize, kMaxViewSize, 5, margins);
  m->addRow("Preview size (%)", SpinEdit2);
  pages->addTab(margins, "Margins");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("Button1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("Button2");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addWidget(pages);
  column->addWidget(buttons);
}

void TForm3::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TForm3::FormShow() {
  const TAdvancedFields f = FieldsOfParams(Params);
  Edit[1]->setText(QString::fromStdString(f.XFactor));
  Edit[2]->setText(QString::fromStdString(f.YFactor));
  ComboBox1->setCurrentIndex(f.Shading);
  Edit[7]->setText(QString::fromStdString(f.Distance));
  SpinEdit1->setValue(f.DelayMs);
  Edit[3]->setText(QString::fromStdString(f.Top));
  Edit[4]->setText(QString::fromStdString(f.Bottom));
  Edit[5]->setText(QString::fromStdString(f.Left));
  Edit[6]->setText(QString::fromStdString(f.Right));
  SpinEdit2->setValue(f.ViewSize);
}

bool TForm3::FormHide() {
  TAdvancedFields f;
  f.XFactor = Edit[1]->text().toStdString();
  f.YFactor = Edit[2]->text().toStdString();
  f.Shading = ComboBox1->currentIndex();
  f.Distance = Edit[7]->text().toStdString();
  f.DelayMs = SpinEdit1->value();
  f.Top = Edit[3]->text().toStdString();
  f.Bottom = Edit[4]->text().toStdString();
  f.Left = Edit[5]->text().toStdString();
  f.Right = Edit[6]->text().toStdString();
  f.ViewSize = SpinEdit2->value();
  TParams copy = Params;
  try {
    TakeBackFields(f, copy);
  } catch (const TConversionError& e) {
    ShowMessageBox(this, e.what());
    return false;
  }
  Params = copy;
  return true;
}

}  // namespace vantrix
