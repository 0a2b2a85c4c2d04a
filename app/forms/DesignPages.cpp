#include "app/forms/DesignPages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/forms/CaptionEdit.h"
#include "app/forms/FormWidgets.h"

namespace vantrix {

TCaptionPage::TCaptionPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet1");
  auto* grid = new QGridLayout(this);
  grid->addWidget(MakeLabel("A. Type the caption text (up to 32 characters)", this), 0, 0, 1, 4);
  Edit1 = new TCaptionEdit(this);
  Edit1->setObjectName("Edit1");
  grid->addWidget(Edit1, 1, 0, 1, 4);
  SpeedButton1 = MakeSpeedButton("SpeedButton1", "F&ont Selection", this);
  SpeedButton11 = MakeSpeedButton("SpeedButton11", "&Advanced", this);
  SpeedButton11->setToolTip("Advanced Text Settings");
  grid->addWidget(SpeedButton1, 2, 0);
  grid->addWidget(SpeedButton11, 2, 1);
  CheckBox12 = MakeCheckBox("CheckBox12", " Kerning and ligatures", false, this);
  CheckBox12->setToolTip("Set the letters with the font's kerning pairs and standard ligatures");
  grid->addWidget(CheckBox12, 2, 2);
  grid->setColumnStretch(3, 1);
}

TBackgroundPage::TBackgroundPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet2");
  auto* grid = new QGridLayout(this);
  grid->addWidget(MakeLabel("B. Select the background color of the picture", this), 0, 0, 1, 4);
  SpeedButton2 = MakeSpeedButton("SpeedButton2", "&Color Selection", this);
  grid->addWidget(SpeedButton2, 1, 0);
  Edit8 = new QLineEdit(this);
  Edit8->setObjectName("Edit8");
  Edit8->setMaxLength(6);
  Edit8->setFixedWidth(90);
  grid->addWidget(Edit8, 1, 1);
  SpeedButton10 = MakeSpeedButton("SpeedButton10", "Set He&x (RGB)", this);
  grid->addWidget(SpeedButton10, 1, 2);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(2, 1);
}

TColorPage::TColorPage(bool button, QWidget* parent) : QWidget(parent) {
  setObjectName(button ? "TabSheet4" : "TabSheet3");
  auto* grid = new QGridLayout(this);
  grid->addWidget(MakeLabel(button ? "D. Select the button color or a texture picture"
                                   : "C. Select the caption color or a texture picture",
                            this),
                  0, 0, 1, 5);
  Color = MakeSpeedButton(button ? "SpeedButton6" : "SpeedButton3", "&Color Selection", this);
  Texture = MakeSpeedButton(button ? "SpeedButton7" : "SpeedButton4", "&Texture Selection", this);
  Clear = MakeSpeedButton(button ? "SpeedButton8" : "SpeedButton5", "C&lear Texture", this);
  grid->addWidget(Color, 1, 0);
  grid->addWidget(Texture, 1, 1);
  grid->addWidget(Clear, 1, 2);
  auto* repeats = new QGroupBox(" Texture repetitions ", this);
  auto* r = new QGridLayout(repeats);
  const int first = button ? 3 : 1;
  for (int i = 0; i < 2; ++i) {
    Repeats[i] = new TArrowSpinBox(QString("SpinEdit%1").arg(first + i), 1, 10, 1, repeats);
    Repeats[i]->setValue(1);
    r->addWidget(MakeLabel(i == 0 ? "Width" : "Height", repeats), i, 0);
    r->addWidget(Repeats[i], i, 1);
  }
  HoldRatio = MakeCheckBox(button ? "CheckBox8" : "CheckBox7", " Constrain proportions", false, repeats);
  r->addWidget(HoldRatio, 0, 2, 2, 1);
  grid->addWidget(repeats, 1, 3, 2, 1);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);
}

TCaptionTuneupPage::TCaptionTuneupPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet5");
  auto* grid = new QGridLayout(this);
  grid->addWidget(MakeLabel("E. Font Outline Complexity", this), 0, 0);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({" Simple", " Normal", " Complex"});
  grid->addWidget(ComboBox1, 1, 0);
  grid->addWidget(MakeLabel("G. Set the text extrusion level", this), 0, 1);
  TrackBar2 = MakeTrackBar("TrackBar2", 10, 310, 10, this);
  grid->addWidget(SliderWithNumber(TrackBar2), 1, 1);
  grid->addWidget(MakeLabel("H. Set the caption height above the button", this), 0, 2);
  TrackBar1 = MakeTrackBar("TrackBar1", 0, 100, 10, this);
  grid->addWidget(SliderWithNumber(TrackBar1), 1, 2);
  grid->addWidget(MakeLabel("Bevel profile", this), 2, 0);
  grid->addWidget(new TProfileRow("ProfileRow1", this), 3, 0);
  CheckBox4 = MakeCheckBox("CheckBox4", " Drop shadow", true, this);
  grid->addWidget(CheckBox4, 2, 2);
  grid->setRowStretch(4, 1);
}

TButtonTuneupPage::TButtonTuneupPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet6");
  auto* grid = new QGridLayout(this);
  SpeedButton12 = MakeSpeedButton("SpeedButton12", "Select &Button Shape", this);
  SpeedButton12->setToolTip("Select button shape");
  grid->addWidget(SpeedButton12, 0, 0);
  CheckBox9 = MakeCheckBox("CheckBox9", " Hide button to make a heading", false, this);
  grid->addWidget(CheckBox9, 1, 0);
  CheckBox6 = MakeCheckBox("CheckBox6", " Hold button size (create similar buttons) ", false, this);
  grid->addWidget(CheckBox6, 2, 0);
  grid->addWidget(MakeLabel("J. Set the button extrusion level", this), 0, 1);
  TrackBar3 = MakeTrackBar("TrackBar3", 0, 300, 10, this);
  grid->addWidget(SliderWithNumber(TrackBar3), 1, 1);
  grid->addWidget(MakeLabel("K. Set the button height above the background", this), 0, 2);
  TrackBar4 = MakeTrackBar("TrackBar4", 0, 100, 10, this);
  grid->addWidget(SliderWithNumber(TrackBar4), 1, 2);
  grid->addWidget(MakeLabel("Rim profile", this), 3, 1);
  grid->addWidget(new TProfileRow("ProfileRow2", this), 4, 1);
  CheckBox5 = MakeCheckBox("CheckBox5", " Drop shadow", true, this);
  grid->addWidget(CheckBox5, 2, 2);
  grid->setRowStretch(5, 1);
}

TLightPage::TLightPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet7");
  auto* grid = new QGridLayout(this);
  SpeedButton13 = MakeSpeedButton("SpeedButton13", "&Color Selection", this);
  grid->addWidget(SpeedButton13, 0, 0);
  grid->addWidget(MakeLabel("Brightness", this), 1, 0);
  TrackBar8 = MakeTrackBar("TrackBar8", 0, 255, 10, this);
  grid->addWidget(SliderWithNumber(TrackBar8), 2, 0);
  // A highlight in the light's colour, its tightness, and a softer light
  // from the opposite side.
  const struct {
    const char* Name;
    const char* Label;
    int Min, Max, Page;
  } look[] = {{"TrackBar10", "Highlight", 0, 1000, 50},
              {"TrackBar11", "Gloss (broad to tight)", 1, 200, 10},
              {"TrackBar12", "Fill light", 0, 1000, 50}};
  int row = 3;
  for (const auto& s : look) {
    grid->addWidget(MakeLabel(s.Label, this), row++, 0);
    grid->addWidget(SliderWithNumber(MakeTrackBar(s.Name, s.Min, s.Max, s.Page, this)), row++, 0);
  }
  auto* marker = new QHBoxLayout;
  marker->addWidget(MakeLabel("L. You can chage the light source position by dragging this marker ", this));
  auto* copy = new QLabel(this);
  copy->setPixmap(MarkerPicture(devicePixelRatioF()));
  marker->addWidget(copy);
  marker->addWidget(MakeLabel("within the upper frame", this));
  marker->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addLayout(marker);
  LightAngles = MakeLabel("", this);
  LightAngles->setObjectName("LightAngles");
  right->addWidget(LightAngles);
  right->addStretch(1);
  grid->addLayout(right, 0, 1, row, 1);
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(1, 1);
}

TLinkPage::TLinkPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet8");
  auto* grid = new QGridLayout(this);
  grid->addWidget(MakeLabel("M. Type the address the button links to", this), 0, 0);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  grid->addWidget(Edit2, 1, 0);
  grid->setRowStretch(2, 1);
}

TRolloverPage::TRolloverPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet9");
  auto* row = new QHBoxLayout(this);
  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName("ToolBar1");
  toolBar->setOrientation(Qt::Vertical);
  auto* group = new QButtonGroup(this);
  const char* captions[3] = {" No effects ", "  Color changes  ", " Extrusions "};
  for (int tag = 0; tag < 3; ++tag) {
    ToolButton[tag] = new QToolButton(toolBar);
    ToolButton[tag]->setObjectName(QString("ToolButton%1").arg(tag + 1));
    ToolButton[tag]->setText(captions[tag]);
    ToolButton[tag]->setCheckable(true);
    group->addButton(ToolButton[tag], tag);
    toolBar->addWidget(ToolButton[tag]);
  }
  ToolButton[0]->setChecked(true);
  row->addWidget(toolBar);

  EffectPanels = new QStackedWidget(this);
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
  const char* colorButtons[3][2] = {{"SpeedButton17", "&Caption Color"},
                                    {"SpeedButton18", "&Button Color"},
                                    {"SpeedButton19", "&Light Color"}};
  for (int i = 0; i < 3; ++i) {
    EffectColor[i] = MakeSpeedButton(colorButtons[i][0], colorButtons[i][1], panel14);
    p14->addWidget(EffectColor[i], 1, i);
  }
  p14->setRowStretch(2, 1);
  auto* panel15 = new QWidget;
  panel15->setObjectName("Panel15");
  auto* p15 = new QGridLayout(panel15);
  p15->addWidget(MakeLabel("Set the caption extrusion level", panel15), 0, 0);
  TrackBar6 = MakeTrackBar("TrackBar6", 10, 310, 10, panel15);
  p15->addWidget(SliderWithNumber(TrackBar6), 1, 0);
  p15->addWidget(MakeLabel("Set the button extrusion level", panel15), 0, 1);
  TrackBar7 = MakeTrackBar("TrackBar7", 0, 300, 10, panel15);
  p15->addWidget(SliderWithNumber(TrackBar7), 1, 1);
  p15->setRowStretch(2, 1);
  EffectPanels->addWidget(panel2);
  EffectPanels->addWidget(panel14);
  EffectPanels->addWidget(panel15);
  row->addWidget(EffectPanels, 1);
}

}  // namespace vantrix
