// TForm1's pages: one function per page makes its controls and binds them to
// the reactions in Unit1Reactions.cpp.

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/forms/CaptionEdit.h"
#include "app/forms/ChMUnit.h"
#include "app/forms/OpenShape.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit2.h"
#include "app/forms/Unit3.h"
#include "app/forms/Unit4.h"
#include "app/forms/WebUnit.h"
#include "app/logic/PreviewGeometry.h"
#include "app/logic/TypedValues.h"
#include "imaging/ColorText.h"
#include "imaging/ExportSettings.h"
#include "platform/ProgramFolder.h"

namespace vantrix {

QWidget* TForm1::BindCaptionPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet1");
  auto* grid = new QGridLayout(page);
  grid->addWidget(MakeLabel("A. Type the caption text (up to 32 characters)", page), 0, 0, 1, 3);
  Edit1 = new TCaptionEdit(page);
  Edit1->setObjectName("Edit1");
  grid->addWidget(Edit1, 1, 0, 1, 3);
  QToolButton* font = MakeSpeedButton("SpeedButton1", 'F', "ont Selection", page);
  QToolButton* advanced = MakeSpeedButton("SpeedButton11", 'A', "dvanced", page);
  advanced->setToolTip("Advanced Text Settings");
  grid->addWidget(font, 2, 0);
  grid->addWidget(advanced, 2, 1);
  grid->setColumnStretch(2, 1);
  connect(Edit1, &TCaptionEdit::CaptionEdited, this, [this] {
    DeferRebuild();
    SetModified();
  });
  connect(font, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(advanced, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
  return page;
}

QWidget* TForm1::BindBackgroundPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet2");
  auto* grid = new QGridLayout(page);
  grid->addWidget(MakeLabel("B. Select the background color of the picture", page), 0, 0, 1, 4);
  QToolButton* color = MakeSpeedButton("SpeedButton2", 'C', "olor Selection", page);
  grid->addWidget(color, 1, 0);
  Edit8 = new QLineEdit(page);
  Edit8->setObjectName("Edit8");
  Edit8->setMaxLength(6);
  Edit8->setFixedWidth(90);
  grid->addWidget(Edit8, 1, 1);
  QToolButton* hex = MakeSpeedButton("SpeedButton10", 'S', "et Hex (RGB)", page);
  grid->addWidget(hex, 1, 2);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(2, 1);
  connect(color, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
  connect(hex, &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
  return page;
}

QWidget* TForm1::BindColorPage(bool button) {
  auto* page = new QWidget;
  page->setObjectName(button ? "TabSheet4" : "TabSheet3");
  auto* grid = new QGridLayout(page);
  grid->addWidget(MakeLabel(button ? "D. Select the button color or a texture picture"
                                   : "C. Select the caption color or a texture picture",
                            page),
                  0, 0, 1, 5);
  QToolButton* color = MakeSpeedButton(button ? "SpeedButton6" : "SpeedButton3", 'C', "olor Selection", page);
  QToolButton* texture =
      MakeSpeedButton(button ? "SpeedButton7" : "SpeedButton4", 'T', "exture Selection", page);
  QToolButton* clear = MakeSpeedButton(button ? "SpeedButton8" : "SpeedButton5", 'C', "lear Texture", page);
  grid->addWidget(color, 1, 0);
  grid->addWidget(texture, 1, 1);
  grid->addWidget(clear, 1, 2);
  auto* repeats = new QGroupBox(" Texture repetitions ", page);
  auto* r = new QGridLayout(repeats);
  const int first = button ? 3 : 1;
  for (int i = 0; i < 2; ++i) {
    SpinEdit[first + i] = new TArrowSpinBox(QString("SpinEdit%1").arg(first + i), 1, 10, 1, repeats);
    SpinEdit[first + i]->setValue(1);
    r->addWidget(MakeLabel(i == 0 ? "Width" : "Height", repeats), i, 0);
    r->addWidget(SpinEdit[first + i], i, 1);
  }
  QCheckBox* hold =
      MakeCheckBox(button ? "CheckBox8" : "CheckBox7", " Constrain proportions", false, repeats);
  r->addWidget(hold, 0, 2, 2, 1);
  (button ? CheckBox8 : CheckBox7) = hold;
  grid->addWidget(repeats, 1, 3, 2, 1);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);
  connect(color, &QToolButton::clicked, this, [this, button] { ChooseMainColor(button); });
  connect(texture, &QToolButton::clicked, this, [this, button] { ChooseTexture(button); });
  connect(clear, &QToolButton::clicked, this, [this, button] { ClearTexture(button); });
  connect(SpinEdit[first], &QSpinBox::valueChanged, this,
          [this, button] { TextureRepeatsChanged(button, true); });
  connect(SpinEdit[first + 1], &QSpinBox::valueChanged, this,
          [this, button] { TextureRepeatsChanged(button, false); });
  connect(hold, &QCheckBox::clicked, this, [this, button] { HoldRatioClick(button); });
  return page;
}

QWidget* TForm1::BindCaptionTuneupPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet5");
  auto* grid = new QGridLayout(page);
  grid->addWidget(MakeLabel("E. Font Outline Complexity", page), 0, 0);
  ComboBox1 = new QComboBox(page);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({" Simple", " Normal", " Complex"});
  grid->addWidget(ComboBox1, 1, 0);
  grid->addWidget(MakeLabel("G. Set the text extrusion level", page), 0, 1);
  TrackBar2 = MakeTrackBar("TrackBar2", 10, 310, 10, page);
  grid->addWidget(TrackBar2, 1, 1);
  grid->addWidget(MakeLabel("H. Set the caption height above the button", page), 0, 2);
  TrackBar1 = MakeTrackBar("TrackBar1", 0, 100, 10, page);
  grid->addWidget(TrackBar1, 1, 2);
  CheckBox4 = MakeCheckBox("CheckBox4", " Drop shadow", true, page);
  grid->addWidget(CheckBox4, 2, 2);
  grid->setRowStretch(3, 1);
  return page;
}

QWidget* TForm1::BindButtonTuneupPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet6");
  auto* grid = new QGridLayout(page);
  QToolButton* shape = MakeSpeedButton("SpeedButton12", 'S', "elect Button Shape", page);
  shape->setToolTip("Select button shape");
  grid->addWidget(shape, 0, 0);
  CheckBox9 = MakeCheckBox("CheckBox9", " Hide button to make a heading", false, page);
  grid->addWidget(CheckBox9, 1, 0);
  CheckBox6 = MakeCheckBox("CheckBox6", " Hold button size (create similar buttons) ", false, page);
  grid->addWidget(CheckBox6, 2, 0);
  grid->addWidget(MakeLabel("J. Set the button extrusion level", page), 0, 1);
  TrackBar3 = MakeTrackBar("TrackBar3", 0, 300, 10, page);
  grid->addWidget(TrackBar3, 1, 1);
  grid->addWidget(MakeLabel("K. Set the button height above the background", page), 0, 2);
  TrackBar4 = MakeTrackBar("TrackBar4", 0, 100, 10, page);
  grid->addWidget(TrackBar4, 1, 2);
  CheckBox5 = MakeCheckBox("CheckBox5", " Drop shadow", true, page);
  grid->addWidget(CheckBox5, 2, 2);
  grid->setRowStretch(3, 1);
  connect(shape, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);
  return page;
}

QWidget* TForm1::BindLightPage() {
  auto* page = new QWidget;
  TabSheet7 = page;
  page->setObjectName("TabSheet7");
  auto* grid = new QGridLayout(page);
  QToolButton* color = MakeSpeedButton("SpeedButton13", 'C', "olor Selection", page);
  grid->addWidget(color, 0, 0);
  grid->addWidget(MakeLabel("Brightness", page), 1, 0);
  TrackBar8 = MakeTrackBar("TrackBar8", 0, 255, 10, page);
  grid->addWidget(TrackBar8, 2, 0);
  auto* marker = new QHBoxLayout;
  marker->addWidget(MakeLabel("L. You can chage the light source position by dragging this marker ", page));
  auto* copy = new QLabel(page);
  copy->setPixmap(MarkerPicture(devicePixelRatioF()));
  marker->addWidget(copy);
  marker->addWidget(MakeLabel("within the upper frame", page));
  marker->addStretch(1);
  grid->addLayout(marker, 0, 1, 3, 1);
  grid->setColumnStretch(1, 1);
  connect(color, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
  return page;
}

QWidget* TForm1::BindLinkPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet8");
  auto* grid = new QGridLayout(page);
  grid->addWidget(MakeLabel("M. Type the address the button links to", page), 0, 0);
  Edit2 = new QLineEdit(page);
  Edit2->setObjectName("Edit2");
  grid->addWidget(Edit2, 1, 0);
  grid->setRowStretch(2, 1);
  return page;
}

QWidget* TForm1::BindRolloverPage() {
  auto* page = new QWidget;
  TabSheet9 = page;
  page->setObjectName("TabSheet9");
  auto* row = new QHBoxLayout(page);
  auto* toolBar = new QToolBar(page);
  toolBar->setObjectName("ToolBar1");
  toolBar->setOrientation(Qt::Vertical);
  auto* group = new QButtonGroup(page);
  const char* captions[3] = {" No effects ", "  Color changes  ", " Extrusions "};
  for (int tag = 0; tag < 3; ++tag) {
    ToolButton[tag] = new QToolButton(toolBar);
    ToolButton[tag]->setObjectName(QString("ToolButton%1").arg(tag + 1));
    ToolButton[tag]->setText(captions[tag]);
    ToolButton[tag]->setCheckable(true);
    group->addButton(ToolButton[tag], tag);
    toolBar->addWidget(ToolButton[tag]);
    connect(ToolButton[tag], &QToolButton::clicked, this, [this, tag] { ToolButton1Click(tag); });
  }
  ToolButton[0]->setChecked(true);
  row->addWidget(toolBar);

  EffectPanels = new QStackedWidget(page);
  auto* panel2 = new QWidget;
  panel2->setObjectName("Panel2");
  auto* p2 = new QVBoxLayout(panel2);
  QLabel* warning = MakeLabel("For advanced users only", panel2, true);
  warning->setStyleSheet("color: red");
  p2->addWidget(warning);
  p2->addWidget(
      MakeLabel("If you are unfamiliar with HTML and JavaScript just keep this page intact", panel2));
  p2->addWidget(MakeLabel("N. Select roll-over effects and adjust their parameters", panel2));
  p2->addStretch(1);
  auto* panel14 = new QWidget;
  panel14->setObjectName("Panel14");
  auto* p14 = new QGridLayout(panel14);
  p14->addWidget(MakeLabel("Select colors for changes during animation", panel14), 0, 0, 1, 3);
  const char* colorButtons[3][2] = {
      {"SpeedButton17", "aption Color"}, {"SpeedButton18", "utton Color"}, {"SpeedButton19", "ight Color"}};
  const char letters[3] = {'C', 'B', 'L'};
  for (int i = 0; i < 3; ++i) {
    QToolButton* b = MakeSpeedButton(colorButtons[i][0], letters[i], colorButtons[i][1], panel14);
    p14->addWidget(b, 1, i);
    connect(b, &QToolButton::clicked, this, [this, i] { EffectColorClick(i); });
  }
  p14->setRowStretch(2, 1);
  auto* panel15 = new QWidget;
  panel15->setObjectName("Panel15");
  auto* p15 = new QGridLayout(panel15);
  p15->addWidget(MakeLabel("Set the caption extrusion level", panel15), 0, 0);
  TrackBar6 = MakeTrackBar("TrackBar6", 10, 310, 10, panel15);
  p15->addWidget(TrackBar6, 1, 0);
  p15->addWidget(MakeLabel("Set the button extrusion level", panel15), 0, 1);
  TrackBar7 = MakeTrackBar("TrackBar7", 0, 300, 10, panel15);
  p15->addWidget(TrackBar7, 1, 1);
  p15->setRowStretch(2, 1);
  EffectPanels->addWidget(panel2);
  EffectPanels->addWidget(panel14);
  EffectPanels->addWidget(panel15);
  row->addWidget(EffectPanels, 1);
  return page;
}

QWidget* TForm1::BindDimensionsPage() {
  auto* page = new QWidget;
  TabSheet13 = page;
  page->setObjectName("TabSheet13");
  auto* grid = new QGridLayout(page);
  grid->addWidget(MakeLabel("O. Use rulers to set button dimensions", page), 0, 0, 1, 4);
  trackWidth = MakeTrackBar("trackWidth", kWidthRulerMin, kWidthRulerMax, 5, page);
  trackWidth->setTickPosition(QSlider::TicksAbove);
  trackHeight = MakeTrackBar("trackHeight", kHeightRulerMin, kHeightRulerMax, 5, page, Qt::Vertical);
  trackHeight->setInvertedAppearance(true);  // the top of the ruler is the largest height
  grid->addWidget(trackWidth, 1, 1);
  grid->addWidget(trackHeight, 2, 0);
  Panel13 = new QFrame(page);
  Panel13->setObjectName("Panel13");
  Panel13->setAutoFillBackground(true);
  Panel13->setFrameShape(QFrame::StyledPanel);
  auto* inner = new QVBoxLayout(Panel13);
  Image4 = new QLabel(Panel13);
  Image4->setObjectName("Image4");
  Image4->setAlignment(Qt::AlignCenter);
  inner->addWidget(Image4);
  grid->addWidget(Panel13, 2, 1);
  auto* fields = new QGridLayout;
  edWidth = new QLineEdit(page);
  edWidth->setObjectName("edWidth");
  edHeight = new QLineEdit(page);
  edHeight->setObjectName("edHeight");
  for (QLineEdit* e : {edWidth, edHeight}) {
    e->setFixedWidth(70);
    e->installEventFilter(this);
  }
  fields->addWidget(MakeLabel("Width", page), 0, 0);
  fields->addWidget(edWidth, 0, 1);
  fields->addWidget(MakeLabel("Height", page), 1, 0);
  fields->addWidget(edHeight, 1, 1);
  checkConstrain = MakeCheckBox("checkConstrain", " Constrain proportions", true, page);
  fields->addWidget(checkConstrain, 2, 0, 1, 2);
  fields->setRowStretch(3, 1);
  grid->addLayout(fields, 1, 2, 2, 1);
  grid->setColumnStretch(1, 1);
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

// The Export page: a tab per file type, the export button and the size the
// pictures get. What the controls do is in Unit1Export.cpp.
QWidget* TForm1::BindExportPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet14");
  auto* row = new QHBoxLayout(page);
  PageControl2 = new QTabWidget(page);
  PageControl2->setObjectName("PageControl2");
  PageControl2->setDocumentMode(true);  // tabs drawn as buttons
  auto simpleOptions = [this](const QString& name, QWidget* parent, QButtonGroup*& group) {
    auto* box = new QGroupBox(" Simple Options ", parent);
    box->setObjectName(name);
    auto* s = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    int id = 0;
    for (const char* item : {" Fast download", " Medium quality", " High quality"}) {
      auto* radio = new QRadioButton(item, box);
      group->addButton(radio, id++);
      s->addWidget(radio);
    }
    group->button(2)->setChecked(true);
    return box;
  };
  auto* gif = new QWidget;
  gif->setObjectName("TabSheet15");
  auto* g = new QGridLayout(gif);
  g->addWidget(simpleOptions("RadioGroup1", gif, RadioGroup1), 0, 0, 1, 2);
  Button4 = new QToolButton(gif);
  Button4->setObjectName("Button4");
  Button4->setText("Advanced  >>");
  g->addWidget(Button4, 1, 0);
  CheckBox2 = MakeCheckBox("CheckBox2", "Transparency", true, gif);
  g->addWidget(CheckBox2, 1, 1);
  GroupBox2 = new QGroupBox(" Advanced Options ", gif);
  GroupBox2->setObjectName("GroupBox2");
  auto* a = new QGridLayout(GroupBox2);
  ComboBox3 = AddList(GroupBox2, a, "ComboBox3", "Dithering", kDitherNames, 7, 0);
  ComboBox4 = AddList(GroupBox2, a, "ComboBox4", "Palette", kPaletteNames, 8, 1);
  ComboBox5 = AddList(GroupBox2, a, "ComboBox5", "Colors", kColorNames, 6, 2);
  g->addWidget(GroupBox2, 0, 2, 2, 1);
  g->setColumnStretch(3, 1);
  GroupBox2->hide();
  PageControl2->addTab(gif, " GIF");
  auto* jpeg = new QWidget;
  jpeg->setObjectName("TabSheet16");
  auto* j = new QGridLayout(jpeg);
  j->addWidget(simpleOptions("RadioGroup2", jpeg, RadioGroup2), 0, 0);
  Button5 = new QToolButton(jpeg);
  Button5->setObjectName("Button5");
  Button5->setText("Advanced  >>");
  j->addWidget(Button5, 1, 0);
  GroupBox3 = new QGroupBox(" Advanced Options ", jpeg);
  GroupBox3->setObjectName("GroupBox3");
  auto* q = new QGridLayout(GroupBox3);
  q->addWidget(MakeLabel("Image Quality ", GroupBox3), 0, 0, 1, 3);
  TrackBar5 = MakeTrackBar("TrackBar5", 1, 100, 10, GroupBox3);
  TrackBar5->setValue(90);
  q->addWidget(MakeLabel("Low", GroupBox3), 1, 0);
  q->addWidget(TrackBar5, 1, 1);
  q->addWidget(MakeLabel("High", GroupBox3), 1, 2);
  Edit4 = new QLineEdit("90", GroupBox3);
  Edit4->setObjectName("Edit4");
  Edit4->setReadOnly(true);
  Edit4->setFixedWidth(50);
  q->addWidget(Edit4, 0, 3);
  j->addWidget(GroupBox3, 0, 1, 2, 1);
  j->setColumnStretch(2, 1);
  GroupBox3->hide();
  PageControl2->addTab(jpeg, "JPEG");
  auto* bitmap = new QWidget;
  bitmap->setObjectName("TabSheet17");
  auto* b = new QVBoxLayout(bitmap);
  b->addWidget(MakeLabel("Just press \"Export\" button", bitmap));
  b->addStretch(1);
  PageControl2->addTab(bitmap, "Bitmap");

  // True alpha: the button looks right on any page colour.
  auto* png = new QWidget;
  png->setObjectName("TabSheet18");
  auto* p = new QGridLayout(png);
  auto* kind = new QGroupBox(" Picture ", png);
  kind->setObjectName("RadioGroup3");
  auto* k = new QVBoxLayout(kind);
  RadioGroup3 = new QButtonGroup(kind);
  int id = 0;
  for (const char* item : {" True color with alpha", " Palette with alpha (smaller)"}) {
    auto* radio = new QRadioButton(item, kind);
    RadioGroup3->addButton(radio, id++);
    k->addWidget(radio);
  }
  p->addWidget(kind, 0, 0, 2, 1);
  auto* indexed = new QGroupBox(" Palette ", png);
  indexed->setObjectName("GroupBox4");
  auto* x = new QGridLayout(indexed);
  ComboBox6 = AddList(indexed, x, "ComboBox6", "Colors", kColorNames, 6, 0);
  ComboBox7 = AddList(indexed, x, "ComboBox7", "Dithering", kDitherNames, 7, 1);
  p->addWidget(indexed, 0, 1, 2, 1);
  p->setColumnStretch(2, 1);
  PageControl2->addTab(png, "PNG");

  auto* webp = new QWidget;
  webp->setObjectName("TabSheet19");
  auto* w = new QGridLayout(webp);
  CheckBox10 = MakeCheckBox("CheckBox10", "Lossless", true, webp);
  w->addWidget(CheckBox10, 0, 0, 1, 4);
  w->addWidget(MakeLabel("Image Quality ", webp), 1, 0);
  w->addWidget(MakeLabel("Low", webp), 1, 1);
  TrackBar9 = MakeTrackBar("TrackBar9", 1, 100, 10, webp);
  w->addWidget(TrackBar9, 1, 2);
  w->addWidget(MakeLabel("High", webp), 1, 3);
  Edit5 = new QLineEdit(webp);
  Edit5->setObjectName("Edit5");
  Edit5->setReadOnly(true);
  Edit5->setFixedWidth(50);
  w->addWidget(Edit5, 1, 4);
  w->addWidget(MakeLabel("Transparency is kept exactly, also when the colors are not.", webp), 2, 0, 1, 5);
  w->setColumnStretch(5, 1);
  w->setRowStretch(3, 1);
  PageControl2->addTab(webp, "WebP");
  row->addWidget(PageControl2, 1);
  auto* right = new QVBoxLayout;
  QToolButton* exportButton = MakeSpeedButton("SpeedButton9", 'E', "xport 3D Button", page);
  connect(exportButton, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
  right->addWidget(exportButton);
  CheckBox3 = MakeCheckBox("CheckBox3", " Browser Preview", true, page);
  right->addWidget(CheckBox3);
  CheckBox11 = MakeCheckBox("CheckBox11", "Also for high-density screens (2\u00d7)", false, page);
  right->addWidget(CheckBox11);
  ComboBox8 = new QComboBox(page);
  ComboBox8->setObjectName("ComboBox8");
  ComboBox8->addItems({"Roll-over by script", "Roll-over by CSS (no script)"});
  right->addWidget(ComboBox8);
  auto* dims = new QGroupBox(" Image Dimensions ", page);
  dims->setObjectName("GroupBox1");
  auto* d = new QGridLayout(dims);
  for (int i = 0; i < 2; ++i) {
    auto* e = new QLineEdit(dims);
    e->setObjectName(i == 0 ? "Edit6" : "Edit7");
    e->setReadOnly(true);
    d->addWidget(MakeLabel(i == 0 ? "Width" : "Height", dims), i, 0);
    d->addWidget(e, i, 1);
    (i == 0 ? Edit6 : Edit7) = e;
  }
  right->addWidget(dims);
  right->addStretch(1);
  row->addLayout(right);
  ExportControlsFromSettings();
  ConnectExportPage();
  return page;
}

}  // namespace vantrix
