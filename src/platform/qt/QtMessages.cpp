#include "platform/qt/QtMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "base/Log.h"

namespace kelmo {
namespace {

QMessageBox::Icon ToIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

MessageAnswer QtMessages::Show(const Message& message) {
  // What the user was told stays in the log after the box is gone.
  LogInfo("messages", "box \"%s\": %s", message.caption.c_str(), message.text.c_str());
  if (QThread::currentThread() == qApp->thread() && !Deferring()) return Run(message);
  // A driver thread, or the schedule's tick, never waits for a person: the box opens on the
  // user-interface thread once the current work has returned.
  QMetaObject::invokeMethod(
      qApp, [this, message] { Run(message); }, Qt::QueuedConnection);
  return MessageAnswer::Queued;
}

MessageAnswer QtMessages::Run(const Message& message) {
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = owner;
  QMessageBox box(ToIcon(message.icon), QString::fromStdString(message.caption),
                  QString::fromStdString(message.text), ToButtons(message.buttons), parent);
  if (message.defaultAnswer == MessageAnswer::No) box.setDefaultButton(QMessageBox::No);
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
}

}  // namespace kelmo
