#pragma once
// The main window as the GUI tests start it: in a fresh copy of the build
// tree's program folder, with the default work open, shown at 1000 x 700 and
// its timer stopped, so that a test ticks by hand.

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>
#include <filesystem>
#include <memory>

#include "app/forms/Unit1.h"

namespace vantrix::testing {

// Null when the window could not be shown.
inline std::unique_ptr<TForm1> ShowMainWindow(const QTemporaryDir& folder) {
  const std::string path = folder.path().toStdString() + "/";
  std::filesystem::copy(VANTRIX_BINARY_DIR "/data", path, std::filesystem::copy_options::recursive);
  // The build tree's folder may hold exports of earlier runs (scripts/main).
  std::filesystem::remove_all(path + "Images");
  TForm1Options options;
  options.ProgramFolder = path;
  options.InitialFile = path + "Default.dat";
  options.RecoveryFolder = path + "state/";
  auto form = std::make_unique<TForm1>(options);
  form->findChild<QTimer*>("Timer1")->stop();
  form->resize(1000, 700);
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
  QTest::qWait(50);  // the work is opened and the resizes of showing are done
  // The first picture is drawn on the preview worker: a test starts once it is shown.
  if (!QTest::qWaitFor([&form] { return form->RenderCount() > 0; }, 20000)) return nullptr;
  QCoreApplication::processEvents();
  form->WaitForPreview();
  return form;
}

// Types a file name (or path) into an open file dialog, as a user does.
// QFileDialog::selectFile leaves the field alone while it has the focus, and
// when the focus arrives depends on timing; typing does not.
inline void TypeFileName(QFileDialog* dialog, const QString& name) {
  if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
    edit->setText(name);
  else
    dialog->selectFile(name);
}

}  // namespace vantrix::testing
