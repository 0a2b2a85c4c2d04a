// vantrix [--program-folder DIR] [--quit-after-first-picture] [FILE]: the
// desktop program. FILE, when given, is opened at once instead of asking the
// welcome dialog.

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QMessageBox>

#include "app/forms/Unit1.h"
#include "app/forms/WebUnit.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
  vantrix::PrepareEmbeddedBrowser();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vantrix");
  QApplication::setApplicationDisplayName("Vantrix");
  QApplication::setDesktopFileName("vantrix");

  QCommandLineParser parser;
  parser.setApplicationDescription("Makes three-dimensional buttons for web pages.");
  parser.addHelpOption();
  const QCommandLineOption folder("program-folder", "Folder with the shapes, templates and textures.", "DIR");
  parser.addOption(folder);
  const QCommandLineOption quitAfterFirstPicture(
      "quit-after-first-picture", "Quit as soon as the first preview has been shown (for timing the start).");
  parser.addOption(quitAfterFirstPicture);
  parser.addPositionalArgument("FILE", "Work file to open.", "[FILE]");
  parser.process(app);

  vantrix::TForm1Options options;
  try {
    options.ProgramFolder = vantrix::OpenProgramFolder(
        vantrix::DefaultProgramFolderCandidates(parser.value(folder).toStdString()));
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Vantrix", e.what());
    return 1;
  }
  if (!parser.positionalArguments().isEmpty())
    options.InitialFile = parser.positionalArguments().first().toStdString();

  vantrix::TForm1 form1(options);
  if (parser.isSet(quitAfterFirstPicture)) {
    // The end of the start as a user sees it, for bench/app-startup: the
    // first rendered picture painted. Leaving the loop, not quitting, asks no
    // window to close.
    QObject::connect(&form1, &vantrix::TForm1::PreviewShown, &form1, [&form1] {
      if (form1.RenderCount() == 0) return;
      form1.findChild<QLabel*>("Image2")->repaint();
      QCoreApplication::exit(0);
    });
  }
  form1.showMaximized();
  return QApplication::exec();
}
