#pragma once
// The face names the text dialogs offer: the installed scalable fonts, one
// entry per family whatever its foundries, sorted without regard to case.

#include <QStringList>

namespace vantrix {

QStringList ScalableFaces();

}  // namespace vantrix
