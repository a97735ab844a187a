// The 16 x 16 pictures shared by the buttons and the menus, on a clear
// (`none`) background.
#pragma once

#include "canvas.h"

namespace art::glyph {

// Transport, drawn in one colour so that the disabled look can emboss them.
Canvas start();
Canvas previous();
Canvas play();
Canvas pause();
Canvas next();
Canvas end();

Canvas picture();      // a framed landscape: the current frame
Canvas film();         // a film strip: video
Canvas speaker();      // audio
Canvas open_folder();  // open
Canvas floppy();       // save
Canvas exit_door();
Canvas globe();  // 15 x 15
Canvas help();
Canvas close_document();
Canvas note();
Canvas info();

}  // namespace art::glyph
