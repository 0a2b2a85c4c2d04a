#pragma once
// The face names the text dialogs offer: the installed scalable fonts, one
// entry per family whatever its foundries, sorted without regard to case.

#include <QStringList>

class QComboBox;
class QFontDialog;

namespace vantrix {

QStringList ScalableFaces();

// Face lists that show each name in its own face. The combo box (an
// editable one) also finds a face by any part of its name as it is typed;
// in the font dialog the family list is drawn so.
void ShowFacesInTheirOwnFont(QComboBox* faces);
void ShowFacesInTheirOwnFont(QFontDialog* dialog);

}  // namespace vantrix
