#pragma once
// TForm1: the main window. A preview of the button above eleven editing
// pages, a thin progress bar and a four-panel status bar. The window owns the
// scene's design for the whole run; each control hands its value to the scene
// and asks the render schedule (app/logic/RenderSchedule.h) for a rebuild or a
// refresh, which the 250 ms timer hands to the preview worker
// (app/logic/PreviewWorker.h) once the user has stopped changing things. The
// window's thread never draws: the preview and the export render on threads
// of their own. The document commands (File menu, welcome dialog, settings
// file) are in Unit1Documents.cpp.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/forms/FormWidgets.h"
#include "app/logic/DesignEdits.h"
#include "app/logic/EditHistory.h"
#include "app/logic/ExportSize.h"
#include "app/logic/PreviewWorker.h"
#include "app/logic/ProgramSettings.h"
#include "app/logic/RenderSchedule.h"
#include "imaging/ExportSettings.h"
#include "platform/RgbaPicture.h"
#include "scene/Scene.h"

class QAction;
class QCheckBox;
class QMenu;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QToolButton;

namespace vantrix {

class TActualSizeForm;
class TCaptionEdit;
class TCharMap;
class TForm2;
struct TExportPhases;
class TForm3;
class TForm4;
class TOpenShForm;
class TWebForm;
class TSetForm;
class TRecovery;

struct TForm1Options {
  std::string ProgramFolder;   // ending with '/'
  std::string InitialFile;     // opened instead of asking the welcome dialog when not empty
  std::string RecoveryFolder;  // where recovery copies go; the user's state folder when empty
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(const TForm1Options& options, QWidget* parent = nullptr);
  ~TForm1() override;

  TScene& Scene() { return *scene_; }
  const TRenderSchedule& Schedule() const { return schedule_; }
  const TExportSize& ExportSize() const { return size_; }
  bool Modified() const { return modified_; }
  const TEditHistory& History() const { return history_; }
  // The open work's own file, which Save writes; empty for a new work.
  const std::string& WorkFile() const { return workFile_; }
  int RebuildCount() const { return rebuilds_; }  // rebuilt previews shown so far, for tests
  int RenderCount() const { return renders_; }    // previews shown so far
  // Blocks until the preview worker is idle and its results are shown; for
  // tests and benchmarks, which step the window's timer themselves.
  void WaitForPreview();
  // Blocks until the export in progress has made its pictures and asked for
  // its file (the dialog runs its own loop), and is written.
  void WaitForExport();
  bool LiveDrag() const { return settings_.LiveDrag; }
  const std::string& ProgramFolder() const { return programFolder_; }
  const TProgramSettings& Settings() const { return settings_; }
  TForm3* AdvancedOptionsDialog() const { return form3_; }
  TWebForm* WebForm() const { return webForm_; }
  TSetForm* SetForm() const { return setForm_; }
  TForm4* WelcomeDialog() const { return form4_; }
  const TExportSettings& ExportSettings() const { return export_; }
  uint64_t ImageFileSize() const { return imageFileSize_; }
  uint64_t Phase2FileSize() const { return phase2FileSize_; }

  // Operations of the window. The preview is asked for here and shown when
  // the worker is done.
  void RebuildPreview() { StartPreview(TPreviewWork::Rebuild); }
  void RefreshPreview() { StartPreview(TPreviewWork::Refresh); }
  void ShowPhases();
  void ControlsFromScene();
  void OpenWorkFile(const std::string& fileName);
  void SaveWorkIcon(const std::string& fileName, const std::string& section);

 signals:
  // The main preview's picture has been replaced (it is painted on the next pass of the event loop).
  void PreviewShown();

 public slots:
  void Timer1Timer();
  void New1Click();
  void Newfromtemplate1Click();
  void Open1Click();
  // Saves the work to its own file, or asks for one when it has none. False
  // when the user cancelled the save dialog.
  bool Save2Click();
  // Always asks, proposing the work's own name. False when cancelled.
  bool SaveAs1Click();
  void Undo1Click();
  void CopyPicture1Click();
  void ActualSize1Click();
  void Redo1Click();
  void OpenRecent(const std::string& path);
  // A file dropped on the window (see dropEvent); globalPos places the menu
  // that asks where a picture goes.
  void OpenDropped(const std::string& path, QPoint globalPos);
  bool ShapeInLibrary(const std::string& path);
  void SetButtonShape(int32_t butType, const std::string& shapeName);
  void AdvancedOptions1Click();
  void SpeedButton9Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Construction, one function per page.
  void CreateLayout();
  void CreateMenus();
  QWidget* BindCaptionPage();
  QWidget* BindBackgroundPage();
  QWidget* BindColorPage(bool button);
  QWidget* BindCaptionTuneupPage();
  QWidget* BindButtonTuneupPage();
  QWidget* BindLightPage();
  QWidget* BindLinkPage();
  QWidget* BindRolloverPage();
  QWidget* BindDimensionsPage();
  QWidget* BindExportPage();
  void PageChanged(int index);

  // Reactions.
  void DeferRebuild(int delay = -1);
  void DeferRefresh(int delay = -1);
  void DeferTextureRebuild(int delay = -1);
  // Records an edit in the undo history: `work` puts it on screen again.
  void NoteEdit(TPreviewWork work);
  void SetModified() { NoteEdit(TPreviewWork::Rebuild); }
  TDesign CurrentDesign() const;
  void ApplyDesign(const TDesign& before, const TDesign& design, TPreviewWork work);
  void StepHistory(bool redo);
  // The design shown from now on, as saved: a fresh history (New, Open).
  void StartHistory(const std::string& workFile);
  void ShowEditState();  // Undo/Redo texts, the title and its modified mark
  void FillRecentMenu();
  void WriteRecoveryCopy();
  // Offers the copies a crashed run left; true when one was opened.
  bool OfferRecovery();
  bool SaveTo(const std::string& name, bool asTemplate);
  bool CaptionEmpty() const;
  // Hands the design to the preview worker. A drag frame leaves the
  // schedule alone: the full picture still comes after the release.
  void StartPreview(TPreviewWork work, bool withPhase = false, bool drag = false);
  void ShowPreviewResult(TPreviewResult result);
  void ShowBlankPreview();
  // The texture as loaded, for the worker: the same pointer while it is unchanged.
  std::shared_ptr<const TPicture> HandedTexture(bool button);
  void SetDragging(bool dragging);
  // Runs `work` on the export thread, then `then` on the window's, with the
  // message of what `work` threw (empty when nothing).
  void RunExportStep(std::function<void()> work, std::function<void(const std::string& error)> then);

  // Handlers.
  void SpeedButton1Click();
  // Text and shape dialogs (Unit1Dialogs.cpp).
  void SpeedButton11Click();
  void SpeedButton12Click();
  void ChooseBackground(TColor color);
  void SpeedButton2Click();
  void SpeedButton10Click();
  void ChooseMainColor(bool button);
  void ChooseTexture(bool button);
  void ClearTexture(bool button);
  void TextureRepeatsChanged(bool button, bool width);
  void HoldRatioClick(bool button);
  // The controls of one number, bound to their edits by object name.
  void BindValueControls();
  void ApplyEdit(const TEditWork& work);
  void SpeedButton13Click();
  void ToolButton1Click(int tag);
  void SetEffectType(int type);
  void ShowEffectButtons(int type);
  void EffectColorClick(int which);
  void MarkerFromLight();
  void ShowLightAngles();
  void SetLightFromMarker(int x, int y);
  void TabSheet13Show();
  void ApplyExportSize(bool widthChanged);
  void SetDimensionControls();
  void ShowSizePreview();
  void Panel1Resize();
  void LayoutPreview();

  // The Export page (Unit1Export.cpp).
  bool SnapshotForExport();
  void ExportButton();
  void RenderExportPicture(std::function<void(const TRgbaPicture&, const std::vector<uint8_t>&)> then);
  void SaveExport(std::shared_ptr<TExportPhases> phases);
  void WriteExport(const std::shared_ptr<TExportPhases>& phases, const TExportSettings& settings,
                   const std::string& chosen);
  void ShowPage(const std::string& path);
  void ExportSet1Click();
  // Asks before replacing those of the files that exist; true when none does or the user agrees.
  bool ConfirmReplace(const std::vector<std::string>& files);
  void ShowInBrowser(const std::string& relativePath);  // a page of the program folder
  void TabSheet14Show();
  void RadioGroup1Click(int index);
  void RadioGroup2Click(int index);
  void Button4Click();
  void Button5Click();
  void ComboBox4Change();
  void TrackBar5Change();
  void WebControlsFromSettings();
  void ConnectExportPage();
  void ExportControlsFromSettings();

  // Documents (Unit1Documents.cpp).
  void FormShow();
  bool ConfirmReplace(const QString& title);
  void WriteSettings();
  void RunWelcome(const QString& caption, int mode, bool cancellable = false);
  std::string TextureDialogFolder() const;

  std::unique_ptr<TScene> scene_;  // the design; never drawn on the window's thread
  std::unique_ptr<TPreviewWorker> worker_;
  std::shared_ptr<const TPicture> textTexture_, buttonTexture_;  // as last handed to the worker
  uint64_t shownGeneration_ = 0;
  bool dragging_ = false;  // a slider held or the light marker dragged
  // The export in progress: its own copy of the scene, drawn on its own thread.
  std::thread exportThread_;
  TActualSizeForm* actualSize_ = nullptr;  // made at its first showing
  bool exportRunning_ = false;
  std::shared_ptr<TScene> exportScene_;
  TCaption exportCaption_;
  TMessageLog exportLog_;
  TRenderSchedule schedule_;
  TExportSize size_;
  TProgramSettings settings_;
  std::string programFolder_;
  std::string texturesFolder_;
  std::string initialFile_;
  TEditHistory history_;
  bool restoring_ = false;  // an undo or redo puts its design into the controls
  std::string workFile_;
  std::unique_ptr<TRecovery> recovery_;
  QTimer* recoveryTimer_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  bool markerDragging_ = false;
  bool modified_ = false;
  bool rulersActive_ = false;
  bool shown_ = false;
  TExportSettings export_;  // the Export page's controls
  uint64_t imageFileSize_ = 0;
  uint64_t phase2FileSize_ = 0;  // kept from the last export that wrote a second picture

  int rebuilds_ = 0;
  int renders_ = 0;
  QImage previewImage_;  // the main preview at its own size, for the icon and the size preview

  std::unique_ptr<TWindowProgress> progress_;
  std::unique_ptr<TBoxMessages> messages_;
  TForm3* form3_ = nullptr;
  TWebForm* webForm_ = nullptr;
  TSetForm* setForm_ = nullptr;
  TForm2* form2_ = nullptr;
  TForm4* form4_ = nullptr;
  TCharMap* charMap_ = nullptr;
  TOpenShForm* openSh_ = nullptr;
  QTimer* Timer1 = nullptr;

  QFrame* Panel1 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Image5 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* LightAngles = nullptr;
  QLabel* StaticText38 = nullptr;
  QLabel* StaticText39 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QLabel* StatusPanels[4] = {};
  TCaptionEdit* Edit1 = nullptr;
  QLineEdit* Edit8 = nullptr;
  QLineEdit* Edit2 = nullptr;
  TArrowSpinBox* SpinEdit[5] = {};  // 1..4
  QCheckBox* CheckBox4 = nullptr;
  QCheckBox* CheckBox5 = nullptr;
  QCheckBox* CheckBox6 = nullptr;
  QCheckBox* CheckBox7 = nullptr;
  QCheckBox* CheckBox8 = nullptr;
  QCheckBox* CheckBox9 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QSlider* TrackBar1 = nullptr;
  QSlider* TrackBar2 = nullptr;
  QSlider* TrackBar3 = nullptr;
  QSlider* TrackBar4 = nullptr;
  QSlider* TrackBar6 = nullptr;
  QSlider* TrackBar7 = nullptr;
  QSlider* TrackBar8 = nullptr;
  QToolButton* ToolButton[3] = {};
  QStackedWidget* EffectPanels = nullptr;  // Panel2, Panel14, Panel15
  QWidget* TabSheet7 = nullptr;
  QWidget* TabSheet9 = nullptr;
  QWidget* TabSheet13 = nullptr;
  QSlider* trackWidth = nullptr;
  QSlider* trackHeight = nullptr;
  QLineEdit* edWidth = nullptr;
  QLineEdit* edHeight = nullptr;
  QCheckBox* checkConstrain = nullptr;
  QFrame* Panel13 = nullptr;
  QLabel* Image4 = nullptr;
  QTabWidget* PageControl2 = nullptr;
  QButtonGroup* RadioGroup1 = nullptr;
  QButtonGroup* RadioGroup2 = nullptr;
  QToolButton* Button4 = nullptr;
  QToolButton* Button5 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QComboBox* ComboBox3 = nullptr;
  QComboBox* ComboBox4 = nullptr;
  QComboBox* ComboBox5 = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QCheckBox* CheckBox3 = nullptr;
  QSlider* TrackBar5 = nullptr;
  QLineEdit* Edit4 = nullptr;
  // The PNG and WebP tabs, the densities and the kind of roll-over.
  QButtonGroup* RadioGroup3 = nullptr;  // RGBA, indexed
  QComboBox* ComboBox6 = nullptr;       // indexed PNG: colours
  QComboBox* ComboBox7 = nullptr;       // indexed PNG: dithering
  QCheckBox* CheckBox10 = nullptr;      // WebP lossless
  QSlider* TrackBar9 = nullptr;         // WebP quality
  QLineEdit* Edit5 = nullptr;
  QCheckBox* CheckBox11 = nullptr;  // also for high-density screens
  QSlider* TrackBar13 = nullptr;    // AVIF quality
  QLineEdit* Edit9 = nullptr;
  QCheckBox* CheckBox13 = nullptr;  // also offer AVIF
  QCheckBox* CheckBox14 = nullptr;  // also offer WebP
  QComboBox* ComboBox8 = nullptr;   // roll-over by script or by CSS
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit7 = nullptr;
};

}  // namespace vantrix
