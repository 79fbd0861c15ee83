#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The real program, started as a user would, on the offscreen platform with its own instance name
// so the test never meets a copy the developer has open. It runs as a copy in a folder of its own,
// where it keeps its files, from another working folder.
class KelmoProcess {
 public:
  KelmoProcess(const QString& instance, const QTemporaryDir& bin, const QTemporaryDir& elsewhere) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KELMO_INSTANCE", instance);
    process.setProcessEnvironment(env);
    process.setProgram(bin.filePath("kelmo"));
    process.setArguments({"--sim", "--card-library", KELMO_BUILD_DIR "/Btvid_32.so"});
    process.setWorkingDirectory(elsewhere.path());
  }
  ~KelmoProcess() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(3000);
    }
  }

  // Starts it and waits until it runs its window (it logs its backends first).
  bool StartAndWaitUntilUp() {
    process.start();
    return process.waitForStarted(5000) && WaitForOutput("[app] clock:");
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

// A copy killed outright leaves its lock and socket behind: the next start runs anyway, and a
// second start then ends at once and raises it. SIGHUP (a closed terminal) closes it as SIGTERM
// and its close box do: the settings are saved beside the program, whatever the working folder,
// and it ends cleanly.
TEST(SingleInstance, AfterAKilledCopyTheNextRunsASecondRaisesItAndSighupSaves) {
  QTemporaryDir bin;
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QFile::copy(KELMO_BUILD_DIR "/kelmo", bin.filePath("kelmo")));
  const QString instance = QStringLiteral("kelmo-test-%1").arg(QCoreApplication::applicationPid());
  {
    KelmoProcess killed(instance, bin, elsewhere);
    ASSERT_TRUE(killed.StartAndWaitUntilUp()) << killed.output.toStdString();
    ::kill(static_cast<pid_t>(killed.process.processId()), SIGKILL);
    killed.process.waitForFinished(3000);
  }
  KelmoProcess first(instance, bin, elsewhere);
  ASSERT_TRUE(first.StartAndWaitUntilUp()) << first.output.toStdString();

  KelmoProcess second(instance, bin, elsewhere);
  second.process.start();
  ASSERT_TRUE(second.process.waitForFinished(5000));
  EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.process.exitCode(), 0);
  EXPECT_TRUE(second.process.readAllStandardOutput().isEmpty());
  EXPECT_TRUE(first.WaitForOutput("a second start asked to show this window"));

  QFile::remove(bin.filePath("config.dat"));  // only the save at the end may write it
  ::kill(static_cast<pid_t>(first.process.processId()), SIGHUP);  // the terminal was closed
  ASSERT_TRUE(first.process.waitForFinished(5000));
  EXPECT_EQ(first.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first.process.exitCode(), 0);
  EXPECT_TRUE(QFile::exists(bin.filePath("config.dat")));
  EXPECT_TRUE(QFile::exists(bin.filePath("Channels.dat")));
  EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

// The quit key (SIGQUIT) ends it as SIGTERM does, and a config.dat the user made read-only is
// left alone: the end says so, with exit code 1.
TEST(SingleInstance, QuitWithAReadOnlyConfigEndsWithAnError) {
  QTemporaryDir bin;
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QFile::copy(KELMO_BUILD_DIR "/kelmo", bin.filePath("kelmo")));
  QFile config(bin.filePath("config.dat"));
  ASSERT_TRUE(config.open(QIODevice::WriteOnly) && config.write("[General]\nTuner=1\n") > 0);
  config.close();
  ASSERT_TRUE(config.setPermissions(QFile::ReadOwner));
  KelmoProcess run(QStringLiteral("kelmo-quit-%1").arg(QCoreApplication::applicationPid()), bin,
                   elsewhere);
  ASSERT_TRUE(run.StartAndWaitUntilUp()) << run.output.toStdString();
  ::kill(static_cast<pid_t>(run.process.processId()), SIGQUIT);
  ASSERT_TRUE(run.process.waitForFinished(5000));
  EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(run.process.exitCode(), 1);
  EXPECT_TRUE(run.WaitForOutput("The settings could not be saved in", 1000));
  ASSERT_TRUE(config.open(QIODevice::ReadOnly));
  EXPECT_EQ(config.readAll(), "[General]\nTuner=1\n");
}

}  // namespace
