#pragma once

#include <string_view>

#include "capture/VideoFrame.h"

namespace kelmo {

// Writes `text` into a BGR picture with a 5 x 7 dot font, each dot `scale` pixels, the top left
// corner at (x, y), in `bgr` colour on a black box one dot wider all round. Lower-case letters are
// drawn as capitals; characters the font lacks as blanks. Pixels outside the picture are left out.
void DrawText(VideoFrame& frame, std::string_view text, int x, int y, int scale,
              const uint8_t bgr[3]);

// Width in pixels of `text` as DrawText draws it, without the box.
int TextWidth(std::string_view text, int scale);

}  // namespace kelmo
