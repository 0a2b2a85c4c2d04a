#pragma once
// The Texture Selection file dialog: Qt's own dialog (the same on every
// desktop) showing each picture file as a thumbnail decoded by the program's
// own readers, so a texture is recognised before it is chosen.

#include <QString>

class QWidget;

namespace vantrix {

// The file chosen, or an empty string when the user cancels. start is a file
// to select or a folder to open.
QString ChooseTextureFile(QWidget* owner, const QString& start);

// The name filters the dialog offers, first the one with every picture format.
QStringList TextureNameFilters();

}  // namespace vantrix
