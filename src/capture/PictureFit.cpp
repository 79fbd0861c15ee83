#include "capture/PictureFit.h"

#include <algorithm>
#include <cmath>

namespace kelmo {
namespace {

struct Size {
  int width;
  int height;
};

// The sizes a Bt848 card delivers: full PAL and NTSC frames at square and at ITU pixels, their
// halves (one field) and CIF.
constexpr Size kCardSizes[] = {
    {768, 576}, {720, 576}, {640, 480}, {720, 480}, {384, 288},
    {360, 288}, {320, 240}, {360, 240}, {352, 288}, {352, 240},
};

}  // namespace

double PictureAspect(int width, int height) {
  if (width <= 0 || height <= 0) return 4.0 / 3.0;
  for (const Size& s : kCardSizes) {
    if (s.width == width && s.height == height) return 4.0 / 3.0;
  }
  return static_cast<double>(width) / height;
}

PictureRect FitPicture(int width, int height, int areaWidth, int areaHeight) {
  if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0) return {};
  const double aspect = PictureAspect(width, height);
  PictureRect r;
  if (areaWidth >= areaHeight * aspect) {
    // Wider than the picture: bars left and right.
    r.height = areaHeight;
    r.width = std::min(areaWidth, static_cast<int>(std::lround(areaHeight * aspect)));
  } else {
    r.width = areaWidth;
    r.height = std::min(areaHeight, static_cast<int>(std::lround(areaWidth / aspect)));
  }
  r.x = (areaWidth - r.width) / 2;
  r.y = (areaHeight - r.height) / 2;
  return r;
}

bool IsFullHeightCapture(int height) { return height > 288; }

}  // namespace kelmo
