// TForm1's construction: the layout and the menus. The pages are bound in
// Unit1Pages.cpp; what the controls do is in Unit1Reactions.cpp, the preview
// in Unit1Preview.cpp, the documents in Unit1Documents.cpp.

#include "app/forms/Unit1.h"

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
#include "app/forms/Unit2.h"
#include "app/forms/Unit3.h"
#include "app/forms/Unit4.h"
#include "app/forms/WebUnit.h"
#include "app/logic/PreviewGeometry.h"
#include "app/logic/Recovery.h"
#include "app/logic/TypedValues.h"
#include "imaging/ColorText.h"
#include "imaging/ExportSettings.h"
#include "platform/ProgramFolder.h"

namespace vantrix {

TForm1::TForm1(const TForm1Options& options, QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form1");
  setWindowTitle("Vantrix");
  programFolder_ = WithTrailingSlash(options.ProgramFolder);
  initialFile_ = options.InitialFile;

  // The document part of the start: settings, folders, the scene.
  settings_ = ReadProgramSettings(programFolder_);
  texturesFolder_ = programFolder_ + "Textures/";
  if (!settings_.CurPath.empty()) {
    std::error_code ec;
    std::filesystem::current_path(settings_.CurPath, ec);  // a folder that is gone is no error
  }
  for (const std::string& folder : {settings_.Templates, settings_.Saves}) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
  }
  // Notes (a letter drawn from another font) go to the status bar, not a box on every rebuild.
  messages_ = std::make_unique<TBoxMessages>(
      this, [this](const QString& note) { statusBar()->showMessage(note, 8000); });
  scene_ = std::make_unique<TScene>();
  scene_->AppPath = programFolder_;
  scene_->Messages = messages_.get();

  CreateLayout();
  setAcceptDrops(true);  // works, shapes and pictures (Unit1Drop.cpp)
  BindValueControls();
  CreateMenus();
  progress_ = std::make_unique<TWindowProgress>(ProgressBar1, StatusPanels[3]);
  // The worker's reports and pictures come on its thread: each is posted to
  // the window's, where only the newest request's reports are shown.
  worker_ = std::make_unique<TPreviewWorker>(
      programFolder_,
      [this](uint64_t generation, bool drag, int position, const std::string& stage) {
        // A drag frame keeps the progress bar still: the picture after the release reports.
        if (drag) return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, position, text = QString::fromStdString(stage)] {
              if (generation != worker_->Latest()) return;
              ProgressBar1->setValue(position);
              StatusPanels[3]->setText(text);
            },
            Qt::QueuedConnection);
      },
      [this](TPreviewResult result) {
        auto shared = std::make_shared<TPreviewResult>(std::move(result));
        QMetaObject::invokeMethod(
            this, [this, shared] { ShowPreviewResult(std::move(*shared)); }, Qt::QueuedConnection);
      });
  // A held slider drags the preview along.
  for (QSlider* slider : findChildren<QSlider*>()) {
    connect(slider, &QSlider::sliderPressed, this, [this] { SetDragging(true); });
    connect(slider, &QSlider::sliderReleased, this, [this] { SetDragging(false); });
  }
  form3_ = new TForm3(this);
  webForm_ = new TWebForm(this);
  form2_ = new TForm2(this);
  form4_ = new TForm4(this);
  charMap_ = new TCharMap(this);
  form2_->CharMap = charMap_;
  openSh_ = new TOpenShForm(this);

  TrackBar8->setMaximum(254);
  TrackBar8->setMinimum(1);
  Edit8->setText(QString::fromStdString(ColorToHex(scene_->Params.BkgColor)));
  ControlsFromScene();
  schedule_ = TRenderSchedule();  // the start-up values need no picture of their own
  StartHistory({});
  MarkerFromLight();
  Image1->setEnabled(false);
  Image1->hide();
  size_.Start(scene_->Image.Width(), scene_->Image.Height());
  ProgressBar1->setValue(0);
  StaticText38->hide();
  StaticText39->hide();
  PageControl1->setCurrentIndex(0);

  recovery_ = std::make_unique<TRecovery>(options.RecoveryFolder.empty() ? UserStateFolder()
                                                                         : options.RecoveryFolder);
  recoveryTimer_ = new QTimer(this);
  recoveryTimer_->setSingleShot(true);
  recoveryTimer_->setInterval(2000);  // a copy at most this long after the last edit
  connect(recoveryTimer_, &QTimer::timeout, this, &TForm1::WriteRecoveryCopy);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(250);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer1->start();
}

TForm1::~TForm1() {
  // The threads first: nothing they post may reach a window half taken down.
  worker_.reset();
  if (exportThread_.joinable()) exportThread_.join();
  recovery_->Discard();  // a clean end leaves nothing to recover
  WriteSettings();
}

void TForm1::CreateLayout() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  Panel1 = new QFrame(central);
  Panel1->setObjectName("Panel1");
  Panel1->setAutoFillBackground(true);
  Panel1->setMinimumHeight(160);
  Panel1->installEventFilter(this);
  Image2 = new QLabel(Panel1);
  Image2->setObjectName("Image2");
  Image2->setAlignment(Qt::AlignCenter);
  Image5 = new QLabel(Panel1);
  Image5->setObjectName("Image5");
  Image5->setAlignment(Qt::AlignCenter);
  Image5->hide();
  StaticText38 = MakeLabel("Phase #1", Panel1, true);
  StaticText38->setObjectName("StaticText38");
  StaticText38->move(8, 8);
  StaticText39 = MakeLabel("Phase #2", Panel1, true);
  StaticText39->setObjectName("StaticText39");
  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  Image1->setFixedSize(kMarkerSize, kMarkerSize);
  Image1->setPixmap(MarkerPicture(devicePixelRatioF()));
  Image1->setCursor(Qt::SizeAllCursor);
  Image1->setAttribute(Qt::WA_TranslucentBackground);
  Image1->installEventFilter(this);
  // The arrow keys move the marker too; a dashed ring shows that it has the focus.
  Image1->setFocusPolicy(Qt::StrongFocus);
  Image1->setAccessibleName("Light direction");
  column->addWidget(Panel1, 1);

  ProgressBar1 = new QProgressBar(central);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setFixedHeight(10);
  ProgressBar1->setTextVisible(false);
  column->addWidget(ProgressBar1);

  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  PageControl1->addTab(BindCaptionPage(), "Caption ");
  PageControl1->addTab(BindBackgroundPage(), "Background ");
  PageControl1->addTab(BindColorPage(false), "Caption Color ");
  PageControl1->addTab(BindColorPage(true), "Button Color ");
  PageControl1->addTab(BindCaptionTuneupPage(), "Caption Tuneup ");
  PageControl1->addTab(BindButtonTuneupPage(), "Button Tuneup ");
  PageControl1->addTab(BindLightPage(), "Light Source ");
  PageControl1->addTab(BindLinkPage(), "Link ");
  PageControl1->addTab(BindRolloverPage(), "Roll-over ");
  PageControl1->addTab(BindDimensionsPage(), "Dimensions ");
  PageControl1->addTab(BindExportPage(), " Export 3D Button ");
  PageControl1->setFixedHeight(PageControl1->sizeHint().height());
  connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageChanged);
  column->addWidget(PageControl1);
  setCentralWidget(central);

  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar1");
  const int widths[4] = {64, 64, 64, 256};
  for (int i = 0; i < 4; ++i) {
    StatusPanels[i] = new QLabel(bar);
    StatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
    StatusPanels[i]->setFixedWidth(widths[i]);
    StatusPanels[i]->setFrameShape(QFrame::Panel);
    StatusPanels[i]->setFrameShadow(QFrame::Sunken);
    if (i == 2) StatusPanels[i]->setAlignment(Qt::AlignCenter);
    bar->addWidget(StatusPanels[i]);
  }
}

void TForm1::CreateMenus() {
  auto add = [](QMenu* menu, const QString& name, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
  };
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("File1");
  connect(add(file, "New1", "&New"), &QAction::triggered, this, &TForm1::New1Click);
  connect(add(file, "Newfromtemplate1", "New from &template ..."), &QAction::triggered, this,
          &TForm1::Newfromtemplate1Click);
  connect(add(file, "Open1", "&Open ..."), &QAction::triggered, this, &TForm1::Open1Click);
  recentMenu_ = file->addMenu("&Recent");
  recentMenu_->setObjectName("Recent1");
  connect(recentMenu_, &QMenu::aboutToShow, this, &TForm1::FillRecentMenu);
  QAction* save = add(file, "Save2", "&Save");
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(save, &QAction::triggered, this, &TForm1::Save2Click);
  QAction* saveAs = add(file, "SaveAs1", "Save &As ...");
  saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(saveAs, &QAction::triggered, this, &TForm1::SaveAs1Click);
  file->addSeparator();
  connect(add(file, "ExportSet1", "Export a set of buttons ..."), &QAction::triggered, this,
          &TForm1::ExportSet1Click);
  file->addSeparator();
  connect(add(file, "Exit1", "E&xit"), &QAction::triggered, this, &QWidget::close);

  QMenu* editMenu = menuBar()->addMenu("&Edit");
  editMenu->setObjectName("Edit1");
  undo_ = add(editMenu, "Undo1", "Undo");
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  connect(undo_, &QAction::triggered, this, &TForm1::Undo1Click);
  redo_ = add(editMenu, "Redo1", "Redo");
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  connect(redo_, &QAction::triggered, this, &TForm1::Redo1Click);
  editMenu->addSeparator();
  QAction* copyPicture = add(editMenu, "CopyPicture1", "&Copy Picture");
  // Ctrl+C stays the caption field's own copy.
  copyPicture->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  connect(copyPicture, &QAction::triggered, this, &TForm1::CopyPicture1Click);
  Edit1->setUndoRedoEnabled(false);
  Edit1->installEventFilter(this);

  QMenu* settings = menuBar()->addMenu("&Settings");
  settings->setObjectName("Settings1");
  connect(add(settings, "AdvancedOptions1", "&Advanced Options ..."), &QAction::triggered, this,
          &TForm1::AdvancedOptions1Click);
  QMenu* view = settings->addMenu("&View");
  view->setObjectName("View1");
  QAction* status = add(view, "StatusBar2", "Status Bar");
  QAction* progress = add(view, "ProgressBar2", "&Progress Bar");
  for (QAction* a : {status, progress}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(status, &QAction::toggled, statusBar(), &QWidget::setVisible);
  connect(progress, &QAction::toggled, ProgressBar1, &QWidget::setVisible);
  QAction* liveDrag = add(view, "LiveDrag1", "&Live Preview While Dragging");
  liveDrag->setCheckable(true);
  liveDrag->setChecked(settings_.LiveDrag);
  connect(liveDrag, &QAction::toggled, this, [this](bool on) { settings_.LiveDrag = on; });
  view->addSeparator();
  QAction* actualSize = add(view, "ActualSize1", "&Actual Size");
  actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
  connect(actualSize, &QAction::triggered, this, &TForm1::ActualSize1Click);

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("Help1");
  connect(add(help, "Help2", "Hel&p ..."), &QAction::triggered, this,
          [this] { ShowInBrowser("Zuvedev.oru"); });
  connect(add(help, "About1", "&About Vantrix"), &QAction::triggered, this,
          [this] { ShowInBrowser("html/About.html"); });
}

}  // namespace vantrix
