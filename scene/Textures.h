#pragma once
// Loading the button and caption textures named in the scene parameters
// (ButTexFile, TxtTexFile) into the view, after a work is opened or a texture
// file is chosen.
//
// The file's extension, compared exactly, picks the decoder: ".gif", ".jpg" or
// ".jpeg", ".bmp"; any other extension (".JPG" included) gives no picture. A
// file that is not where its path says is looked for by its file name in the
// program folder's Textures/ folder (names compared without regard to case),
// and when found there the parameter is changed to name it; a path stored on
// another system ("C:\Textures\Wood.jpg") is found the same way. Not found:
// the texture is off and the scene's message sink gets a note naming the
// file. Found but not usable (cannot be read, not decodable, smaller than
// 2 x 2): the texture is off and the scene's message sink (stderr without
// one) gets "Error loading file: <path>".

#include "scene/Scene.h"

namespace vantrix {

void LoadButtonTexture(TScene& scene);
void LoadCaptionTexture(TScene& scene);

}  // namespace vantrix
