#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <thread>

#include "platform/qt/QtMessages.h"

namespace kelmo {
namespace {

QMessageBox* OpenBox() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
  }
  return nullptr;
}

TEST(QtMessages, TheWindowThreadGetsTheAnswerAndADriverThreadGoesOnWhileTheBoxIsQueued) {
  QtMessages messages;
  QTimer::singleShot(0, [] {
    if (QMessageBox* box = OpenBox()) box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(
      messages.Show(Message{"Delete?", "ERROR", MessageIcon::Question, MessageButtons::YesNo}),
      MessageAnswer::No);

  MessageAnswer answer = MessageAnswer::Ok;
  std::thread driver([&] { answer = messages.Show(std::string("Buffer lost")); });
  driver.join();  // returned without anybody pressing a button
  EXPECT_EQ(answer, MessageAnswer::Queued);
  QString shown;
  QTimer::singleShot(0, [&] {
    if (QMessageBox* box = OpenBox()) {
      shown = box->text() + "|" + box->windowTitle();
      box->accept();
    }
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 2000));
  EXPECT_EQ(shown, "Buffer lost|Kelmo");
}

}  // namespace
}  // namespace kelmo
