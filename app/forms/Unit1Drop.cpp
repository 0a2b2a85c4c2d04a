// Files dropped on the window: a work or template opens (after the usual
// question about unsaved changes), a shape file sets the button's outline, a
// picture becomes a texture. A picture dropped on a colour page goes to that
// page's caption or button; anywhere else a small menu asks which.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/forms/FormWidgets.h"
#include "app/forms/Unit1.h"
#include "app/logic/DesignEdits.h"
#include "app/logic/ShapeList.h"
#include "app/logic/WorkDocuments.h"

namespace vantrix {

namespace {

// The one local file a drop carries that the window can use, or "".
std::string UsableDroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().constFirst();
  if (!url.isLocalFile()) return {};
  const std::string path = url.toLocalFile().toStdString();
  return DropKindOf(path) == TDropKind::None ? std::string() : path;
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  return fa && fb &&
         std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>());
}

}  // namespace

// A shape file from elsewhere is copied into the shapes folder under its own
// name; one of that name with other contents is not replaced.
bool TForm1::ShapeInLibrary(const std::string& path) {
  const std::string folder = programFolder_ + kShapesFolderName;
  const std::string target = folder + FileNameOf(path);
  std::error_code ec;
  if (std::filesystem::exists(target, ec) && std::filesystem::equivalent(target, path, ec)) return true;
  if (std::filesystem::exists(target, ec)) {
    if (SameBytes(target, path)) return true;
    ShowMessageBox(this, QString::fromStdString("The shapes folder already holds another shape named " +
                                                FileNameOf(path) + ":\n" + target));
    return false;
  }
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::copy_file(path, target, ec)) {
    ShowMessageBox(this, QString::fromStdString("Cannot copy the shape into the shapes folder: " +
                                                ec.message() + "\n" + target));
    return false;
  }
  return true;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!UsableDroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (!UsableDroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::string path = UsableDroppedFile(event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  // The drag's source waits for the drop to return: questions come after it.
  const QPoint at = mapToGlobal(event->position().toPoint());
  QMetaObject::invokeMethod(
      this, [this, path, at] { OpenDropped(path, at); }, Qt::QueuedConnection);
}

void TForm1::OpenDropped(const std::string& path, QPoint globalPos) {
  switch (DropKindOf(path)) {
    case TDropKind::Work:
    case TDropKind::Template:
      if (!ConfirmReplace("Open confirmation")) return;
      settings_.Saves = FolderOf(path);
      OpenWorkFile(path);
      ShowPhases();
      StartHistory(SavesInPlace(path) ? path : std::string());
      return;
    case TDropKind::Shape:
      // The scene finds shapes by name in the program's shapes folder.
      if (!ShapeInLibrary(path)) return;
      SetButtonShape(16, FileNameOf(path));
      return;
    case TDropKind::Picture: {
      const QWidget* page = PageControl1->currentWidget();
      int target = page && page->objectName() == "TabSheet3"   ? 0
                   : page && page->objectName() == "TabSheet4" ? 1
                                                               : -1;
      if (target < 0) {
        QMenu menu(this);
        menu.setObjectName("DropTextureMenu");
        menu.addAction("Use as &Caption Texture");
        QAction* button = menu.addAction("Use as &Button Texture");
        button->setEnabled(scene_->Params.ButType > 0);
        const QAction* chosen = menu.exec(globalPos);
        if (!chosen) return;
        target = chosen == button ? 1 : 0;
      }
      ApplyEdit(SetTexture(*scene_, target == 1, path));
      return;
    }
    case TDropKind::None:
      return;
  }
}

}  // namespace vantrix
