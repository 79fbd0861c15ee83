#include "app/qt/DialogUnits.h"

#include <QFontMetrics>
#include <algorithm>

namespace kelmo {
namespace {

constexpr int kMinBaseX = 6;   // average width of an 8-point dialog font
constexpr int kMinBaseY = 13;  // its height

// Rounded a * b / c, as the platform's MulDiv.
int MulDiv(int a, int b, int c) {
  return static_cast<int>((static_cast<long long>(a) * b * 2 + c) / (2 * c));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics fm(font);
  const int width =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX = std::max(kMinBaseX, (width / 26 + 1) / 2);
  baseY = std::max(kMinBaseY, fm.height());
}

int DialogUnits::X(int units) const { return MulDiv(units, baseX, 4); }
int DialogUnits::Y(int units) const { return MulDiv(units, baseY, 8); }

QRect DialogUnits::Map(int x, int y, int width, int height) const {
  return QRect(X(x), Y(y), X(width), Y(height));
}

}  // namespace kelmo
