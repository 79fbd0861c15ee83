#pragma once

#include <QDialog>

namespace kelmo {

// Gives a dialog of fixed size room for its whole title in the title bar (the window manager's
// bold font, the icon and three buttons beside it): its width is the larger of its contents' and
// the title's. Call once its controls are in place.
void FitDialogToTitle(QDialog& dialog);

}  // namespace kelmo
