#include "app/forms/OutputPages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/forms/FormWidgets.h"
#include "app/logic/ExportSize.h"
#include "imaging/ExportSettings.h"

namespace vantrix {

namespace {

// The three presets of the GIF and JPEG tabs, "High quality" chosen.
QGroupBox* SimpleOptions(const QString& name, QWidget* parent, QButtonGroup*& group) {
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
}

}  // namespace

TDimensionsPage::TDimensionsPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet13");
  auto* grid = new QGridLayout(this);
  grid->addWidget(MakeLabel("O. Use rulers to set button dimensions", this), 0, 0, 1, 4);
  trackWidth = MakeTrackBar("trackWidth", kWidthRulerMin, kWidthRulerMax, 5, this);
  trackWidth->setTickPosition(QSlider::TicksAbove);
  trackHeight = MakeTrackBar("trackHeight", kHeightRulerMin, kHeightRulerMax, 5, this, Qt::Vertical);
  trackHeight->setInvertedAppearance(true);  // the top of the ruler is the largest height
  grid->addWidget(trackWidth, 1, 1);
  grid->addWidget(trackHeight, 2, 0);
  Panel13 = new QFrame(this);
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
  edWidth = new QLineEdit(this);
  edWidth->setObjectName("edWidth");
  edHeight = new QLineEdit(this);
  edHeight->setObjectName("edHeight");
  for (QLineEdit* e : {edWidth, edHeight}) e->setFixedWidth(70);
  fields->addWidget(MakeLabel("Width", this), 0, 0);
  fields->addWidget(edWidth, 0, 1);
  fields->addWidget(MakeLabel("Height", this), 1, 0);
  fields->addWidget(edHeight, 1, 1);
  checkConstrain = MakeCheckBox("checkConstrain", " Constrain proportions", true, this);
  fields->addWidget(checkConstrain, 2, 0, 1, 2);
  fields->setRowStretch(3, 1);
  grid->addLayout(fields, 1, 2, 2, 1);
  grid->setColumnStretch(1, 1);
}

// A tab per file type, the export button and the size the pictures get.
TExportPage::TExportPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet14");
  auto* row = new QHBoxLayout(this);
  PageControl2 = new QTabWidget(this);
  PageControl2->setObjectName("PageControl2");
  PageControl2->setDocumentMode(true);  // tabs drawn as buttons
  auto* gif = new QWidget;
  gif->setObjectName("TabSheet15");
  auto* g = new QGridLayout(gif);
  g->addWidget(SimpleOptions("RadioGroup1", gif, RadioGroup1), 0, 0, 1, 2);
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
  j->addWidget(SimpleOptions("RadioGroup2", jpeg, RadioGroup2), 0, 0);
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

  // AVIF: the smallest files at a given error; alpha always lossless.
  auto* avif = new QWidget;
  avif->setObjectName("TabSheet20");
  auto* v = new QGridLayout(avif);
  v->addWidget(MakeLabel("Image Quality ", avif), 0, 0);
  v->addWidget(MakeLabel("Low", avif), 0, 1);
  TrackBar13 = MakeTrackBar("TrackBar13", 1, 100, 10, avif);
  v->addWidget(TrackBar13, 0, 2);
  v->addWidget(MakeLabel("High", avif), 0, 3);
  Edit9 = new QLineEdit(avif);
  Edit9->setObjectName("Edit9");
  Edit9->setFixedWidth(50);
  v->addWidget(Edit9, 0, 4);
  v->addWidget(MakeLabel("Transparency is kept exactly; every current browser shows AVIF.", avif), 1, 0, 1,
               5);
  v->setColumnStretch(5, 1);
  v->setRowStretch(2, 1);
  PageControl2->addTab(avif, "AVIF");
  row->addWidget(PageControl2, 1);
  auto* right = new QVBoxLayout;
  SpeedButton9 = MakeSpeedButton("SpeedButton9", "E&xport 3D Button", this);
  right->addWidget(SpeedButton9);
  CheckBox3 = MakeCheckBox("CheckBox3", " Browser Preview", true, this);
  right->addWidget(CheckBox3);
  CheckBox11 = MakeCheckBox("CheckBox11", "Also for high-density screens (2\u00d7)", false, this);
  right->addWidget(CheckBox11);
  ComboBox8 = new QComboBox(this);
  ComboBox8->setObjectName("ComboBox8");
  ComboBox8->addItems({"Roll-over by script", "Roll-over by CSS (no script)"});
  right->addWidget(ComboBox8);
  // The page offers these first, in one <picture>; browsers take the first they show.
  CheckBox13 = MakeCheckBox("CheckBox13", "Also offer AVIF", false, this);
  right->addWidget(CheckBox13);
  CheckBox14 = MakeCheckBox("CheckBox14", "Also offer WebP", false, this);
  right->addWidget(CheckBox14);
  auto* dims = new QGroupBox(" Image Dimensions ", this);
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
}

}  // namespace vantrix
