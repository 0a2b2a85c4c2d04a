// TForm1's pages: each page class (DesignPages.h, OutputPages.h) makes its
// controls; here the window keeps its handles on them and binds them to the
// editor's operations and its dialogs. The controls of one number are bound
// by BindValueControls (Unit1Reactions.cpp).

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <string>

#include "app/forms/CaptionEdit.h"
#include "app/forms/DesignPages.h"
#include "app/forms/OutputPages.h"
#include "app/forms/Unit1.h"
#include "app/logic/ExportSize.h"
#include "app/logic/TypedValues.h"

namespace vantrix {

QWidget* TForm1::BindCaptionPage() {
  auto* page = new TCaptionPage;
  Edit1 = page->Edit1;
  connect(Edit1, &TCaptionEdit::CaptionEdited, this, [this] {
    DeferRebuild();
    SetModified();
  });
  connect(page->SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(page->SpeedButton11, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
  return page;
}

QWidget* TForm1::BindBackgroundPage() {
  auto* page = new TBackgroundPage;
  Edit8 = page->Edit8;
  connect(page->SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
  connect(page->SpeedButton10, &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
  return page;
}

QWidget* TForm1::BindColorPage(bool button) {
  auto* page = new TColorPage(button);
  const int first = button ? 3 : 1;
  SpinEdit[first] = page->Repeats[0];
  SpinEdit[first + 1] = page->Repeats[1];
  (button ? CheckBox8 : CheckBox7) = page->HoldRatio;
  connect(page->Color, &QToolButton::clicked, this, [this, button] { ChooseMainColor(button); });
  connect(page->Texture, &QToolButton::clicked, this, [this, button] { ChooseTexture(button); });
  connect(page->Clear, &QToolButton::clicked, this, [this, button] { ClearTexture(button); });
  connect(SpinEdit[first], &QSpinBox::valueChanged, this,
          [this, button] { TextureRepeatsChanged(button, true); });
  connect(SpinEdit[first + 1], &QSpinBox::valueChanged, this,
          [this, button] { TextureRepeatsChanged(button, false); });
  connect(page->HoldRatio, &QCheckBox::clicked, this, [this, button] { HoldRatioClick(button); });
  return page;
}

QWidget* TForm1::BindCaptionTuneupPage() {
  auto* page = new TCaptionTuneupPage;
  ComboBox1 = page->ComboBox1;
  TrackBar2 = page->TrackBar2;
  TrackBar1 = page->TrackBar1;
  CheckBox4 = page->CheckBox4;
  return page;
}

QWidget* TForm1::BindButtonTuneupPage() {
  auto* page = new TButtonTuneupPage;
  CheckBox9 = page->CheckBox9;
  CheckBox6 = page->CheckBox6;
  TrackBar3 = page->TrackBar3;
  TrackBar4 = page->TrackBar4;
  CheckBox5 = page->CheckBox5;
  connect(page->SpeedButton12, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);
  return page;
}

QWidget* TForm1::BindLightPage() {
  auto* page = new TLightPage;
  TabSheet7 = page;
  TrackBar8 = page->TrackBar8;
  LightAngles = page->LightAngles;
  connect(page->SpeedButton13, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
  return page;
}

QWidget* TForm1::BindLinkPage() {
  auto* page = new TLinkPage;
  Edit2 = page->Edit2;
  return page;
}

QWidget* TForm1::BindRolloverPage() {
  auto* page = new TRolloverPage;
  TabSheet9 = page;
  EffectPanels = page->EffectPanels;
  TrackBar6 = page->TrackBar6;
  TrackBar7 = page->TrackBar7;
  for (int tag = 0; tag < 3; ++tag) {
    ToolButton[tag] = page->ToolButton[tag];
    connect(ToolButton[tag], &QToolButton::clicked, this, [this, tag] { ToolButton1Click(tag); });
    connect(page->EffectColor[tag], &QToolButton::clicked, this, [this, tag] { EffectColorClick(tag); });
  }
  return page;
}

QWidget* TForm1::BindDimensionsPage() {
  auto* page = new TDimensionsPage;
  TabSheet13 = page;
  trackWidth = page->trackWidth;
  trackHeight = page->trackHeight;
  Panel13 = page->Panel13;
  Image4 = page->Image4;
  edWidth = page->edWidth;
  edHeight = page->edHeight;
  checkConstrain = page->checkConstrain;
  // Keys that are no digits are swallowed by the window's filter.
  for (QLineEdit* e : {edWidth, edHeight}) e->installEventFilter(this);
  connect(trackWidth, &QSlider::valueChanged, this, [this](int v) {
    if (!rulersActive_) return;
    if (v != size_.ExportWidth) size_.ExportWidth = v;
    ApplyExportSize(true);
  });
  connect(trackHeight, &QSlider::valueChanged, this, [this](int v) {
    if (!rulersActive_) return;
    const int h = HeightOfRuler(v);
    if (h != size_.ExportHeight) size_.ExportHeight = h;
    ApplyExportSize(false);
  });
  auto typed = [this](QLineEdit* e, bool width) {
    connect(e, &QLineEdit::textEdited, this, [this, e, width] {
      if (!rulersActive_) return;
      const std::string digits = DigitsOnly(e->text().toStdString());
      if (e->text().isEmpty() || digits.empty()) return;
      const int value = static_cast<int>(std::min<long long>(std::stoll(digits.substr(0, 9)), 1000000));
      (width ? size_.ExportWidth : size_.ExportHeight) = value;
      ApplyExportSize(width);
    });
  };
  typed(edWidth, true);
  typed(edHeight, false);
  return page;
}

QWidget* TForm1::BindExportPage() {
  auto* page = new TExportPage;
  PageControl2 = page->PageControl2;
  RadioGroup1 = page->RadioGroup1;
  Button4 = page->Button4;
  CheckBox2 = page->CheckBox2;
  GroupBox2 = page->GroupBox2;
  ComboBox3 = page->ComboBox3;
  ComboBox4 = page->ComboBox4;
  ComboBox5 = page->ComboBox5;
  RadioGroup2 = page->RadioGroup2;
  Button5 = page->Button5;
  GroupBox3 = page->GroupBox3;
  TrackBar5 = page->TrackBar5;
  Edit4 = page->Edit4;
  RadioGroup3 = page->RadioGroup3;
  ComboBox6 = page->ComboBox6;
  ComboBox7 = page->ComboBox7;
  CheckBox10 = page->CheckBox10;
  TrackBar9 = page->TrackBar9;
  Edit5 = page->Edit5;
  CheckBox3 = page->CheckBox3;
  CheckBox11 = page->CheckBox11;
  TrackBar13 = page->TrackBar13;
  Edit9 = page->Edit9;
  CheckBox13 = page->CheckBox13;
  CheckBox14 = page->CheckBox14;
  ComboBox8 = page->ComboBox8;
  Edit6 = page->Edit6;
  Edit7 = page->Edit7;
  connect(page->SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
  ExportControlsFromSettings();
  ConnectExportPage();
  return page;
}

}  // namespace vantrix
