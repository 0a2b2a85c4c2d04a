#include "app/forms/FontFaces.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QStyledItemDelegate>

namespace vantrix {

QStringList ScalableFaces() {
  QStringList faces;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family) || !QFontDatabase::isScalable(family)) continue;
    // A family offered by several foundries is listed as "Name [Foundry]".
    const qsizetype bracket = family.indexOf(" [");
    faces << (bracket > 0 ? family.left(bracket) : family);
  }
  faces.sort(Qt::CaseInsensitive);
  faces.removeDuplicates();
  return faces;
}

namespace {

// Draws an item whose text is a face name in that face, at the list's size.
class TOwnFaceDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->font.setFamily(index.data(Qt::DisplayRole).toString());
  }
};

}  // namespace

void ShowFacesInTheirOwnFont(QComboBox* faces) {
  faces->view()->setItemDelegate(new TOwnFaceDelegate(faces));
  if (!faces->isEditable()) return;
  auto* completer = new QCompleter(faces->model(), faces);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setFilterMode(Qt::MatchContains);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  completer->popup()->setItemDelegate(new TOwnFaceDelegate(completer));
  faces->setCompleter(completer);
}

void ShowFacesInTheirOwnFont(QFontDialog* dialog) {
  // Qt's own dialog lists families, styles and sizes; the families are the
  // list that holds the dialog's current family.
  const QString family = dialog->currentFont().family();
  for (QListView* list : dialog->findChildren<QListView*>()) {
    const QAbstractItemModel* model = list->model();
    if (!model ||
        model->match(model->index(0, 0), Qt::DisplayRole, family, 1, Qt::MatchFixedString).isEmpty())
      continue;
    list->setItemDelegate(new TOwnFaceDelegate(list));
    return;
  }
}

}  // namespace vantrix
