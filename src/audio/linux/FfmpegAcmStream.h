#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <memory>
#include <vector>

#include "audio/AudioCodecManager.h"
#include "audio/WaveFormat.h"

namespace kelmo {

// A conversion from plain PCM to a recording format on FFmpeg: libswresample brings the samples to
// the destination's rate, channels and sample size, and for a coded destination an encoder
// (adpcm_ima_wav, adpcm_ms, pcm_alaw, pcm_mulaw, libgsm_ms, libmp3lame) makes its blocks. Samples
// that do not fill an encoder frame wait in a queue for the next buffer; the final conversion
// pads the last frame with silence and drains the encoder.
class FfmpegAcmStream final : public AcmStream {
 public:
  // kAcmOk and `stream` set; kAcmErrNotPossible when the source is not plain PCM, the destination
  // is not a format the codecs offer as described (AcmFormats.h), or its encoder is missing.
  static int Open(const WaveFormatEx& source, const WaveFormatEx& destination,
                  std::unique_ptr<AcmStream>& stream);
  ~FfmpegAcmStream() override;

  int Size(uint32_t sourceBytes, uint32_t& destinationBytes) override;
  int PrepareHeader(AcmStreamHeader& header) override;
  int UnprepareHeader(AcmStreamHeader& header) override;
  int Convert(AcmStreamHeader& header, bool final) override;

 private:
  FfmpegAcmStream(const WaveFormatEx& source, const WaveFormatEx& destination)
      : source(source), destination(destination) {}
  int Init();
  // Resamples `frames` frames at `in` (null: what the resampler still holds) into the scratch
  // planes; the count made, or below 0.
  int Resample(const uint8_t* in, int frames);
  bool Reserve(int samples);
  // Puts `made` resampled samples where they go: the destination for PCM, else the encoder's
  // queue. False on a failure (`made` below 0) or a full destination.
  bool Take(int made, AcmStreamHeader& header);
  // Sends `frames` samples from the queue (padded with silence to a whole frame when `pad`) and
  // appends what the encoder gives back. False on an encoder failure or a full destination.
  bool Encode(int frames, bool pad, AcmStreamHeader& header);
  // Appends every packet the encoder has ready; `draining`: until its end.
  bool Receive(AcmStreamHeader& header, bool draining);

  const WaveFormatEx source;
  const WaveFormatEx destination;
  SwrContext* swr = nullptr;
  AVCodecContext* encoder = nullptr;  // null for a PCM destination
  AVAudioFifo* fifo = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  AVSampleFormat sampleFormat = AV_SAMPLE_FMT_S16;  // what the resampler makes
  int frameSize = 0;                                // encoder frame in samples; 0: any count
  uint8_t** scratch = nullptr;                      // resampled planes
  int scratchSamples = 0;
  std::vector<uint8_t> carry;  // source bytes short of a whole block
  bool flushed = false;        // the final conversion has run
  bool copy = false;           // PCM in and out alike: bytes are copied
};

}  // namespace kelmo
