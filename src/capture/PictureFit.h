#pragma once

namespace kelmo {

// Where a picture goes in an area: the largest rectangle of the picture's shape, centred, with
// black bars on the two sides that are left over.
struct PictureRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PictureRect&) const = default;
};

// The shape a capture is shown in, as width / height. The card's sizes (a PAL or NTSC frame, a
// field of one, or the common halves) are 4:3 whatever their pixel counts; any other size (a
// webcam) keeps its own shape, as its pixels are square.
double PictureAspect(int width, int height);

// The rectangle of an area `areaWidth` x `areaHeight` that shows a `width` x `height` capture.
// An empty capture or area gives an empty rectangle.
PictureRect FitPicture(int width, int height, int areaWidth, int areaHeight);

// A card's full-height capture holds two fields taken 20 ms (or 16.7 ms) apart, so moving edges
// comb; a half-height capture is one field and needs no deinterlacing.
bool IsFullHeightCapture(int height);

}  // namespace kelmo
