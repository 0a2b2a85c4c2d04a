#include "app/forms/TextureDialog.h"

#include <QAbstractFileIconProvider>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QListView>
#include <QPixmap>

#include "app/forms/FormWidgets.h"
#include "platform/PictureFile.h"

namespace vantrix {

namespace {

constexpr int kThumbSide = 64;
// Larger files are shown with the plain file icon rather than decoded on the
// window's thread while the user browses.
constexpr qint64 kMaxThumbFileSize = qint64{8} << 20;

class TThumbnailIcons : public QAbstractFileIconProvider {
 public:
  QIcon icon(const QFileInfo& info) const override {
    if (!info.isFile() || info.size() > kMaxThumbFileSize ||
        PictureFormatFromExtension(("." + info.suffix()).toStdString(), TExtensionCase::IgnoreAscii) ==
            TPictureFormat::Unknown)
      return QAbstractFileIconProvider::icon(info);
    const QString key =
        info.absoluteFilePath() + '|' + QString::number(info.lastModified().toMSecsSinceEpoch());
    if (auto found = cache_.constFind(key); found != cache_.constEnd()) return *found;
    QIcon icon;
    try {
      const QImage image = ImageOfPicture(LoadPictureFile(info.absoluteFilePath().toStdString()));
      icon = QIcon(QPixmap::fromImage(
          image.scaled(kThumbSide, kThumbSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    } catch (const TPictureError&) {
      // A damaged picture is listed like any other file; choosing it gives the usual message.
      icon = QAbstractFileIconProvider::icon(info);
    }
    cache_.insert(key, icon);
    return icon;
  }
  using QAbstractFileIconProvider::icon;

 private:
  mutable QHash<QString, QIcon> cache_;
};

}  // namespace

QStringList TextureNameFilters() {
  return {"All Images (GIF, JPEG, Bitmap, PNG, WebP) (*.gif *.jpg *.jpeg *.bmp *.png *.webp)",
          "GIF Image (*.gif) (*.gif)",
          "JPEG Image File (*.jpg, *.jpeg) (*.jpg *.jpeg)",
          "Bitmaps (*.bmp) (*.bmp)",
          "PNG Image (*.png) (*.png)",
          "WebP Image (*.webp) (*.webp)"};
}

QString ChooseTextureFile(QWidget* owner, const QString& start) {
  TThumbnailIcons icons;
  QFileDialog dialog(owner);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setIconProvider(&icons);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(TextureNameFilters());
  dialog.setViewMode(QFileDialog::List);
  const QFileInfo startInfo(start);
  if (startInfo.isDir())
    dialog.setDirectory(start);
  else
    dialog.selectFile(start);
  // The list view draws the thumbnails large enough to tell textures apart.
  if (auto* list = dialog.findChild<QListView*>("listView")) {
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(kThumbSide, kThumbSide));
    list->setGridSize(QSize(kThumbSide + 40, kThumbSide + 36));
    list->setWordWrap(true);
  }
  dialog.resize(760, 520);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace vantrix
