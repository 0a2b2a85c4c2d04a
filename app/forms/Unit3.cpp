#include "app/forms/Unit3.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

#include "app/forms/FormWidgets.h"
#include "app/logic/AdvancedOptions.h"
#include "app/logic/TypedValues.h"

namespace vantrix {

namespace {

// A titled group of labelled fields, as one row of a page's form.
void AddFieldGroup(QFormLayout* page, const char* title,
                   std::initializer_list<std::pair<const char*, QLineEdit*>> fields) {
  auto* group = new QGroupBox(title, page->parentWidget());
  auto* rows = new QFormLayout(group);
  for (const auto& [label, field] : fields) rows->addRow(label, field);
  page->addRow(group);
}

}  // namespace

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
  AddFieldGroup(r, " Optics ", {{"X Factor", Edit[1]}, {"Y Factor", Edit[2]}});
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
  AddFieldGroup(m, " Button Text ",
                {{"Top", Edit[3]}, {"Bottom", Edit[4]}, {"Left", Edit[5]}, {"Right", Edit[6]}});
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

void TForm3::accept() {
  if (FormHide()) QDialog::accept();
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
  } catch (const TFieldError& e) {
    ShowMessageBox(this, QString::fromStdString(e.Field + ": " + e.what()));
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"X Factor", Edit[1]}, {"Y Factor", Edit[2]}, {"Top", Edit[3]},     {"Bottom", Edit[4]},
        {"Left", Edit[5]},     {"Right", Edit[6]},    {"Distance", Edit[7]}};
    for (const auto& [name, field] : fields) {
      if (e.Field != name) continue;
      field->setFocus();
      field->selectAll();
    }
    return false;
  }
  Params = copy;
  return true;
}

}  // namespace vantrix
