// The desktop program's forms driven the way a user drives them, on the
// offscreen platform: widgets found by their names, keys typed, buttons
// clicked, timer ticks fed by hand so that the counts are exact.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QtTest>
#include <filesystem>
#include <fstream>

#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit3.h"
#include "app/forms/Unit4.h"
#include "app/logic/DesignEdits.h"
#include "app/logic/Recovery.h"
#include "platform/IniFile.h"
#include "platform/PngCodec.h"
#include "tests/support/MainWindow.h"

using namespace vantrix;

class TFormsTest : public QObject {
  Q_OBJECT
 private:
  std::unique_ptr<QTemporaryDir> folder_;  // a fresh program folder for every test
  std::unique_ptr<TForm1> form_;

  template <typename T>
  T* Find(const char* name) {
    T* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  // Timer ticks, each followed by the pictures it asked the worker for.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      form_->Timer1Timer();
      form_->WaitForPreview();
    }
  }
  // Settles whatever the last action scheduled.
  void Settle() { Ticks(scene().Params.RDelay + 2); }
  TScene& scene() { return form_->Scene(); }

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    form_ = testing::ShowMainWindow(*folder_);
    QVERIFY(form_);
    Settle();
    QVERIFY(form_->RebuildCount() >= 1);
  }
  void cleanup() {
    form_.reset();
    folder_.reset();
  }

  void PreviewShowsTheRenderedButtonInDevicePixels() {
    auto* image2 = Find<QLabel>("Image2");
    const QPixmap pixmap = image2->pixmap();
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.devicePixelRatio(), image2->devicePixelRatioF());
    // ViewSize percent of the preview's width (the default button is long).
    QCOMPARE(pixmap.width(),
             qRound(image2->width() * image2->devicePixelRatioF() * scene().Params.ViewSize / 100.0));
    QVERIFY(Find<QLabel>("StatusPanel0")->text().startsWith("V : "));
  }

  void TypingRebuildsOnceAfterTheDelay() {
    auto* edit = Find<TCaptionEdit>("Edit1");
    const int before = form_->RebuildCount();
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    for (int i = 0; i < 8; ++i) {  // a held key: one repeat per tick
      QTest::keyClick(edit, Qt::Key_A);
      form_->Timer1Timer();
    }
    // The tick after the last key was the first; the fourth rebuilds.
    Ticks(scene().Params.RDelay - 1);
    QCOMPARE(form_->RebuildCount(), before);
    Ticks(1);
    QCOMPARE(form_->RebuildCount(), before + 1);
    Ticks(10);
    QCOMPARE(form_->RebuildCount(), before + 1);
    QVERIFY(form_->Modified());
    // At most 32 characters.
    QTest::keyClicks(edit, QString(40, 'x'));
    QCOMPARE(edit->Length(), 32);
  }

  // A character the caption's font lacks is drawn from another font, and
  // the status bar says which: a box on every rebuild would be in the way.
  void ACharacterFromAnotherFontIsNotedInTheStatusBar() {
    auto* edit = Find<TCaptionEdit>("Edit1");
    TCaption caption = edit->Caption();
    caption.Append(U'\u2713', caption.At(0).Font);
    edit->SetCaption(caption);
    form_->RebuildPreview();
    form_->WaitForPreview();
    const QString shown = form_->statusBar()->currentMessage();
    QVERIFY2(shown.contains("U+2713") && shown.contains("drawn with"), qPrintable(shown));
  }

  void SlidersWriteTheSceneAndScheduleTheirWork_data() {
    QTest::addColumn<QString>("slider");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("rebuild");
    QTest::addRow("caption extrusion") << "TrackBar2" << 120 << true;
    QTest::addRow("button extrusion") << "TrackBar3" << 40 << true;
    QTest::addRow("caption altitude") << "TrackBar1" << 55 << false;
    QTest::addRow("button altitude") << "TrackBar4" << 12 << false;
    QTest::addRow("brightness") << "TrackBar8" << 61 << true;
  }
  void SlidersWriteTheSceneAndScheduleTheirWork() {
    QFETCH(QString, slider);
    QFETCH(int, position);
    QFETCH(bool, rebuild);
    const int builds = form_->RebuildCount(), renders = form_->RenderCount();
    Find<QSlider>(slider.toLatin1())->setValue(position);
    const TParams& p = scene().Params;
    const int value = slider == "TrackBar2"   ? p.TxtY
                      : slider == "TrackBar3" ? -p.ButY
                      : slider == "TrackBar1" ? p.ViewParams.TextAltitude
                      : slider == "TrackBar4" ? p.ViewParams.ButtonAltitude
                                              : 255 - p.ViewParams.Brightness;
    QCOMPARE(value, position);
    if (slider == "TrackBar8") {
      QCOMPARE(p.ViewParams.Brightness, 194);
      QCOMPARE(p.TxtColors.ColSplit, 194);
    }
    Settle();
    QCOMPARE(form_->RebuildCount(), builds + (rebuild ? 1 : 0));
    QCOMPARE(form_->RenderCount(), renders + 1);
  }

  void HexColourSetsTheBackground_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addRow("lower case") << "ff8000" << 255 << 128 << 0;
    QTest::addRow("separators") << "12-34-" << 0 << 18 << 52;
    QTest::addRow("hash") << "#00ff" << 0 << 0 << 255;
  }
  void HexColourSetsTheBackground() {
    QFETCH(QString, typed);
    auto* edit = Find<QLineEdit>("Edit8");
    edit->clear();
    QTest::keyClicks(edit, typed);
    QTest::mouseClick(Find<QToolButton>("SpeedButton10"), Qt::LeftButton);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QCOMPARE(scene().Params.BkgColor, MakeColor(red, green, blue));
    QCOMPARE(edit->text(), typed);
    QCOMPARE(Find<QFrame>("Panel1")->palette().color(QPalette::Window), QColor(red, green, blue));
  }

  void HiddenButtonWithBlankCaptionNeverBuilds() {
    auto* edit = Find<TCaptionEdit>("Edit1");
    edit->selectAll();
    QTest::keyClicks(edit, "   ");
    const int builds = form_->RebuildCount();
    QTest::mouseClick(Find<QCheckBox>("CheckBox9"), Qt::LeftButton);
    QCOMPARE(scene().Params.ButType, 0);
    Settle();
    QCOMPARE(form_->RebuildCount(), builds);
    const QImage shown = Find<QLabel>("Image2")->pixmap().toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColorOf(scene().Params.BkgColor));
  }

  void DropShadowTakesTheSliderAndRebuildsAtOnce() {
    auto* box = Find<QCheckBox>("CheckBox4");
    QTest::mouseClick(box, Qt::LeftButton);  // off
    QCOMPARE(scene().Params.ViewParams.TextAltitude, 0);
    QVERIFY(!Find<QSlider>("TrackBar1")->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);  // on: the slider's position again (40 after this)
    Find<QSlider>("TrackBar1")->setValue(40);
    QTest::mouseClick(box, Qt::LeftButton);
    form_->WaitForPreview();
    const int builds = form_->RebuildCount();
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(scene().Params.ViewParams.TextAltitude, 40);
    form_->WaitForPreview();
    QCOMPARE(form_->RebuildCount(), builds + 1);
  }

  void DimensionsKeepTheProportions() {
    auto* pages = Find<QTabWidget>("PageControl1");
    pages->setCurrentWidget(Find<QWidget>("TabSheet13"));
    const TExportSize natural = form_->ExportSize();
    auto* width = Find<QLineEdit>("edWidth");
    width->selectAll();
    QTest::keyClicks(width, "12x00");  // the letter is swallowed
    QCOMPARE(width->text(), QString("800"));
    QCOMPARE(form_->ExportSize().ExportWidth, 800);
    QCOMPARE(form_->ExportSize().ExportHeight, qRound(800.0 * natural.NaturalHeight / natural.NaturalWidth));
    Find<QSlider>("trackHeight")->setValue(0);
    QCOMPARE(form_->ExportSize().ExportHeight, 5);
  }

  void AdvancedOptionsOkTakesTheFieldsBack() {
    const TParams before = scene().Params;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<TForm3*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      auto* distance = dialog->findChild<QLineEdit*>("Edit7");
      distance->setText("1 750");
      dialog->findChild<QLineEdit*>("Edit5")->setText("-5");
      dialog->accept();
    });
    const int builds = form_->RebuildCount();
    form_->findChild<QAction*>("AdvancedOptions1")->trigger();
    QCOMPARE(scene().Params.Distance, 1750);
    QCOMPARE(scene().Params.View.OffsetY, 1750.f);
    QCOMPARE(scene().Params.GutLeft, 5);
    QCOMPARE(scene().Params.RDelay, before.RDelay);
    QCOMPARE(scene().Params.ViewParams.CnX, before.ViewParams.CnX);
    form_->WaitForPreview();
    QCOMPARE(form_->RebuildCount(), builds + 1);

    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<TForm3*>(QApplication::activeModalWidget());
      dialog->findChild<QLineEdit*>("Edit3")->setText("0");
      dialog->reject();
    });
    form_->findChild<QAction*>("AdvancedOptions1")->trigger();
    QCOMPARE(scene().Params.GutTop, before.GutTop);
  }

  // A typing error keeps the dialog open with that field focused and
  // selected, the message naming it; the other edits are kept for the next OK.
  void AdvancedOptionsKeepTheirEditsAfterATypingError() {
    QString said;
    bool stayedOpen = false, fieldSelected = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TForm3*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->findChild<QLineEdit*>("Edit5")->setText("7");
      auto* distance = dialog->findChild<QLineEdit*>("Edit7");
      distance->setText("abc");
      QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          said = box->text();
          box->accept();
        }
      });
      dialog->findChild<QPushButton*>("Button1")->click();
      stayedOpen = dialog->isVisible();
      fieldSelected = dialog->focusWidget() == distance && distance->selectedText() == "abc";
      distance->setText("1600");
      dialog->findChild<QPushButton*>("Button1")->click();
    });
    form_->findChild<QAction*>("AdvancedOptions1")->trigger();
    QCOMPARE(said, QString("Distance: '' is not a valid integer value"));  // the digits it holds
    QVERIFY(stayedOpen);
    QVERIFY(fieldSelected);
    QCOMPARE(scene().Params.Distance, 1600);
    QCOMPARE(scene().Params.GutLeft, 7);
  }

  // The light marker takes the focus and the arrow keys (Shift: ten pixels);
  // its angles show as numbers, and the picture follows like any change.
  void TheLightMovesWithTheArrowKeys() {
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet7"));
    auto* marker = Find<QLabel>("Image1");
    QCOMPARE(marker->focusPolicy(), Qt::StrongFocus);
    const QImage plain = marker->pixmap().toImage();
    marker->setFocus();
    QVERIFY(marker->pixmap().toImage() != plain);  // the focus shows as a ring
    const float a1 = scene().Params.ViewParams.LightA1, a2 = scene().Params.ViewParams.LightA2;
    const QPoint at = marker->pos();
    QTest::keyClick(marker, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(marker, Qt::Key_Down);
    QCOMPARE(marker->pos(), at + QPoint(10, 1));
    QVERIFY(scene().Params.ViewParams.LightA1 > a1);
    QVERIFY(scene().Params.ViewParams.LightA2 > a2);
    QVERIFY(form_->Schedule().RefreshPending());
    QCOMPARE(Find<QAction>("Undo1")->text(), QString("Undo Light Direction"));
    const QString shown = Find<QLabel>("LightAngles")->text();
    QVERIFY2(shown.contains(QString::number(qRound(scene().Params.ViewParams.LightA1 * 180 / M_PI))),
             qPrintable(shown));
  }

  // Drops a file on the window as a file manager does; the window acts once
  // the drop has returned.
  void Drop(const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPointF at(50, 50);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &drop);
    QVERIFY(drop.isAccepted());
    QCoreApplication::processEvents();
    Settle();
  }

  // A template opens, a shape file from elsewhere joins the shapes folder and
  // becomes the outline, a PNG on the caption's colour page its texture.
  void DroppedFilesOpenSetTheShapeAndTheTexture() {
    const QString program = folder_->path() + "/";
    Drop(program + "Templates/Glossy Pill.vtxm");
    QCOMPARE(Find<TCaptionEdit>("Edit1")->Caption().Length(), 7);  // "Click Here" had 10

    QTemporaryDir elsewhere;
    const std::string shape = elsewhere.path().toStdString() + "/Dropped.vtxb";
    std::filesystem::copy_file(program.toStdString() + "BShapes/PILL.vtxb", shape);
    Drop(QString::fromStdString(shape));
    QCOMPARE(scene().Params.ButType, 16);
    QCOMPARE(scene().Params.ShapeName, std::string("Dropped.vtxb"));
    QVERIFY(QFileInfo::exists(program + "BShapes/Dropped.vtxb"));

    TRgbaPicture rgba(4, 4);
    std::fill(rgba.Pixels.begin(), rgba.Pixels.end(), uint8_t{200});
    const std::string png = elsewhere.path().toStdString() + "/tile.png";
    SavePngFile(png, rgba);
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet3"));
    Drop(QString::fromStdString(png));
    QCOMPARE(scene().Params.TxtTexFile, png);
    QVERIFY(scene().View3D.TextTextured);
    QCOMPARE(Find<QAction>("Undo1")->text(), QString("Undo Caption Texture"));
  }

  // A number typed beside a slider is the slider's value, one undo step; a
  // slider that is switched off takes its field with it.
  void NumbersBesideSlidersTakeTyping() {
    for (const char* name :
         {"TrackBar1", "TrackBar2", "TrackBar3", "TrackBar4", "TrackBar6", "TrackBar7", "TrackBar8"}) {
      auto* slider = Find<QSlider>(name);
      auto* field = Find<QLineEdit>((QString(name) + "Number").toLatin1().constData());
      QCOMPARE(field->text(), QString::number(slider->value()));
      const int before = slider->value();
      const int wanted = before == slider->maximum() ? slider->minimum() : before + 1;
      field->setFocus();
      field->selectAll();
      QTest::keyClicks(field, QString::number(wanted));
      QTest::keyClick(field, Qt::Key_Return);
      QCOMPARE(slider->value(), wanted);
      Settle();
      Find<QAction>("Undo1")->trigger();
      QCOMPARE(slider->value(), before);
      QCOMPARE(field->text(), QString::number(before));
      Settle();
    }
    Find<QCheckBox>("CheckBox4")->click();  // no caption shadow: its altitude is off
    QVERIFY(!Find<QLineEdit>("TrackBar1Number")->isEnabled());
  }

  // Every underlined letter on a page is an Alt shortcut of its own: none
  // taken twice on one page, none taken from the menu bar.
  void ShortcutLettersAreUniqueAndWork() {
    QSet<int> menuKeys;
    for (QAction* menu : form_->menuBar()->actions())
      menuKeys << QKeySequence::mnemonic(menu->text())[0].toCombined();
    auto* pages = Find<QTabWidget>("PageControl1");
    for (QTabWidget* control : {pages, Find<QTabWidget>("PageControl2")}) {
      for (int i = 0; i < control->count(); ++i) {
        QSet<int> keys = menuKeys;
        for (auto* button : control->widget(i)->findChildren<QAbstractButton*>()) {
          const QKeySequence key = QKeySequence::mnemonic(button->text());
          if (key.isEmpty()) continue;
          QVERIFY2(!keys.contains(key[0].toCombined()),
                   qPrintable(control->tabText(i) + ": " + button->text() + " takes a letter twice"));
          keys << key[0].toCombined();
        }
      }
    }
    // Alt+L clears the caption's texture on its colour page.
    pages->setCurrentWidget(Find<QWidget>("TabSheet3"));
    scene().Params.TxtTexFile = "Textures/Marble.jpg";
    scene().View3D.TextTextured = true;
    QTest::keyClick(Find<QToolButton>("SpeedButton5"), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(scene().Params.TxtTexFile, std::string());  // a shortcut clicks after a short flash
  }

  void MarkerReleasedAtTheCentreLightsFromTheFront() {
    auto* marker = Find<QLabel>("Image1");
    QVERIFY(!marker->isVisible());
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet7"));
    QVERIFY(marker->isVisible());
    auto* preview = Find<QLabel>("Image2");
    const QPoint centre(preview->width() / 2, preview->height() / 2);
    const int renders = form_->RenderCount();
    QTest::mousePress(marker, Qt::LeftButton, Qt::NoModifier, QPoint(16, 16));
    QTest::mouseRelease(marker, Qt::LeftButton, Qt::NoModifier, centre - marker->pos());
    // Within one pixel's angle of pi/2 (an odd size has no middle pixel).
    QVERIFY(qAbs(scene().Params.ViewParams.LightA1 - M_PI / 2) <= M_PI / preview->width());
    QVERIFY(qAbs(scene().Params.ViewParams.LightA2 - M_PI / 2) <= M_PI / preview->height());
    form_->WaitForPreview();
    QCOMPARE(form_->RenderCount(), renders + 1);
    QVERIFY(form_->Modified());
    Find<QTabWidget>("PageControl1")->setCurrentIndex(0);
    QVERIFY(!marker->isVisible());
  }

  void QuitAsksWhileTheWorkIsModified() {
    QTest::keyClicks(Find<TCaptionEdit>("Edit1"), "!");
    QVERIFY(form_->Modified());
    for (auto answer : {QMessageBox::Cancel, QMessageBox::No}) {
      QString title, text;
      QTimer::singleShot(0, [&, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        box->button(answer)->click();
      });
      QCOMPARE(form_->close(), answer == QMessageBox::No);
      QCOMPARE(title, QString("Quit confirmation"));
      QCOMPARE(text, QString("Save changes to current work before quit?"));
    }
  }

  void StartAsksTheWelcomeDialogAndFallsBackToTheDefaultWork_data() {
    QTest::addColumn<bool>("accept");
    QTest::addRow("OK on New") << true;
    QTest::addRow("closed") << false;
  }
  void StartAsksTheWelcomeDialogAndFallsBackToTheDefaultWork() {
    QFETCH(bool, accept);
    form_.reset();
    TForm1Options options;
    options.ProgramFolder = folder_->path().toStdString() + "/";
    options.RecoveryFolder = options.ProgramFolder + "state/";
    form_ = std::make_unique<TForm1>(options);
    QString title;
    bool newPressed = false;
    QTimer::singleShot(100, [&] {
      auto* dialog = qobject_cast<TForm4*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      title = dialog->windowTitle();
      newPressed = dialog->Mode() == TWelcomeMode::New;
      accept ? dialog->accept() : dialog->reject();
    });
    form_->show();
    QTRY_VERIFY(!title.isEmpty());
    QCOMPARE(title, QString(" Welcome to Vantrix v1.7"));
    QVERIFY(newPressed);
    QTRY_COMPARE(Find<TCaptionEdit>("Edit1")->Caption().TextUtf8(), std::string("Click Here"));
    QVERIFY(std::filesystem::is_directory(form_->Settings().Saves));
    QCOMPARE(form_->Settings().Saves, options.ProgramFolder + "Works/");
    QCOMPARE(form_->Settings().JobFile, std::string("Untitled.vtxs"));
  }

  void SaveGivesTheDialogsExtensionAndAnIcon_data() {
    QTest::addColumn<bool>("asTemplate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addRow("work") << false << "Go.txt"
                          << "Go.vtxs";
    QTest::addRow("template") << true << "Web.txt"
                              << "Web.vtxm";
  }
  void SaveGivesTheDialogsExtensionAndAnIcon() {
    QFETCH(bool, asTemplate);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    const QString folder = folder_->path() + "/Elsewhere/";
    QDir().mkpath(folder);
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QCOMPARE(dialog->selectedFiles().value(0).section('/', -1), QString("Untitled.vtxs"));
      if (asTemplate) dialog->selectNameFilter(dialog->nameFilters().value(1));
      testing::TypeFileName(dialog, folder + typed);
      static_cast<QDialog*>(dialog)->accept();
    });
    QVERIFY(form_->Save2Click());
    const std::string file = (folder + written).toStdString();
    QVERIFY(std::filesystem::exists(file));
    QVERIFY(!std::filesystem::exists((folder + typed).toStdString()));
    QVERIFY(TIniFile(file).ReadInteger("IconInfo", "Lines", 0) > 0);
    QCOMPARE(asTemplate ? form_->Settings().TemplateFile : form_->Settings().JobFile, file);
    QCOMPARE(asTemplate ? form_->Settings().Templates : form_->Settings().Saves, folder.toStdString());
    QVERIFY(!form_->Modified());
  }

  // Number fields take typing: a texture repetition by its digits and Enter,
  // the WebP quality into its slider (clamped), and text that is no number
  // is said so and left selected.
  void NumberFieldsTakeTyping() {
    auto* repeats = Find<QSpinBox>("SpinEdit2");
    repeats->setFocus();
    repeats->selectAll();
    QTest::keyClicks(repeats, "7");
    QTest::keyClick(repeats, Qt::Key_Return);
    QCOMPARE(repeats->value(), 7);
    QCOMPARE(scene().Params.TxtTexH, 7.f);

    Find<QTabWidget>("PageControl1")->setCurrentIndex(10);
    Find<QTabWidget>("PageControl2")->setCurrentIndex(4);
    Find<QCheckBox>("CheckBox10")->setChecked(false);  // lossy: the quality counts
    auto* quality = Find<QLineEdit>("Edit5");
    auto* slider = Find<QSlider>("TrackBar9");
    for (const auto& [typed, expected] : {std::pair{"55", 55}, std::pair{"300", 100}}) {
      quality->setFocus();
      quality->selectAll();
      QTest::keyClicks(quality, typed);
      QTest::keyClick(quality, Qt::Key_Return);
      QCOMPARE(slider->value(), expected);
      QCOMPARE(form_->ExportSettings().WebpQuality, expected);
    }
    QString said;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        said = box->text();
        box->accept();
      }
    });
    quality->selectAll();
    QTest::keyClicks(quality, "abc");
    QTest::keyClick(quality, Qt::Key_Return);
    QCOMPARE(said, QString("'abc' is not a valid integer value"));
    QCOMPARE(slider->value(), 100);
    QCOMPARE(quality->selectedText(), QString("abc"));
  }

  // A file that is no work names itself under the reader's message; a work
  // whose texture is gone opens in its plain colour and the status bar says
  // which file was missing.
  void FilesThatCannotBeUsedAreNamed() {
    const std::string folder = folder_->path().toStdString() + "/";
    { std::ofstream(folder + "Broken.vtxs") << "[Message]\nTxtW=9\n"; }
    QString said;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        said = box->text();
        box->accept();
      }
    });
    form_->OpenWorkFile(folder + "Broken.vtxs");
    QCOMPARE(said, QString::fromStdString("Invalid file version: \n" + folder + "Broken.vtxs"));

    std::filesystem::copy_file(folder + "Default.dat", folder + "Wood.vtxs");
    {
      TIniFile ini(folder + "Wood.vtxs");
      ini.WriteString("Message", "TexFile", "/nowhere/Missing.jpg");
      ini.UpdateFile();
    }
    form_->OpenWorkFile(folder + "Wood.vtxs");
    const QString note = form_->statusBar()->currentMessage();
    QVERIFY2(note.contains("/nowhere/Missing.jpg"), qPrintable(note));
  }

  // File > Open has a Cancel that opens nothing; Enter on the work the
  // keyboard stands on (not selected) opens that work, not a new default one.
  void OpenTakesTheFocusedWorkAndCanBeCancelled() {
    const std::string program = folder_->path().toStdString() + "/";
    const std::string mine = form_->Settings().Saves + "Mine.vtxs";
    std::filesystem::copy_file(program + "Default.dat", mine);
    bool cancelShown = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TForm4*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      auto* cancel = dialog->findChild<QPushButton*>("Button3");
      cancelShown = cancel && cancel->isVisible();
      if (cancel) cancel->click();
    });
    form_->Open1Click();
    QVERIFY(cancelShown);
    QVERIFY(form_->WorkFile().empty());

    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TForm4*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      auto* list = dialog->findChild<QListWidget*>("ListView1");
      list->setFocus();
      list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
      list->clearSelection();
      QTest::keyClick(list, Qt::Key_Return);
      if (dialog->isVisible()) dialog->reject();  // the key went nowhere: fail below, not hang
    });
    form_->Open1Click();
    QCOMPARE(form_->WorkFile(), mine);
  }

  // A held slider drags the preview along without waiting for the timer; the
  // full picture still comes by the timer after the release. Off in the
  // settings, the drag waits like any other change.
  void AHeldSliderDragsThePreviewAlong() {
    for (const bool live : {true, false}) {
      auto* option = Find<QAction>("LiveDrag1");
      option->setChecked(live);
      auto* bar = Find<QSlider>("TrackBar2");
      const int renders = form_->RenderCount();
      bar->setSliderDown(true);
      for (int step = 1; step <= 3; ++step) {
        bar->setValue(bar->value() + 5);
        form_->WaitForPreview();
      }
      QCOMPARE(form_->RenderCount(), renders + (live ? 3 : 0));
      QVERIFY(form_->Schedule().RebuildPending());
      bar->setSliderDown(false);
      const int builds = form_->RebuildCount();
      Settle();
      QCOMPARE(form_->RebuildCount(), builds + 1);
      QVERIFY(!form_->Schedule().RebuildPending());
    }
  }

  // The window answers while a long caption renders on the worker: an edit
  // made meanwhile asks for a new picture, which is the one shown last.
  void AnEditWhileARenderRunsSupersedesIt() {
    auto* edit = Find<TCaptionEdit>("Edit1");
    TCaption caption = edit->Caption();
    while (caption.Length() < TCaption::kMaxChars) caption.Append(U'W', caption.At(0).Font);
    edit->SetCaption(caption);
    const int builds = form_->RebuildCount();
    form_->RebuildPreview();
    bool answered = false;
    QTimer::singleShot(0, form_.get(), [&] { answered = true; });
    QCoreApplication::processEvents();
    QVERIFY(answered);
    auto* bar = Find<QSlider>("TrackBar2");
    bar->setValue(bar->value() + 9);
    form_->RebuildPreview();
    form_->WaitForPreview();
    QVERIFY(form_->RebuildCount() > builds);
    QVERIFY(form_->RebuildCount() <= builds + 2);
    QCOMPARE(scene().Params.TxtY, bar->value());
    QVERIFY(!form_->Schedule().RebuildPending());
    QCOMPARE(Find<QLabel>("StatusPanel3")->text(), QString(" Done"));
  }

  // Only edits are changes to save: not the load, nor a new window size.
  void OpeningAndResizingLeaveTheWorkUnchanged() {
    QVERIFY(!form_->Modified());
    const int builds = form_->RebuildCount();
    form_->resize(900, 640);
    QTRY_VERIFY(form_->RebuildCount() > builds);
    Settle();
    QVERIFY(!form_->Modified());
  }

  void QuitWithYesSavesFirst() {
    QTest::keyClicks(Find<TCaptionEdit>("Edit1"), "!");
    const QString file = QString::fromStdString(form_->Settings().Saves) + "BeforeQuit.vtxs";
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        testing::TypeFileName(dialog, file);
        static_cast<QDialog*>(dialog)->accept();
      });
      box->button(QMessageBox::Yes)->click();
    });
    QVERIFY(form_->close());
    QVERIFY(QFileInfo::exists(file));
  }

  void OpenLoadsTheWorkChosenInTheList() {
    const QString works = QString::fromStdString(form_->Settings().Saves);
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      testing::TypeFileName(dialog, works + "Saved.vtxs");
      static_cast<QDialog*>(dialog)->accept();
    });
    const int txtY = scene().Params.TxtY;
    const QImage picture = Find<QLabel>("Image2")->pixmap().toImage();
    QVERIFY(form_->Save2Click());
    scene().Params.TxtY = txtY + 50;
    for (bool select : {false, true}) {
      QTimer::singleShot(0, [select] {
        auto* dialog = qobject_cast<TForm4*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->Mode(), TWelcomeMode::Saved);
        auto* list = dialog->findChild<QListWidget*>("ListView1");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("Saved.vtxs"));
        QVERIFY(!list->item(0)->icon().isNull());
        if (select) list->setCurrentRow(0);
        dialog->accept();
      });
      form_->Open1Click();
      // Nothing chosen leaves the work as it is.
      QCOMPARE(scene().Params.TxtY, select ? txtY : txtY + 50);
    }
    QVERIFY(!form_->Modified());
    QCOMPARE(Find<QLabel>("Image2")->pixmap().toImage(), picture);  // the saved work looks the same
  }

  // Each kind of edit, taken back and done again from the Edit menu: the
  // design comes back exactly, the modified flag follows, and the preview
  // is asked for the work the edit asked for.
  // Typing, a colour, and every control of one number the pages have: each
  // edit is one step named as the control says, undo puts the design back
  // exactly and asks for the work the edit asked for, redo brings it again.
  void UndoAndRedoEveryKindOfEdit_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("rebuild");
    QTest::addRow("typing") << "Edit1"
                            << "Typing" << true;
    QTest::addRow("background") << "Edit8"
                                << "Background Color" << false;
    for (const TValueControl& c : ValueControls()) {
      TScene probe;
      const bool rebuild = c.Set(probe, c.Get(probe) == 0 ? 1 : 0).Work == TPreviewWork::Rebuild;
      QTest::addRow("%s", c.Widget) << c.Widget << c.Step << rebuild;
    }
  }
  void UndoAndRedoEveryKindOfEdit() {
    QFETCH(QString, control);
    QFETCH(QString, what);
    QFETCH(bool, rebuild);
    auto* edit = Find<TCaptionEdit>("Edit1");
    const TParams startParams = scene().Params;
    const TPhase startEffect = scene().Effect;
    const TCaption startCaption = edit->Caption();
    QVERIFY(!Find<QAction>("Undo1")->isEnabled());
    QWidget* widget = Find<QWidget>(control.toLatin1());
    if (control == "Edit1") {
      edit->setFocus();
      edit->moveCursor(QTextCursor::End);
      QTest::keyClicks(edit, "abc");  // one burst, one step
    } else if (control == "Edit8") {
      Find<QLineEdit>("Edit8")->clear();
      QTest::keyClicks(Find<QLineEdit>("Edit8"), "123456");
      QTest::mouseClick(Find<QToolButton>("SpeedButton10"), Qt::LeftButton);
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
      const int from = slider->value();
      for (int step = 1; step <= 3; ++step)  // one drag, one step
        slider->setValue(from + (from + 30 <= slider->maximum() ? 10 : -10) * step);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      const int other = (list->currentIndex() + 1) % list->count();
      list->setCurrentIndex(other);
      emit list->activated(other);
    } else if (auto* row = qobject_cast<TProfileRow*>(widget)) {
      row->findChild<QToolButton*>(control + "_1")->click();  // round
    } else {
      qobject_cast<QCheckBox*>(widget)->click();
    }
    Settle();
    const TParams editedParams = scene().Params;
    const TPhase editedEffect = scene().Effect;
    const TCaption editedCaption = edit->Caption();
    QVERIFY(form_->Modified());
    QCOMPARE(Find<QAction>("Undo1")->text(), "Undo " + what);
    QVERIFY(form_->windowTitle().startsWith("Untitled"));
    QVERIFY(form_->isWindowModified());

    edit->setFocus();  // Ctrl+Z in the caption is the window's undo too
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(scene().Params == startParams);
    QVERIFY(scene().Effect == startEffect);
    QVERIFY(edit->Caption() == startCaption);
    QVERIFY(!form_->Modified());
    QVERIFY(!form_->isWindowModified());
    QCOMPARE(form_->Schedule().RebuildPending(), rebuild);
    QVERIFY(rebuild || form_->Schedule().RefreshPending());
    Settle();

    Find<QAction>("Redo1")->trigger();
    QVERIFY(scene().Params == editedParams);
    QVERIFY(scene().Effect == editedEffect);
    QVERIFY(edit->Caption() == editedCaption);
    QVERIFY(form_->Modified());
  }

  // Save writes the open work back to its own file without asking; Save As
  // proposes that file's name, never the name of another work saved before.
  void SaveWritesTheOpenWorkInPlace() {
    const QString folder = folder_->path() + "/Works/";
    const std::string other = (folder + "Other.vtxs").toStdString();
    auto saveAs = [&](const QString& typed) {
      // Typed once the dialog has listed its folder: the listing selects the proposed file.
      QTimer::singleShot(300, [&, typed] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        testing::TypeFileName(dialog, folder + typed);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        static_cast<QDialog*>(dialog)->accept();
      });
      QVERIFY(form_->SaveAs1Click());
    };
    saveAs("Other.vtxs");
    saveAs("Sale.vtxs");
    const std::string sale = (folder + "Sale.vtxs").toStdString();
    QCOMPARE(form_->WorkFile(), sale);
    QCOMPARE(form_->windowTitle(), QString("Sale.vtxs[*] \u2014 Vantrix"));
    QCOMPARE(form_->Settings().Recent.front(), sale);

    Find<QSlider>("TrackBar2")->setValue(77);
    Settle();
    QVERIFY(form_->isWindowModified());
    bool asked = false;
    QTimer::singleShot(0, [&] {
      if (auto* dialog = QApplication::activeModalWidget()) {
        asked = true;
        dialog->close();
      }
    });
    QVERIFY(form_->Save2Click());
    QCoreApplication::processEvents();  // the check above runs, and finds no dialog
    QVERIFY(!asked);
    QCOMPARE(TIniFile(sale).ReadInteger("Message", "TxtY", 0), 77);
    QVERIFY(TIniFile(other).ReadInteger("Message", "TxtY", 0) != 77);
    QVERIFY(!form_->isWindowModified());

    QString proposed;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      proposed = dialog->selectedFiles().value(0).section('/', -1);
      dialog->reject();
    });
    QVERIFY(!form_->SaveAs1Click());
    QCOMPARE(proposed, QString("Sale.vtxs"));
    // New starts a work without a file of its own: Save asks again.
    form_->New1Click();
    QVERIFY(form_->WorkFile().empty());
    QVERIFY(!Find<QAction>("Undo1")->isEnabled());
  }

  void TheCaptionHasTheFocusAtStart() {
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Find<TCaptionEdit>("Edit1")));
  }

  // After a crash the next start asks first; Yes opens the design with its
  // own file name, modified, and the old copy makes way for this run's.
  void ACrashedRunsWorkIsOfferedAtTheNextStart() {
    const std::string state = folder_->path().toStdString() + "/state/";
    {
      TRecovery crashed(state);  // a run that ends without cleaning up
      TScene design;
      design.Params.TxtY = 91;
      TCaption caption;
      caption.SetText("Saved?", TFontSpec{});
      crashed.Write(design, caption, "/w/Sale.vtxs");
    }
    form_.reset();
    QString title;
    QTimer::singleShot(100, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      title = box->windowTitle();
      box->button(QMessageBox::Yes)->click();
    });
    TForm1Options options;
    options.ProgramFolder = folder_->path().toStdString() + "/";
    options.InitialFile = options.ProgramFolder + "Default.dat";
    options.RecoveryFolder = state;
    form_ = std::make_unique<TForm1>(options);
    form_->findChild<QTimer*>("Timer1")->stop();
    form_->show();
    QTRY_VERIFY(!title.isEmpty());
    QVERIFY(title.startsWith("Recover"));
    QTRY_COMPARE(form_->WorkFile(), std::string("/w/Sale.vtxs"));
    QCOMPARE(scene().Params.TxtY, 91);
    QCOMPARE(Find<TCaptionEdit>("Edit1")->Caption().TextUtf8(), std::string("Saved?"));
    QVERIFY(form_->Modified());
    QCOMPARE(form_->windowTitle(), QString("Sale.vtxs[*] \u2014 Vantrix"));
    // Only this run's copy is left, and a clean end removes it.
    QCOMPARE(std::distance(std::filesystem::directory_iterator(state), {}), 2);  // the copy and its lock
    form_.reset();
    for (const auto& e : std::filesystem::directory_iterator(state))
      QVERIFY2(!e.path().string().ends_with(".vtxs"), e.path().c_str());
  }
};

QTEST_MAIN(TFormsTest)
#include "FormsTest.moc"
