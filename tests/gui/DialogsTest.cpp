// The main window's shape chooser and text dialogs driven on the offscreen
// platform: each dialog is answered from inside its own modal loop.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QtTest>
#include <filesystem>
#include <functional>

#include "app/forms/CaptionEdit.h"
#include "app/forms/ChMUnit.h"
#include "app/forms/FontFaces.h"
#include "app/forms/OpenShape.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit2.h"
#include "app/logic/ShapeList.h"
#include "scene/BShape.h"
#include "tests/support/MainWindow.h"

using namespace vantrix;

namespace {

template <typename T>
T* Modal() {
  return qobject_cast<T*>(QApplication::activeModalWidget());
}

// Every letter with the attributes the build reads.
QString Letters(const TCaption& caption) {
  QStringList out;
  for (const TCaptionChar& c : caption.Chars())
    out << QString("%1 %2 %3%4%5 cs%6")
               .arg(QString::fromUcs4(&c.Char, 1), QString::fromStdString(c.Font.FaceName))
               .arg(c.Font.Size)
               .arg(c.Font.Bold ? "b" : "")
               .arg(c.Font.Italic ? "i" : "")
               .arg(c.Font.Charset);
  return out.join(" | ");
}

TFontSpec Font(const QString& face, int size, bool bold, bool italic) {
  TFontSpec f;
  f.FaceName = face.toStdString();
  f.Size = size;
  f.Bold = bold;
  f.Italic = italic;
  return f;
}

void PutCaret(TCaptionEdit* editor, int position, int anchor = -1) {
  QTextCursor c = editor->textCursor();
  c.setPosition(anchor < 0 ? position : anchor);
  c.setPosition(position, QTextCursor::KeepAnchor);
  editor->setTextCursor(c);
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
    programFolder_ = folder_->path().toStdString() + "/";
    form_ = testing::ShowMainWindow(*folder_);
    QVERIFY(form_);
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
        // The built-in outlines come first, in their own order, whatever the sorting.
        const QStringList builtIns{
            "Rectangle", "Rounded", "Slightly Rounded", "Chamfered", "Slightly Chamfered",
            "Ellipse",   "Circle"};
        QCOMPARE(Captions(list).mid(0, 7), builtIns);
        QStringList sorted = Captions(list).mid(7);
        QCOMPARE(sorted.first(), QString("APLAIN"));
        QVERIFY(sorted.indexOf("STAR") >= 0);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(Captions(list).mid(7), sorted);
        // The delivered shapes carry previews; the plain one gets the framed placeholder.
        const QImage placeholder = list->item(7)->icon().pixmap(120, 40).toImage();
        QCOMPARE(placeholder.pixelColor(0, 0), QColor(0, 128, 0));
        QCOMPARE(placeholder.pixelColor(3, 3), QColor(Qt::white));
        const QImage star = list->item(7 + sorted.indexOf("STAR"))->icon().pixmap(120, 40).toImage();
        QVERIFY(star.pixelColor(0, 0) != QColor(0, 128, 0));

        dialog->findChild<QCheckBox*>("CheckBox1")->setChecked(false);
        QStringList folderOrder;
        for (const TShapeEntry& e : ListShapes(shapes, false))
          folderOrder << QString::fromStdString(e.Caption);
        QCOMPARE(Captions(list), builtIns + folderOrder);
        list->setCurrentRow(7 + folderOrder.indexOf("STAR"));
        if (ok) emit list->itemDoubleClicked(list->currentItem());
      });
      QCOMPARE(scene().Params.ShapeName, ok ? std::string("STAR.vtxb") : before.ShapeName);
      QCOMPARE(scene().Params.ButType, ok ? 16 : before.ButType);
      form_->WaitForPreview();
      QCOMPARE(form_->RebuildCount(), builds + (ok ? 1 : 0));
    }
    // A built-in outline is a button kind of its own, kept through hiding the button.
    ClickAnswering("SpeedButton12", [&] {
      auto* dialog = Modal<TOpenShForm>();
      QVERIFY(dialog);
      auto* list = dialog->findChild<QListWidget*>("ListView1");
      list->setCurrentRow(Captions(list).indexOf("Ellipse"));
      dialog->accept();
    });
    QCOMPARE(scene().Params.ButType, 6);
    auto* hide = Find<QCheckBox>("CheckBox9");
    hide->click();
    QCOMPARE(scene().Params.ButType, 0);
    hide->click();
    QCOMPARE(scene().Params.ButType, 6);
  }

  void ShapeChooserReportsAMissingFolderAndADamagedPreview_data() {
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("listed");
    QTest::addRow("missing folder") << true << "BShapes/\" does not exist" << 0;
    QTest::addRow("damaged preview") << false << "JPEG error #" << 8;  // the seven built-ins and A
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
      if (!box) {  // no message: close the chooser instead of hanging in it
        if (auto* dialog = Modal<QDialog>()) dialog->reject();
        QFAIL("no message box");
      }
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

  // The face box finds a face by any part of its name as it is typed.
  void FaceBoxSearchesWithinNames() {
    TForm2 dialog;
    auto* faces = dialog.findChild<QComboBox*>("FontName");
    QVERIFY(faces && faces->completer());
    QCompleter* search = faces->completer();
    search->setCompletionPrefix("SANS");
    QStringList found;
    for (int i = 0; search->setCurrentRow(i); ++i) found << search->currentCompletion();
    if (found.isEmpty()) QSKIP("no installed face has Sans in its name");
    for (const QString& face : found) QVERIFY2(face.contains("sans", Qt::CaseInsensitive), qPrintable(face));
    QVERIFY(std::any_of(found.begin(), found.end(),
                        [](const QString& f) { return !f.startsWith("sans", Qt::CaseInsensitive); }));
  }

  void TextDialogFollowsTheCaretAndInsertsASymbolAt18Points() {
    const QStringList faces = ScalableFaces();
    if (faces.size() < 2) QSKIP("needs two installed faces");
    auto* edit1 = Find<TCaptionEdit>("Edit1");
    TCaption caption;
    caption.Append(U'x', Font(faces[0], 20, true, false));
    caption.Append(U'y', Font(faces[1], 30, false, true));
    edit1->SetCaption(caption);
    const QString before = Letters(edit1->Caption());
    const int builds = form_->RebuildCount();
    QString invalid;
    ClickAnswering("SpeedButton11", [&] {
      auto* dialog = Modal<TForm2>();
      QVERIFY(dialog);
      const auto close = qScopeGuard([dialog] {
        if (dialog->isVisible()) dialog->accept();
      });
      auto* editor = dialog->Editor();
      auto* name = dialog->findChild<QComboBox*>("FontName");
      auto* size = dialog->findChild<QLineEdit*>("FontSize");
      auto* bold = dialog->findChild<QToolButton*>("BoldButton");
      auto* italic = dialog->findChild<QToolButton*>("ItalicButton");
      QCOMPARE(Letters(editor->Caption()), before);
      for (int i : {1, 2, 1}) {
        PutCaret(editor, i);
        QCOMPARE(name->currentText(), faces[i - 1]);
        QCOMPARE(size->text(), QString::number(i == 1 ? 20 : 30));
        QCOMPARE(bold->isChecked(), i == 1);
        QCOMPARE(italic->isChecked(), i == 2);
      }
      QCOMPARE(Letters(editor->Caption()), before);  // following the caret changes no letter

      // Sizes: a bad one is refused with the conversion's message, a good one sets the selection.
      PutCaret(editor, 2, 0);
      QTimer::singleShot(0, [&] {
        auto* box = Modal<QMessageBox>();
        QVERIFY(box);
        invalid = box->text();
        box->accept();
      });
      size->setText("1x");
      emit size->editingFinished();
      QCOMPARE(Letters(editor->Caption()), before);
      size->setFocus();
      size->clear();
      QTest::keyClicks(size, "14");
      QTest::keyClick(size, Qt::Key_Return);  // applies the size; the dialog stays open
      QVERIFY(dialog->isVisible());
      QCOMPARE(editor->Caption().At(0).Font.Size, 14);
      QCOMPARE(editor->Caption().At(1).Font.Size, 14);
      QVERIFY(editor->Caption().At(0).Font.Bold && editor->Caption().At(1).Font.Italic);

      // The cell in column 1 of row 1 is code 65, inserted at 18 points in the map's face.
      PutCaret(editor, 1);
      QTimer::singleShot(0, [&] {
        auto* map = Modal<TCharMap>();
        QVERIFY(map);
        map->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
        auto* grid = map->findChild<QTableWidget*>("StringGrid1");
        grid->setCurrentCell(1, 1);
        emit grid->cellDoubleClicked(1, 1);
      });
      dialog->findChild<QToolButton*>("ToolButton1")->click();
      const TCaptionChar inserted = editor->Caption().At(1);
      QCOMPARE(inserted.Char, U'A');
      QCOMPARE(inserted.Font.Size, 18);
      QCOMPARE(QString::fromStdString(inserted.Font.FaceName), faces[1]);
      QVERIFY(inserted.Font.Bold);  // the caret's style stays
    });
    QCOMPARE(invalid, QString("'1x' is not a valid integer value"));
    const TCaption after = edit1->Caption();
    QCOMPARE(QString::fromStdString(after.TextUtf8()), QString("xAy"));
    QCOMPARE(after.At(1).Font.Size, 18);
    QCOMPARE(after.At(2).Font.Size, 14);
    form_->WaitForPreview();
    QCOMPARE(form_->RebuildCount(), builds + 1);
  }

  // A character the map's set does not hold, given by its code, goes in at
  // the caret like a cell's; an entry that is no character inserts nothing.
  void CharacterMapTakesAnyCharacter() {
    auto* edit1 = Find<TCaptionEdit>("Edit1");
    TCaption caption;
    caption.Append(U'x', Font("DejaVu Sans", 20, false, false));
    edit1->SetCaption(caption);
    ClickAnswering("SpeedButton11", [&] {
      auto* dialog = Modal<TForm2>();
      QVERIFY(dialog);
      const auto close = qScopeGuard([dialog] {
        if (dialog->isVisible()) dialog->accept();
      });
      for (const char* typed : {"U+03A9", "U+", "\u2713"}) {
        PutCaret(dialog->Editor(), dialog->Editor()->Length());
        QTimer::singleShot(0, [&] {
          auto* map = Modal<TCharMap>();
          QVERIFY(map);
          auto* entry = map->findChild<QLineEdit*>("Edit1");
          entry->setFocus();
          for (QChar c : QString::fromUtf8(typed))  // typed as keys, which a pasted text also is
            QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, QString(c), Qt::NoModifier);
          map->accept();
        });
        dialog->findChild<QToolButton*>("ToolButton1")->click();
      }
    });
    const TCaption after = edit1->Caption();
    QCOMPARE(QString::fromStdString(after.TextUtf8()), QString::fromUtf8("x\u03a9\u2713"));
    QCOMPARE(after.At(1).Font.Size, 18);
  }

  void TextDialogCancelChangesNothing() {
    auto* edit1 = Find<TCaptionEdit>("Edit1");
    const QString before = Letters(edit1->Caption());
    QVERIFY(edit1->Length() > 0);
    const int builds = form_->RebuildCount();
    const bool modified = form_->Modified();
    ClickAnswering("SpeedButton11", [&] {
      auto* dialog = Modal<TForm2>();
      QVERIFY(dialog);
      const auto close = qScopeGuard([dialog] { dialog->reject(); });
      PutCaret(dialog->Editor(), dialog->Editor()->Length(), 0);
      dialog->findChild<QToolButton*>("BoldButton")->click();
      dialog->Editor()->insertPlainText("zz");
      QVERIFY(Letters(dialog->Editor()->Caption()) != before);
    });
    QCOMPARE(Letters(edit1->Caption()), before);
    QCOMPARE(form_->RebuildCount(), builds);
    QCOMPARE(form_->Modified(), modified);
  }

  // Font Selection starts from the caption's own font: OK on the untouched
  // dialog leaves every letter as it was, and a size chosen there is every
  // letter's size, their face and style kept.
  void FontSelectionChangesOnlyWhatWasChanged() {
    auto* edit = Find<TCaptionEdit>("Edit1");
    TFontSpec serif;
    serif.FaceName = "Liberation Serif";
    serif.Bold = true;
    serif.Size = 24;
    TCaption caption;
    caption.SetText("Go", serif);
    edit->SetCaption(caption);
    QFont shown;
    ClickAnswering("SpeedButton1", [&] {
      auto* dialog = Modal<QFontDialog>();
      QVERIFY(dialog);
      shown = dialog->currentFont();
      dialog->accept();
    });
    QCOMPARE(shown.family(), QString("Liberation Serif"));
    QVERIFY(shown.bold());
    QCOMPARE(shown.pointSize(), 24);
    QVERIFY(edit->Caption() == caption);

    ClickAnswering("SpeedButton1", [&] {
      auto* dialog = Modal<QFontDialog>();
      QVERIFY(dialog);
      QFont bigger = dialog->currentFont();
      bigger.setPointSize(30);
      dialog->setCurrentFont(bigger);
      dialog->accept();
    });
    const TCaption after = edit->Caption();
    QCOMPARE(after.Length(), 2);
    for (int i = 0; i < after.Length(); ++i) {
      QCOMPARE(after.At(i).Font.Size, 30);
      QCOMPARE(after.At(i).Font.FaceName, serif.FaceName);
      QVERIFY(after.At(i).Font.Bold);
    }
  }

  // A face typed into the font box (in any case) and Enter is applied to the
  // selection, and the dialog stays open.
  void TypedFontNameAndEnterApplyTheFace() {
    auto* edit1 = Find<TCaptionEdit>("Edit1");
    TCaption caption;
    caption.SetText("ab", TFontSpec{});
    edit1->SetCaption(caption);
    bool open = false;
    ClickAnswering("SpeedButton11", [&] {
      auto* dialog = Modal<TForm2>();
      QVERIFY(dialog);
      auto* editor = dialog->Editor();
      editor->selectAll();
      auto* name = dialog->findChild<QComboBox*>("FontName");
      name->lineEdit()->setFocus();
      name->lineEdit()->selectAll();
      QTest::keyClicks(name->lineEdit(), "liberation serif");
      QTest::keyClick(name->lineEdit(), Qt::Key_Return);
      open = dialog->isVisible();
      dialog->accept();
    });
    QVERIFY(open);
    const TCaption after = edit1->Caption();
    for (int i = 0; i < after.Length(); ++i)
      QCOMPARE(after.At(i).Font.FaceName, std::string("Liberation Serif"));
  }
};

QTEST_MAIN(TDialogsTest)
#include "DialogsTest.moc"
