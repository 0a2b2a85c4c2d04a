#pragma once
// The main window's output pages: the export size with its rulers, and the
// export's file types and options. Like the design pages (DesignPages.h) they
// only make and lay out their controls; the window binds them.

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTabWidget;
class QToolButton;

namespace vantrix {

// "Dimensions": rulers and fields for the exported size, and a preview at it.
class TDimensionsPage : public QWidget {
 public:
  explicit TDimensionsPage(QWidget* parent = nullptr);
  QSlider* trackWidth{};
  QSlider* trackHeight{};
  QFrame* Panel13{};
  QLabel* Image4{};
  QLineEdit* edWidth{};
  QLineEdit* edHeight{};
  QCheckBox* checkConstrain{};
};

// "Export 3D Button": a tab per file type, the export button, the browser
// preview, high-density pictures, the kind of roll-over and the size.
class TExportPage : public QWidget {
 public:
  explicit TExportPage(QWidget* parent = nullptr);
  QTabWidget* PageControl2{};
  // GIF
  QButtonGroup* RadioGroup1{};
  QToolButton* Button4{};
  QCheckBox* CheckBox2{};
  QGroupBox* GroupBox2{};
  QComboBox* ComboBox3{};
  QComboBox* ComboBox4{};
  QComboBox* ComboBox5{};
  // JPEG
  QButtonGroup* RadioGroup2{};
  QToolButton* Button5{};
  QGroupBox* GroupBox3{};
  QSlider* TrackBar5{};
  QLineEdit* Edit4{};
  // PNG
  QButtonGroup* RadioGroup3{};  // RGBA, indexed
  QComboBox* ComboBox6{};       // indexed: colours
  QComboBox* ComboBox7{};       // indexed: dithering
  // WebP
  QCheckBox* CheckBox10{};  // lossless
  QSlider* TrackBar9{};     // quality
  QLineEdit* Edit5{};
  // AVIF
  QSlider* TrackBar13{};  // quality
  QLineEdit* Edit9{};
  // Beside the tabs.
  QToolButton* SpeedButton9{};
  QCheckBox* CheckBox3{};   // browser preview
  QCheckBox* CheckBox11{};  // also for high-density screens
  QComboBox* ComboBox8{};   // roll-over by script or by CSS
  QCheckBox* CheckBox13{};  // also offer AVIF
  QCheckBox* CheckBox14{};  // also offer WebP
  QLineEdit* Edit6{};
  QLineEdit* Edit7{};
};

}  // namespace vantrix
