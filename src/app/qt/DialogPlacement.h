#pragma once

#include <QWidget>

namespace kelmo {

// Puts `dialog` beside `owner`, to its right when the screen has room there, else to its left,
// top edges level, so the owner's picture stays in view while the dialog is open. Where neither
// side has room the dialog stays where the window system puts it.
void PlaceBeside(QWidget& dialog, const QWidget& owner);

}  // namespace kelmo
