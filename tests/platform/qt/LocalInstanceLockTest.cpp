#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

#include "platform/qt/LocalInstanceLock.h"

namespace kelmo::test {
namespace {

// One copy per user and data folder: another folder runs beside it, the same folder (however it
// is written) does not.
TEST(LocalInstanceLock, OneCopyPerDataFolder) {
  const QByteArray saved = qgetenv("KELMO_INSTANCE");
  qunsetenv("KELMO_INSTANCE");
  QTemporaryDir a, b;
  LocalInstanceLock first(a.path().toStdString());
  LocalInstanceLock beside(b.path().toStdString());
  LocalInstanceLock again(a.path().toStdString() + "/.");
  EXPECT_TRUE(first.Acquire());
  EXPECT_TRUE(beside.Acquire());
  EXPECT_FALSE(again.Acquire());
  if (!saved.isEmpty()) qputenv("KELMO_INSTANCE", saved);
}

}  // namespace
}  // namespace kelmo::test
