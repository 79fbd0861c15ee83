#pragma once

#include <QSpinBox>

namespace kelmo {

// A number field with its up-down arrows that lets the user type any number, as a plain number
// field does, and holds it to its range: when the editing ends, and whenever the program reads it.
class HeldSpinBox : public QSpinBox {
  Q_OBJECT

 public:
  explicit HeldSpinBox(QWidget* parent = nullptr);

  // The typed number held to the range (the value as it stands when nothing was typed); the
  // field then shows it.
  int ValueInRange();

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

}  // namespace kelmo
