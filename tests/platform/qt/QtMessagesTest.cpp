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
  // A question whose default is No: Return answers it.
  QTimer::singleShot(0, [] {
    if (QMessageBox* box = OpenBox()) QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_EQ(messages.Show(Message{"Delete?", "ERROR", MessageIcon::Question, MessageButtons::YesNo,
                                  MessageAnswer::No}),
            MessageAnswer::No);

  // A driver thread, and the window thread while the schedule's tick defers, go on at once; the
  // box opens afterwards.
  for (const bool driverThread : {true, false}) {
    MessageAnswer answer = MessageAnswer::Ok;
    if (driverThread) {
      std::thread driver([&] { answer = messages.Show(std::string("Buffer lost")); });
      driver.join();
    } else {
      messages.BeginDeferring();
      answer = messages.Show(std::string("Buffer lost"));
      messages.EndDeferring();
    }
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
}

}  // namespace
}  // namespace kelmo
