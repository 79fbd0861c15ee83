#include "schedule/qt/HeldSpinBox.h"

#include <algorithm>

namespace kelmo {
namespace {

// Digits only, few enough to read as an int; empty while the user clears the field.
bool IsNumberBeingTyped(const QString& text) {
  if (text.size() > 9) return false;
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

HeldSpinBox::HeldSpinBox(QWidget* parent) : QSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State HeldSpinBox::validate(QString& input, int& pos) const {
  const QValidator::State state = QSpinBox::validate(input, pos);
  if (state == QValidator::Invalid && IsNumberBeingTyped(input)) return QValidator::Intermediate;
  return state;
}

void HeldSpinBox::fixup(QString& input) const {
  if (!input.isEmpty() && IsNumberBeingTyped(input))
    input = QString::number(std::clamp(input.toInt(), minimum(), maximum()));
}

int HeldSpinBox::ValueInRange() {
  QString text = cleanText();
  if (text.isEmpty() || !IsNumberBeingTyped(text)) return value();
  const int held = std::clamp(text.toInt(), minimum(), maximum());
  setValue(held);
  return held;
}

}  // namespace kelmo
