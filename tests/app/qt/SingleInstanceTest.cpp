#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The real program, started as a user would, on the offscreen platform with its own instance name
// so the test never meets a copy the developer has open.
class KelmoProcess {
 public:
  KelmoProcess(const QString& instance, const QString& dataDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KELMO_INSTANCE", instance);
    process.setProcessEnvironment(env);
    process.setProgram(KELMO_BUILD_DIR "/kelmo");
    process.setArguments({"--sim", "--data-dir", dataDir});
  }
  ~KelmoProcess() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(3000);
    }
  }

  // Starts it and waits until it runs its window (it reports its backends first).
  bool StartAndWaitUntilUp() {
    process.start();
    return process.waitForStarted(5000) && WaitForOutput("kelmo: clock:");
  }

  bool WaitForOutput(const QString& text, int ms = 10000) {
    return QTest::qWaitFor(
        [&] {
          process.waitForReadyRead(20);
          output += process.readAllStandardError();
          return output.contains(text.toUtf8());
        },
        ms);
  }

  QProcess process;
  QByteArray output;
};

QString UniqueInstance(const char* what) {
  return QStringLiteral("kelmo-test-%1-%2").arg(what).arg(QCoreApplication::applicationPid());
}

TEST(SingleInstance, SecondStartEndsAtOnceAndRaisesTheFirst) {
  QTemporaryDir dir;
  const QString instance = UniqueInstance("second");
  KelmoProcess first(instance, dir.path());
  ASSERT_TRUE(first.StartAndWaitUntilUp()) << first.output.toStdString();

  KelmoProcess second(instance, dir.path());
  QElapsedTimer took;
  took.start();
  second.process.start();
  ASSERT_TRUE(second.process.waitForFinished(5000));
  EXPECT_LT(took.elapsed(), 2000);  // generous: the program itself gives up within a second
  EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.process.exitCode(), 0);
  EXPECT_TRUE(second.process.readAllStandardOutput().isEmpty());
  EXPECT_TRUE(first.WaitForOutput("a second start asked to show this window"));

  // SIGTERM closes it as its close box does: the settings are saved and it ends cleanly.
  first.process.terminate();
  ASSERT_TRUE(first.process.waitForFinished(5000));
  EXPECT_EQ(first.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first.process.exitCode(), 0);
  EXPECT_TRUE(QFile::exists(dir.filePath("config.dat")));
  EXPECT_TRUE(QFile::exists(dir.filePath("Channels.dat")));
}

TEST(SingleInstance, KilledCopyDoesNotBlockTheNextStart) {
  QTemporaryDir dir;
  const QString instance = UniqueInstance("killed");
  {
    KelmoProcess first(instance, dir.path());
    ASSERT_TRUE(first.StartAndWaitUntilUp());
    ::kill(static_cast<pid_t>(first.process.processId()), SIGKILL);  // leaves its lock and socket
    first.process.waitForFinished(3000);
  }
  KelmoProcess next(instance, dir.path());
  ASSERT_TRUE(next.StartAndWaitUntilUp()) << next.output.toStdString();
  EXPECT_FALSE(next.process.waitForFinished(500));  // it runs, rather than deferring to nobody

  KelmoProcess third(instance, dir.path());
  third.process.start();
  ASSERT_TRUE(third.process.waitForFinished(5000));
  EXPECT_TRUE(next.WaitForOutput("a second start asked to show this window"));
}

TEST(DataFiles, LiveBesideTheExecutableWhateverTheWorkingDirectory) {
  QTemporaryDir bin;
  QTemporaryDir elsewhere;
  const QString program = bin.filePath("kelmo");
  ASSERT_TRUE(QFile::copy(KELMO_BUILD_DIR "/kelmo", program));
  KelmoProcess kelmo(UniqueInstance("beside"), QString());
  kelmo.process.setProgram(program);
  kelmo.process.setArguments({"--sim", "--card-library", KELMO_BUILD_DIR "/Btvid_32.so"});
  kelmo.process.setWorkingDirectory(elsewhere.path());
  ASSERT_TRUE(kelmo.StartAndWaitUntilUp()) << kelmo.output.toStdString();
  kelmo.process.terminate();
  ASSERT_TRUE(kelmo.process.waitForFinished(5000));
  EXPECT_TRUE(QFile::exists(bin.filePath("config.dat")));
  EXPECT_TRUE(QFile::exists(bin.filePath("Channels.dat")));
  EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

}  // namespace
