#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Messages.h"

namespace kelmo {

// Message boxes as QMessageBox, modal to the main window.
class QtMessages final : public Messages {
 public:
  using Messages::Show;
  MessageAnswer Show(const Message& message) override;

  // The window the boxes belong to (the main window once it exists).
  void SetOwner(QWidget* owner) { this->owner = owner; }

 private:
  MessageAnswer Run(const Message& message);
  QPointer<QWidget> owner;
};

}  // namespace kelmo
