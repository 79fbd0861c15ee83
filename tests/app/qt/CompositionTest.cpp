#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <thread>

#include "app/qt/Composition.h"
#include "audio/AcmFormatTable.h"
#include "capture/CaptureRig.h"
#include "support/TempDir.h"

namespace kelmo::test {
namespace {

// With --sim the simulated sound input answers the chooser's "what the input records" and gives
// the program's AVI files their sound.
TEST(Composition, TheSimulatedSoundInputServesTheChooserAndTheAviCapture) {
  TempDir dir;
  CommandLine options;
  options.sim = true;
  options.dataDir = dir.Path().string();
  Composition composition(options);
  KelmoContext& ctx = composition.Context();

  QStringList tags;
  QTimer::singleShot(0, [&tags] {
    QWidget* chooser = QApplication::activeModalWidget();
    ASSERT_NE(chooser, nullptr);
    auto* tagList = chooser->findChild<QComboBox*>("m_formatTag");
    for (int i = 0; i < tagList->count(); ++i) tags << tagList->itemText(i);
    qobject_cast<QDialog*>(chooser)->reject();
  });
  AcmFormatChoice choice;
  choice.format = DefaultPcmFormat().ToBytes();
  choice.format.resize(AcmMaxFormatSize());
  EXPECT_EQ(ctx.codecs->ChooseFormat(choice), kAcmErrCanceled);
  EXPECT_EQ(tags, QStringList{"PCM"});

  CaptureWindow& window = *ctx.capture.Window();
  ASSERT_TRUE(window.DriverConnect(0).ok());
  ASSERT_TRUE(window.SetAudioFormat(DefaultPcmFormat().ToBytes()));
  CaptureParms parms = window.GetSequenceSetup();
  parms.dwRequestMicroSecPerFrame = 40000;
  parms.fCaptureAudio = 1;
  ASSERT_TRUE(window.SetSequenceSetup(parms));
  const std::string file = (dir / "tv.avi").string();
  window.FileSetCaptureFile(file);
  window.Sequence();
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  window.Stop();
  const auto streams = Probe(file);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[1].at("codec_name"), "pcm_s16le");
}

}  // namespace
}  // namespace kelmo::test
