#pragma once

#include <QFont>
#include <QRect>

namespace kelmo {

// Dialog units to pixels, from the dialog font's own metrics: a horizontal unit is a quarter of the
// font's average character width, a vertical unit an eighth of its height. The scale never drops
// below 6 x 13 pixels per character, so the 384 x 288 picture at the top left never reaches a
// control however small the font.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const;
  int Y(int units) const;
  QRect Map(int x, int y, int width, int height) const;

  int BaseX() const { return baseX; }
  int BaseY() const { return baseY; }

 private:
  int baseX;
  int baseY;
};

}  // namespace kelmo
