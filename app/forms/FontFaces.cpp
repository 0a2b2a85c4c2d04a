#include "app/forms/FontFaces.h"

#include <QFontDatabase>

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

}  // namespace vantrix
