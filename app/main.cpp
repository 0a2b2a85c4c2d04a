// vantrix [--program-folder DIR] [FILE]: the desktop program. FILE, when
// given, is opened at once instead of asking the welcome dialog.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include "app/forms/Unit1.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vantrix");
  QApplication::setApplicationDisplayName("Vantrix");
  QApplication::setDesktopFileName("vantrix");

  QCommandLineParser parser;
  parser.setApplicationDescription("Makes three-dimensional buttons for web pages.");
  parser.addHelpOption();
  const QCommandLineOption folder("program-folder", "Folder with the shapes, templates and textures.", "DIR");
  parser.addOption(folder);
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
  form1.showMaximized();
  return QApplication::exec();
}
