#pragma once
// The main window's pages, one widget class each. A page makes and lays out
// its controls, with the object names the rest of the program and the tests
// know them by; the window binds them to the editor's operations
// (app/logic/DesignEdits.h) and to its dialogs. The pages that shape the
// design are here; the output pages (dimensions, export) in OutputPages.h.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QStackedWidget;
class QToolButton;

namespace vantrix {

class TArrowSpinBox;
class TCaptionEdit;

// "Caption": the caption text, its font and the advanced text settings.
class TCaptionPage : public QWidget {
 public:
  explicit TCaptionPage(QWidget* parent = nullptr);
  TCaptionEdit* Edit1{};
  QToolButton* SpeedButton1{};   // font
  QToolButton* SpeedButton11{};  // advanced text settings
  QCheckBox* CheckBox12{};       // the font's kerning and standard ligatures
};

// "Background": the picture's background colour, chosen or typed in hex.
class TBackgroundPage : public QWidget {
 public:
  explicit TBackgroundPage(QWidget* parent = nullptr);
  QToolButton* SpeedButton2{};  // colour dialog
  QLineEdit* Edit8{};
  QToolButton* SpeedButton10{};  // set the typed hex colour
};

// "Caption Color" and "Button Color": the main colour or a tiled texture.
class TColorPage : public QWidget {
 public:
  TColorPage(bool button, QWidget* parent = nullptr);
  QToolButton* Color{};
  QToolButton* Texture{};
  QToolButton* Clear{};
  TArrowSpinBox* Repeats[2]{};  // across, down
  QCheckBox* HoldRatio{};
};

// "Caption Tuneup": outline detail, extrusion and the caption's shadow.
class TCaptionTuneupPage : public QWidget {
 public:
  explicit TCaptionTuneupPage(QWidget* parent = nullptr);
  QComboBox* ComboBox1{};
  QSlider* TrackBar2{};
  QSlider* TrackBar1{};
  QCheckBox* CheckBox4{};
};

// "Button Tuneup": the shape, hiding the button, holding its size, its
// extrusion and shadow.
class TButtonTuneupPage : public QWidget {
 public:
  explicit TButtonTuneupPage(QWidget* parent = nullptr);
  QToolButton* SpeedButton12{};
  QCheckBox* CheckBox9{};
  QCheckBox* CheckBox6{};
  QSlider* TrackBar3{};
  QSlider* TrackBar4{};
  QCheckBox* CheckBox5{};
};

// "Light Source": the light's colour and the brightness; the direction is the
// marker over the preview.
class TLightPage : public QWidget {
 public:
  explicit TLightPage(QWidget* parent = nullptr);
  QToolButton* SpeedButton13{};
  QSlider* TrackBar8{};
  QLabel* LightAngles{};  // the marker's place as the light's two angles
};

// "Link": the address the exported button links to.
class TLinkPage : public QWidget {
 public:
  explicit TLinkPage(QWidget* parent = nullptr);
  QLineEdit* Edit2{};
};

// "Roll-over": the kind of effect and the second picture's colours or depths.
class TRolloverPage : public QWidget {
 public:
  explicit TRolloverPage(QWidget* parent = nullptr);
  QToolButton* ToolButton[3]{};  // none, colour changes, extrusions
  QStackedWidget* EffectPanels{};
  QToolButton* EffectColor[3]{};  // caption, button, light
  QSlider* TrackBar6{};
  QSlider* TrackBar7{};
};

}  // namespace vantrix
