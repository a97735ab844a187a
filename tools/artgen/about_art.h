// The about box's picture (380 x 160) and the program's icon.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace art {

Canvas about_picture();
// The icon's images, 32 x 32 then 16 x 16; `none` is transparent.
std::vector<Canvas> icon_images();
// The same icon drawn at any size for the desktop's icon theme, and as SVG.
Canvas icon_picture(int size);
std::string icon_svg();

}  // namespace art
