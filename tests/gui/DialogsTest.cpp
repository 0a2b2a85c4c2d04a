// The main window's shape chooser and text dialogs driven on the offscreen
// platform: each dialog is answered from inside its own modal loop.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QtTest>
#include <filesystem>
#include <functional>

#include "app/forms/CaptionEdit.h"
#include "app/forms/OpenShape.h"
#include "app/forms/Unit1.h"
#include "app/logic/ShapeList.h"
#include "scene/BShape.h"

using namespace vantrix;

namespace {

template <typename T>
T* Modal() {
  return qobject_cast<T*>(QApplication::activeModalWidget());
}

QStringList Captions(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

}  // namespace

class TDialogsTest : public QObject {
  Q_OBJECT
 private:
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form_;
  std::string programFolder_;

  template <typename T>
  T* Find(const char* name) {
    T* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  TScene& scene() { return form_->Scene(); }
  // Clicks `button` of the main window; `answer` runs inside the dialog it opens.
  void ClickAnswering(const char* button, std::function<void()> answer) {
    QTimer::singleShot(0, answer);
    Find<QToolButton>(button)->click();
  }

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    std::filesystem::copy(VANTRIX_BINARY_DIR "/data", folder_->path().toStdString(),
                          std::filesystem::copy_options::recursive);
    programFolder_ = folder_->path().toStdString() + "/";
    TForm1Options options;
    options.ProgramFolder = programFolder_;
    options.InitialFile = programFolder_ + "Default.dat";
    form_ = std::make_unique<TForm1>(options);
    Find<QTimer>("Timer1")->stop();
    form_->resize(1000, 700);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QTest::qWait(50);
  }
  void cleanup() {
    form_.reset();
    folder_.reset();
  }

  void ShapeChooserSortsShowsPlaceholdersAndSetsTheShape() {
    const std::string shapes = programFolder_ + kShapesFolderName;
    SaveShapeFile(shapes + "aplain.vtxb", {{-10, 10, 10, -10}, {{1, -20, 20}, {1, 20, 20}, {1, 20, -20}}});
    const TParams before = scene().Params;
    const int builds = form_->RebuildCount();
    for (const bool ok : {false, true}) {
      ClickAnswering("SpeedButton12", [&, ok] {
        auto* dialog = Modal<TOpenShForm>();
        QVERIFY(dialog);
        const auto close = qScopeGuard([dialog] {
          if (dialog->isVisible()) dialog->reject();
        });  // also when a check fails
        QCOMPARE(dialog->windowTitle(), QString(" Open 3D Button Shape"));
        auto* list = dialog->findChild<QListWidget*>("ListView1");
        dialog->findChild<QCheckBox*>("CheckBox1")->setChecked(true);  // as the last showing left it
        QStringList sorted = Captions(list);
        QCOMPARE(sorted.first(), QString("APLAIN"));
        QVERIFY(sorted.indexOf("STAR") >= 0);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(Captions(list), sorted);
        // The delivered shapes carry previews; the plain one gets the framed placeholder.
        const QImage placeholder = list->item(0)->icon().pixmap(120, 40).toImage();
        QCOMPARE(placeholder.pixelColor(0, 0), QColor(0, 128, 0));
        QCOMPARE(placeholder.pixelColor(3, 3), QColor(Qt::white));
        const QImage star = list->item(sorted.indexOf("STAR"))->icon().pixmap(120, 40).toImage();
        QVERIFY(star.pixelColor(0, 0) != QColor(0, 128, 0));

        dialog->findChild<QCheckBox*>("CheckBox1")->setChecked(false);
        QStringList folderOrder;
        for (const TShapeEntry& e : ListShapes(shapes, false))
          folderOrder << QString::fromStdString(e.Caption);
        QCOMPARE(Captions(list), folderOrder);
        list->setCurrentRow(folderOrder.indexOf("STAR"));
        if (ok) emit list->itemDoubleClicked(list->currentItem());
      });
      QCOMPARE(scene().Params.ShapeName, ok ? std::string("STAR.vtxb") : before.ShapeName);
      QCOMPARE(scene().Params.ButType, ok ? 16 : before.ButType);
      QCOMPARE(form_->RebuildCount(), builds + (ok ? 1 : 0));
    }
  }

  void ShapeChooserReportsAMissingFolderAndADamagedPreview_data() {
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("listed");
    QTest::addRow("missing folder") << true << "BShapes/\" does not exist" << 0;
    QTest::addRow("damaged preview") << false << "JPEG error #" << 1;
  }
  void ShapeChooserReportsAMissingFolderAndADamagedPreview() {
    QFETCH(bool, missing);
    QFETCH(QString, message);
    QFETCH(int, listed);
    const std::string shapes = programFolder_ + kShapesFolderName;
    std::filesystem::remove_all(shapes);
    if (!missing) {
      std::filesystem::create_directory(shapes);
      const TShapeData square{{-10, 10, 10, -10}, {{1, -20, 20}, {1, 20, 20}, {1, 20, -20}}};
      SaveShapeFile(shapes + "A.vtxb", square);
      SaveShapeFile(shapes + "B.vtxb", square, std::vector<uint8_t>(40, 0x33));
      SaveShapeFile(shapes + "C.vtxb", square);
    }
    const std::string shapeName = scene().Params.ShapeName;
    QString shown;
    ClickAnswering("SpeedButton12", [&] {
      auto* box = Modal<QMessageBox>();
      QVERIFY(box);
      shown = box->text();
      box->accept();
      QTimer::singleShot(0, [&] {
        auto* dialog = Modal<TOpenShForm>();
        QVERIFY(dialog);
        const auto close = qScopeGuard([dialog] {
          if (dialog->isVisible()) dialog->accept();
        });
        QCOMPARE(dialog->findChild<QListWidget*>("ListView1")->count(), listed);
      });
    });
    QVERIFY2(shown.contains(message), qPrintable(shown));
    if (missing) QVERIFY(shown.startsWith("Directory: \"" + QString::fromStdString(programFolder_)));
    QCOMPARE(scene().Params.ShapeName, shapeName);
  }
};

QTEST_MAIN(TDialogsTest)
#include "DialogsTest.moc"
