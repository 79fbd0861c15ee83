#include <gtest/gtest.h>

#include <fstream>

#include "audio/WaveFormat.h"
#include "capture/CaptureFormatView.h"
#include "support/TempDir.h"

namespace kelmo::test {
namespace {

// A WMA recording shows the rate its options chose, not the chooser's nominal one; the capture
// file shows only while it exists.
TEST(ViewCaptureFormat, WmaShowsItsChosenRateAndOnlyAnExistingFileShows) {
  TempDir dir;
  AudioFormatSettings formats;
  WaveFormatEx wma = DefaultPcmFormat();
  wma.wFormatTag = 0x161, wma.nAvgBytesPerSec = 6000;
  formats.compressionFormatSet = 1, formats.compressionFormat = wma.ToBytes();
  formats.compressionFormatName = "Windows Media Audio V2";
  formats.wmaOutput = 1, formats.wmaBitrate = 64000, formats.wmaSampleRate = 44100;
  formats.wmaChannels = 2;
  CaptureDriver capture;
  capture.captureFileName = (dir.Path() / "Kelmo.07_21.30.00.wma").string();
  auto texts = ViewCaptureFormatTexts(formats, capture);
  EXPECT_EQ(texts[1014], "Windows Media Audio V2");
  EXPECT_EQ(texts[1016], "2 (Stereo)");
  EXPECT_EQ(texts[1017], "44100");
  EXPECT_EQ(texts[1018], "8000");
  EXPECT_EQ(texts[1005], "");
  std::ofstream(capture.captureFileName) << "x";
  EXPECT_EQ(ViewCaptureFormatTexts(formats, capture)[1005], capture.captureFileName);
}

}  // namespace
}  // namespace kelmo::test
