// The main window's Export page driven as a user drives it, on the offscreen
// platform: the presets and the palette rule, the save dialog's names and
// types, failures, and the same pictures as vantrix-cli export writes.

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QtTest>
#include <filesystem>
#include <functional>
#include <utility>

#include "app/forms/ActualSize.h"
#include "app/forms/CaptionEdit.h"
#include "app/forms/SetUnit.h"
#include "app/forms/Unit1.h"
#include "app/forms/WebUnit.h"
#include "scene/WorkFile.h"
#include "tests/support/MainWindow.h"

using namespace vantrix;

class TExportPageTest : public QObject {
  Q_OBJECT
 public slots:
  void PageShown(const QUrl& url) { shown_ << url.toLocalFile(); }

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form_;
  QStringList shown_;  // pages handed to the desktop's browser
  std::unique_ptr<QObject> pollers_;
  int waiting_ = 0;  // pollers whose dialog has not come yet

  template <typename T>
  T* Find(const char* name) {
    T* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  void Settle() {
    for (int i = 0; i < form_->Scene().Params.RDelay + 2; ++i) {
      form_->Timer1Timer();
      form_->WaitForPreview();
    }
  }
  QString Program() const { return folder_->path() + "/"; }
  void ClickItem(const char* group, int index) {
    Find<QGroupBox>(group)->findChildren<QRadioButton*>().at(index)->click();
  }
  void SetCaption(const QString& text) {
    auto* edit = Find<TCaptionEdit>("Edit1");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    Settle();
  }
  // The roll-over effect is chosen on its own page; a colour change makes
  // the second picture differ from the first.
  void SetEffect(bool on) {
    auto* pages = Find<QTabWidget>("PageControl1");
    pages->setCurrentIndex(8);
    Find<QToolButton>(on ? "ToolButton2" : "ToolButton1")->click();
    form_->Scene().Effect.BColor = MakeColor(200, 30, 30);
    pages->setCurrentIndex(10);
    Settle();
  }
  // Runs fn with the next modal dialog of type T once it is open; the
  // export's rendering lets timers run before the dialog comes.
  template <typename T>
  void WhenModal(const std::function<void(T*)>& fn) {
    // The pollers live with the test: one whose dialog never came must not
    // answer a later test's dialog with this test's (gone) locals.
    ++waiting_;
    QTimer::singleShot(10, pollers_.get(), [this, fn] {
      --waiting_;
      if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget()))
        fn(d);
      else
        WhenModal<T>(fn);
    });
  }
  // Presses the export button; `inDialog` runs with the save dialog open and
  // decides whether it is accepted.
  void Export(const std::function<bool(QFileDialog*)>& inDialog) {
    bool asked = false;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
      asked = true;
      inDialog(dialog) ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
    });
    Find<QToolButton>("SpeedButton9")->click();
    form_->WaitForExport();
    QVERIFY(asked);
  }
  void ExportAs(const QString& path) {
    Export([&](QFileDialog* d) {
      testing::TypeFileName(d, path);
      return true;
    });
  }

  // The page as a browser shows it: the first picture, the second while the
  // pointer is over the button, the first again when it leaves.
  void CheckRollOverInBrowser(const QString& page, const QString& first, const QString& second) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(
        "/usr/bin/python3",
        {qEnvironmentVariable("VANTRIX_SOURCE_DIR") + "/tests/browser/rollover_test.py", "--page", page,
         "--first", first, "--second", second, "--width", QString::number(form_->ExportSize().ExportWidth)});
    QVERIFY(p.waitForFinished(90000));
    const QByteArray out = p.readAll();
    QVERIFY2(p.exitCode() == 0, out.constData());
  }

 private slots:
  void initTestCase() { QDesktopServices::setUrlHandler("file", this, "PageShown"); }
  void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }
  void init() {
    pollers_ = std::make_unique<QObject>();
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    form_ = testing::ShowMainWindow(*folder_);
    QVERIFY(form_);
    Settle();
    shown_.clear();
  }
  void cleanup() {
    const int waiting = std::exchange(waiting_, 0);
    pollers_.reset();
    QCOMPARE(waiting, 0);  // a dialog the test waited for never came
    form_.reset();
    folder_.reset();
  }

  void PresetsAndThePaletteRule() {
    auto* colors = Find<QComboBox>("ComboBox5");
    Find<QComboBox>("ComboBox3")->setCurrentIndex(2);
    const struct {
      int preset;
      const char* count;
      int quality;
    } rows[] = {{1, " 64", 60}, {0, " 16", 30}, {2, " 256", 90}};
    for (const auto& r : rows) {
      Find<QComboBox>("ComboBox4")->setCurrentIndex(1);  // " Netscape (216)": a fixed size
      QVERIFY(!colors->isEnabled());
      ClickItem("RadioGroup1", r.preset);
      QCOMPARE(colors->currentText(), QString(r.count));
      QCOMPARE(Find<QComboBox>("ComboBox3")->currentText(), QString(" None"));
      QCOMPARE(Find<QComboBox>("ComboBox4")->currentText(), QString(" Optimized"));
      QVERIFY(colors->isEnabled());
      QCOMPARE(form_->ExportSettings().GifOptions().Colors, QString(r.count).trimmed().toInt());
      ClickItem("RadioGroup2", r.preset);
      QCOMPARE(Find<QSlider>("TrackBar5")->value(), r.quality);
      QCOMPARE(Find<QLineEdit>("Edit4")->text(), QString::number(r.quality));
    }
    Find<QSlider>("TrackBar5")->setValue(75);
    QCOMPARE(Find<QLineEdit>("Edit4")->text(), QString("75"));
    QCOMPARE(form_->ExportSettings().JpegQuality, 75);
    for (const char* which : {"4", "5"}) {
      auto* button = Find<QToolButton>(qPrintable(QString("Button") + which));
      auto* group = Find<QGroupBox>(which == QString("4") ? "GroupBox2" : "GroupBox3");
      Find<QTabWidget>("PageControl1")->setCurrentIndex(10);
      Find<QTabWidget>("PageControl2")->setCurrentIndex(which == QString("4") ? 0 : 1);
      QVERIFY(!group->isVisible());
      button->click();
      QVERIFY(group->isVisible());
      QCOMPARE(button->text(), QString("Simple  <<"));
      button->click();
      QVERIFY(!group->isVisible());
      QCOMPARE(button->text(), QString("Advanced  >>"));
    }
  }

  void TheDialogsFilterDecidesTypeAndNames_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("effect");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");  // -1: as the dialog proposes
    QTest::addColumn<QStringList>("written");
    QTest::addRow("gif filter kept") << 0 << false << "Button.jpg" << -1 << QStringList{"Button.gif"};
    QTest::addRow("gif chosen on the jpeg tab") << 1 << false << "Pic" << 0 << QStringList{"Pic.gif"};
    QTest::addRow("roll-over") << 0 << true << "Nav.gif" << -1 << QStringList{"Nav_1.gif", "Nav_2.gif"};
    QTest::addRow("roll-over as bitmaps")
        << 2 << true << "Nav.gif" << -1 << QStringList{"Nav_1.bmp", "Nav_2.bmp"};
    // Renders on black and white are made after the dialog when only it asks for alpha.
    QTest::addRow("png chosen in the dialog")
        << 0 << true << "Nav" << 3 << QStringList{"Nav_1.png", "Nav_2.png"};
    QTest::addRow("webp tab") << 4 << false << "Web" << -1 << QStringList{"Web.webp"};
  }
  void TheDialogsFilterDecidesTypeAndNames() {
    QFETCH(int, tab);
    QFETCH(bool, effect);
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QStringList, written);
    SetCaption("Hello 2");
    SetEffect(effect);
    Find<QTabWidget>("PageControl2")->setCurrentIndex(tab);
    const QString images = Program() + "Images";
    QVERIFY(!QFileInfo::exists(images));
    const char* exts[6] = {".gif", ".jpg", ".bmp", ".png", ".webp", ".avif"};
    Export([&](QFileDialog* d) {
      [&] {
        QCOMPARE(d->windowTitle(), QString("Save 3D Button"));
        QCOMPARE(d->nameFilters(),
                 QStringList({"GIF Image (*.gif)", "JPEG Image (*.jpg)", "Bitmap Image (*.bmp)",
                              "PNG Image (*.png)", "WebP Image (*.webp)", "AVIF Image (*.avif)"}));
        QCOMPARE(d->selectedNameFilter(), d->nameFilters().at(tab));
        QCOMPARE(QFileInfo(d->directory().path()).canonicalFilePath(), QFileInfo(images).canonicalFilePath());
        QCOMPARE(d->selectedFiles().value(0).section('/', -1), QString("Hello") + exts[tab]);
      }();
      if (filter >= 0) d->selectNameFilter(d->nameFilters().at(filter));
      // Typed into the name field, as a user does.
      testing::TypeFileName(d, typed);
      return true;
    });
    QStringList files = QDir(images).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, written);
    for (const QString& f : files) {
      if (f.endsWith(
              ".webp")) {  // Qt reads no WebP without an extra plugin; the command line tests decode it
        QFile webp(images + "/" + f);
        QVERIFY(webp.open(QIODevice::ReadOnly));
        const QByteArray head = webp.read(12);
        QVERIFY(head.startsWith("RIFF") && head.endsWith("WEBP"));
        continue;
      }
      QImage picture(images + "/" + f);
      QCOMPARE(picture.size(), QSize(form_->ExportSize().ExportWidth, form_->ExportSize().ExportHeight));
      // The corner is page, not button: see-through in the formats with alpha.
      if (f.endsWith(".png")) QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    }
    QCOMPARE(form_->ExportSettings().ExportWidth, form_->ExportSize().ExportWidth);
    QCOMPARE(form_->ImageFileSize(), uint64_t(QFileInfo(images + "/" + files.first()).size()));
    QCOMPARE(form_->Phase2FileSize(), effect ? uint64_t(QFileInfo(images + "/" + files.last()).size()) : 0);
    QCOMPARE(shown_.size(), 1);
    QVERIFY(shown_.first().endsWith("html/preview.html"));
    QVERIFY(QFile(shown_.first()).open(QIODevice::ReadOnly));
    QCOMPARE(QFileInfo::exists(Program() + "html/example.txt"), effect);
    if (effect && tab == 0)
      CheckRollOverInBrowser(shown_.first(), images + "/" + files[0], images + "/" + files[1]);
  }

  // Help, the About page and the export's page go to the browser window
  // (here, without a screen, the desktop's browser); a missing file or a
  // browser that cannot start is a message naming the file, and no page.
  void PagesAndMissingFiles() {
    auto* about = form_->findChild<QAction*>("About1");
    QVERIFY(about);
    QVERIFY(!form_->WebForm()->Embedded());
    about->trigger();
    QCOMPARE(shown_, QStringList{Program() + "html/About.html"});
    shown_.clear();
    form_->findChild<QAction*>("Help2")->trigger();
    QCOMPARE(shown_, QStringList{Program() + "Zuvedev.oru"});
    // A desktop without a browser that starts is told so, with the page.
    QString text;
    form_->WebForm()->SetDesktopOpener([](const QUrl&) { return false; });
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      text = box->text();
      box->accept();
    });
    about->trigger();
    QVERIFY2(
        text.startsWith("No web browser could be started") && text.contains(Program() + "html/About.html"),
        qPrintable(text));
    form_->WebForm()->SetDesktopOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
    for (const char* file : {"html/About.html", "html/preview_ani.tml"}) {
      shown_.clear();
      QVERIFY(QFile::remove(Program() + file));
      WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        box->accept();
      });
      if (file == std::string("html/About.html")) {
        about->trigger();
      } else {
        SetEffect(true);
        ExportAs(Program() + "Images/Go.gif");
        QVERIFY(QFileInfo::exists(Program() + "Images/Go_2.gif"));
      }
      QVERIFY2(text.contains(Program() + file), qPrintable(text));
      QVERIFY(shown_.isEmpty());
    }
  }

  // File > Export a set: one picture per usable line, all of one size and
  // with names of their own, a bad line listed while the rest are written,
  // and the navigation page shown.
  void ASetOfButtonsFromTheFileMenu() {
    QStringList listed;
    bool finished = false;
    WhenModal<TSetForm>([&](TSetForm* dialog) {
      dialog->findChild<QPlainTextEdit*>("Memo1")->setPlainText(
          "Home\nNews\nhome\nA caption far too long for one button, surely\n");
      connect(dialog, &TSetForm::Finished, dialog, [&, dialog] {
        finished = true;
        auto* list = dialog->findChild<QListWidget*>("ListBox1");
        for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
        dialog->findChild<QPushButton*>("Button2")->click();  // Close
      });
      dialog->findChild<QPushButton*>("Button1")->click();
    });
    form_->findChild<QAction*>("ExportSet1")->trigger();
    QVERIFY(finished);
    const QString images = Program() + "Images/";
    const QStringList files = QDir(images).entryList({"*.gif"}, QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList({"Home.gif", "News.gif", "home_2.gif"}));
    const QSize size = QImage(images + files[0]).size();
    QVERIFY(size.width() > 10);
    for (const QString& f : files) QCOMPARE(QImage(images + f).size(), size);
    QVERIFY2(listed.filter("line 4:").size() == 1, qPrintable(listed.join(" | ")));
    QCOMPARE(shown_, QStringList{images + "nav.html"});
  }

  // The question is asked of the files the export writes, and No goes back
  // to the dialog without touching them.
  void ReplaceIsAskedOfTheFilesWritten() {
    SetEffect(true);
    const QString dir = Program() + "Images/";
    QVERIFY(QDir().mkpath(dir));
    {
      QFile old(dir + "Nav_2.gif");
      QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    for (const bool replace : {false, true}) {
      QStringList questions;
      int dialogs = 0;
      std::function<void(QFileDialog*)> inDialog = [&](QFileDialog* d) {
        if (++dialogs == 2) return d->reject();  // back in the dialog after No
        testing::TypeFileName(d, dir + "Nav.gif");
        WhenModal<QMessageBox>([&](QMessageBox* box) {
          questions << box->text();
          box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
          if (!replace) WhenModal<QFileDialog>(inDialog);
        });
        static_cast<QDialog*>(d)->accept();
      };
      WhenModal<QFileDialog>(inDialog);
      Find<QToolButton>("SpeedButton9")->click();
      form_->WaitForExport();
      QCOMPARE(questions.size(), 1);
      QVERIFY2(questions[0].startsWith("Nav_2.gif already exists."), qPrintable(questions[0]));
      QCOMPARE(dialogs, replace ? 1 : 2);
      QCOMPARE(QFileInfo(dir + "Nav_2.gif").size() > 3, replace);
      QCOMPARE(QFileInfo::exists(dir + "Nav_1.gif"), replace);
    }
  }

  // Nothing to export, a picture that cannot be written; an edit made while
  // the export asks for its file belongs to the preview, not to the export.
  void FailuresAndRunsKeptApart() {
    const QString dir = Program() + "Images/";
    QVERIFY(QDir().mkpath(dir + "Nav_2.gif"));  // a folder where the second picture goes
    SetEffect(true);
    QString text;
    const int builds = form_->RebuildCount();
    Export([&](QFileDialog* d) {
      Find<QSlider>("TrackBar2")->setValue(form_->Scene().Params.TxtY + 9);
      Settle();
      [&] { QCOMPARE(form_->RebuildCount(), builds + 1); }();  // the window goes on answering
      testing::TypeFileName(d, dir + "Nav.gif");
      WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        box->accept();
      });
      return true;
    });
    QVERIFY2(text.contains("Nav_2.gif"), qPrintable(text));
    QVERIFY(QFileInfo(dir + "Nav_1.gif").isFile());
    QCOMPARE(form_->ImageFileSize(), uint64_t(QFileInfo(dir + "Nav_1.gif").size()));
    QVERIFY(shown_.isEmpty());

    // A second press while an export is drawing starts no second export.
    int dialogs = 0;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
      ++dialogs;
      d->reject();
    });
    Find<QToolButton>("SpeedButton9")->click();
    Find<QToolButton>("SpeedButton9")->click();
    form_->WaitForExport();
    QCOMPARE(dialogs, 1);

    SetCaption("");
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      text = box->text();
      box->accept();
    });
    Find<QToolButton>("SpeedButton9")->click();
    QCOMPARE(text, QString("Sorry, there is nothing to export"));
  }

  void ProgramAndCliWriteTheSamePictures_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("effect");
    QTest::addColumn<QStringList>("cli");  // the same settings on the command line
    QTest::addRow("gif medium, Floyd Steinberg")
        << 0 << true << QStringList{"--preset", "medium", "--dither", "1"};
    QTest::addRow("gif web palette, opaque")
        << 0 << false << QStringList{"--palette", "1", "--no-transparency"};
    QTest::addRow("jpeg 75") << 1 << false << QStringList{"--format", "jpg", "--quality", "75"};
    QTest::addRow("png with alpha, also 2x")
        << 3 << true << QStringList{"--format", "png", "--scale", "1,2", "--rollover", "css"};
    QTest::addRow("png palette of 64") << 3 << false << QStringList{"--format", "png8", "--colors", "64"};
    QTest::addRow("webp 75") << 4 << false << QStringList{"--format", "webp", "--quality", "75"};
    QTest::addRow("avif 60") << 5 << false << QStringList{"--format", "avif", "--quality", "60"};
    QTest::addRow("png, also AVIF and WebP") << 3 << true << QStringList{"--format", "avif,webp,png"};
  }
  void ProgramAndCliWriteTheSamePictures() {
    QFETCH(int, tab);
    QFETCH(bool, effect);
    QFETCH(QStringList, cli);
    SetEffect(effect);
    Find<QTabWidget>("PageControl2")->setCurrentIndex(tab);
    if (cli.contains("medium")) ClickItem("RadioGroup1", 1);
    if (cli.contains("--dither")) Find<QComboBox>("ComboBox3")->setCurrentIndex(1);
    if (cli.contains("--palette")) Find<QComboBox>("ComboBox4")->setCurrentIndex(1);
    if (cli.contains("--no-transparency")) Find<QCheckBox>("CheckBox2")->setChecked(false);
    if (cli.contains("--quality"))
      Find<QSlider>(tab == 5   ? "TrackBar13"
                    : tab == 4 ? "TrackBar9"
                               : "TrackBar5")
          ->setValue(tab == 5 ? 60 : 75);
    if (cli.contains("avif,webp,png")) {
      Find<QCheckBox>("CheckBox13")->setChecked(true);
      Find<QCheckBox>("CheckBox14")->setChecked(true);
    }
    if (tab == 4) Find<QCheckBox>("CheckBox10")->setChecked(false);
    if (cli.contains("png8")) {
      ClickItem("RadioGroup3", 1);
      Find<QComboBox>("ComboBox6")->setCurrentIndex(3);  // " 64"
    }
    if (cli.contains("--scale")) Find<QCheckBox>("CheckBox11")->setChecked(true);
    if (cli.contains("css")) Find<QComboBox>("ComboBox8")->setCurrentIndex(1);
    Find<QCheckBox>("CheckBox3")->setChecked(false);
    QTemporaryDir out;
    const QString ext = QStringList{".gif", ".jpg", ".bmp", ".png", ".webp", ".avif"}.at(tab);
    ExportAs(out.path() + "/gui" + ext);
    QVERIFY(shown_.isEmpty());

    const std::string work = out.path().toStdString() + "/work.dat";
    SaveWork(form_->Scene(), Find<TCaptionEdit>("Edit1")->Caption(), work);
    const TExportSize& size = form_->ExportSize();
    QProcess p;
    p.start(VANTRIX_CLI, QStringList{"export", QString::fromStdString(work), "--program-folder", Program(),
                                     "-o", out.path() + "/cli" + ext, "--size",
                                     QString("%1x%2").arg(size.ExportWidth).arg(size.ExportHeight)} +
                             cli);
    QVERIFY(p.waitForFinished(120000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    QStringList names = effect ? QStringList{"_1", "_2"} : QStringList{""};
    if (cli.contains("--scale")) names += effect ? QStringList{"_1@2x", "_2@2x"} : QStringList{"@2x"};
    QStringList files;
    for (const QString& n : names) {
      files << n + ext;
      if (cli.contains("avif,webp,png")) files << n + ".avif" << n + ".webp";  // offered in the same page
    }
    for (const QString& n : files) {
      QFile a(out.path() + "/gui" + n), b(out.path() + "/cli" + n);
      QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly),
               qPrintable(n + ": " + QDir(out.path()).entryList(QDir::Files).join(' ')));
      const QByteArray bytes = a.readAll();
      QVERIFY(bytes.size() > 100);
      QVERIFY2(bytes == b.readAll(), qPrintable(a.fileName()));
    }
  }

  // Edit > Copy Picture gives the bytes vantrix-cli render writes at the
  // export size, and a plain image beside them. On an X display the PNG is
  // also read back by another program, as a paste into it would.
  void CopyPictureIsTheRenderAtTheExportSize() {
    QGuiApplication::clipboard()->clear();
    Find<QAction>("CopyPicture1")->trigger();
    form_->WaitForExport();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasFormat("image/png") && data->hasImage());
    const QByteArray png = data->data("image/png");
    const QImage image = qvariant_cast<QImage>(data->imageData());
    const TExportSize& size = form_->ExportSize();
    QCOMPARE(image.size(), QSize(size.ExportWidth, size.ExportHeight));
    QVERIFY(image.hasAlphaChannel() && qAlpha(image.pixel(0, 0)) == 0);

    QTemporaryDir out;
    const std::string work = out.path().toStdString() + "/work.dat";
    SaveWork(form_->Scene(), Find<TCaptionEdit>("Edit1")->Caption(), work);
    QProcess cli;
    cli.start(VANTRIX_CLI, {"render", QString::fromStdString(work), "--program-folder", Program(), "-o",
                            out.path() + "/cli.png", "--size",
                            QString("%1x%2").arg(size.ExportWidth).arg(size.ExportHeight)});
    QVERIFY(cli.waitForFinished(120000) && cli.exitCode() == 0);
    QFile file(out.path() + "/cli.png");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == png);

    // View > Actual Size shows the same picture at one pixel per device
    // pixel, over a checkerboard or the page colour.
    Find<QAction>("ActualSize1")->trigger();
    form_->WaitForExport();
    auto* actual = form_->findChild<TActualSizeForm*>("ActualSizeForm");
    QVERIFY(actual && actual->isVisible());
    QCOMPARE(actual->Shown().size(), image.size());
    const QColor corner = actual->Shown().pixelColor(0, 0);
    QVERIFY(corner == QColor(204, 204, 204) || corner == QColor(255, 255, 255));
    actual->findChild<QCheckBox*>("CheckerBox")->setChecked(false);
    QCOMPARE(actual->Shown().pixelColor(0, 0), QColorOf(form_->Scene().Params.BkgColor));
    const QPoint centre(image.width() / 2, image.height() / 2);
    QCOMPARE(actual->Shown().pixelColor(centre), image.pixelColor(centre));  // opaque there

    if (QGuiApplication::platformName() != "xcb") return;
    // The clipboard is served by this process: the event loop must run while
    // the other program reads it.
    QProcess xclip;
    xclip.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
    QTRY_VERIFY_WITH_TIMEOUT(xclip.state() == QProcess::NotRunning, 20000);
    QCOMPARE(xclip.exitCode(), 0);
    QVERIFY(xclip.readAllStandardOutput() == png);
  }
};

QTEST_MAIN(TExportPageTest)
#include "ExportPageTest.moc"
