#include "audio/linux/FfmpegAcmStream.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <cstring>
#include <string>

#include "audio/AcmFormatTable.h"
#include "audio/AcmFormats.h"
#include "audio/linux/MonoLevel.h"

namespace kelmo {

namespace {

AVSampleFormat PcmSampleFormat(const WaveFormatEx& f) {
  return f.wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
}

// The destination as the codecs describe it: a format whose fields disagree with that description
// (a hand-edited config.dat) is not one they write.
bool Offered(const WaveFormatEx& f) {
  AcmFormatRequest r{f.wFormatTag, f.nSamplesPerSec, f.nChannels, f.wBitsPerSample,
                     f.nAvgBytesPerSec * 8};
  const auto described = DescribeAcmFormat(r);
  return described && described->nBlockAlign == f.nBlockAlign &&
         described->nAvgBytesPerSec == f.nAvgBytesPerSec && described->extra == f.extra;
}

}  // namespace

int FfmpegAcmStream::Open(const WaveFormatEx& source, const WaveFormatEx& destination,
                          std::unique_ptr<AcmStream>& stream) {
  if (!IsPlainPcm(source) || !Offered(destination)) return kAcmErrNotPossible;
  std::unique_ptr<FfmpegAcmStream> made(new FfmpegAcmStream(source, destination));
  const int result = made->Init();
  if (result == kAcmOk) stream = std::move(made);
  return result;
}

int FfmpegAcmStream::Init() {
  AVChannelLayout inLayout{};
  AVChannelLayout outLayout{};
  av_channel_layout_default(&inLayout, source.nChannels);
  av_channel_layout_default(&outLayout, destination.nChannels);
  if (destination.wFormatTag == kTagPcm) {
    sampleFormat = PcmSampleFormat(destination);
    // The same samples in and out are copied as they are: the resampler would round them.
    copy = destination.nSamplesPerSec == source.nSamplesPerSec &&
           destination.nChannels == source.nChannels &&
           destination.wBitsPerSample == source.wBitsPerSample;
    if (copy) return kAcmOk;
  } else {
    const AcmFormatTag* row = FindAcmFormatTag(destination.wFormatTag);
    const AVCodec* codec =
        row ? avcodec_find_encoder_by_name(std::string(row->encoder).c_str()) : nullptr;
    if (codec == nullptr || (encoder = avcodec_alloc_context3(codec)) == nullptr) {
      return kAcmErrNotPossible;
    }
    sampleFormat = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    encoder->sample_fmt = sampleFormat;
    encoder->sample_rate = static_cast<int>(destination.nSamplesPerSec);
    av_channel_layout_copy(&encoder->ch_layout, &outLayout);
    encoder->bit_rate = int64_t{destination.nAvgBytesPerSec} * 8;
    AVDictionary* options = nullptr;
    if (destination.wFormatTag == kTagImaAdpcm || destination.wFormatTag == kTagMsAdpcm) {
      av_dict_set_int(&options, "block_size", destination.nBlockAlign, 0);
    }
    const int opened = avcodec_open2(encoder, codec, &options);
    av_dict_free(&options);
    if (opened < 0) return kAcmErrNotPossible;
    frameSize = encoder->frame_size;
    // The blocks must be the ones the format declares, or the file would lie about them.
    const uint32_t perBlock = SamplesPerBlock(destination);
    if (perBlock != 0 && static_cast<uint32_t>(frameSize) != perBlock) return kAcmErrNotPossible;
    fifo = av_audio_fifo_alloc(sampleFormat, destination.nChannels, 4096);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (fifo == nullptr || frame == nullptr || packet == nullptr) return kAcmErrNotPossible;
  }
  if (swr_alloc_set_opts2(
          &swr, &outLayout, sampleFormat, static_cast<int>(destination.nSamplesPerSec), &inLayout,
          PcmSampleFormat(source), static_cast<int>(source.nSamplesPerSec), 0, nullptr) < 0 ||
      !KeepMonoLevel(swr, source.nChannels, destination.nChannels) || swr_init(swr) < 0) {
    return kAcmErrNotPossible;
  }
  return Reserve(8192) ? kAcmOk : kAcmErrNotPossible;
}

FfmpegAcmStream::~FfmpegAcmStream() {
  if (scratch != nullptr) av_freep(&scratch[0]);
  av_freep(&scratch);
  swr_free(&swr);
  avcodec_free_context(&encoder);
  if (fifo != nullptr) av_audio_fifo_free(fifo);
  av_frame_free(&frame);
  av_packet_free(&packet);
}

bool FfmpegAcmStream::Reserve(int samples) {
  if (samples <= scratchSamples) return true;
  if (scratch != nullptr) av_freep(&scratch[0]);
  av_freep(&scratch);
  scratchSamples = 0;
  if (av_samples_alloc_array_and_samples(&scratch, nullptr, destination.nChannels, samples,
                                         sampleFormat, 0) < 0) {
    return false;
  }
  scratchSamples = samples;
  return true;
}

int FfmpegAcmStream::Size(uint32_t sourceBytes, uint32_t& destinationBytes) {
  const auto frames = static_cast<int>((carry.size() + sourceBytes) / source.nBlockAlign);
  if (copy) {
    destinationBytes = static_cast<uint32_t>(frames) * source.nBlockAlign;
    return kAcmOk;
  }
  const int resampled = swr_get_out_samples(swr, frames);
  if (resampled < 0) return kAcmErrNotPossible;
  const uint64_t samples = uint64_t(resampled) + (fifo ? av_audio_fifo_size(fifo) : 0);
  uint64_t bytes = 0;
  switch (destination.wFormatTag) {
    case kTagPcm:
    case kTagALaw:
    case kTagMuLaw:
      bytes = samples * destination.nBlockAlign;
      break;
    case kTagMpegLayer3:
      bytes = samples * 5 / 4 + 7200;  // LAME's own bound for its output
      break;
    default:  // whole blocks, one more for the padded last, one held by the encoder
      bytes = (samples / static_cast<uint64_t>(frameSize) + 2) * destination.nBlockAlign;
      break;
  }
  if (bytes > UINT32_MAX) return kAcmErrNotPossible;
  destinationBytes = static_cast<uint32_t>(bytes);
  return kAcmOk;
}

int FfmpegAcmStream::PrepareHeader(AcmStreamHeader& header) {
  if (header.source == nullptr || header.destination == nullptr) return kAcmErrInvalid;
  header.status |= AcmStreamHeader::kStatusPrepared;
  return kAcmOk;
}

int FfmpegAcmStream::UnprepareHeader(AcmStreamHeader& header) {
  header.status &= ~AcmStreamHeader::kStatusPrepared;
  return kAcmOk;
}

int FfmpegAcmStream::Resample(const uint8_t* in, int frames) {
  const int room = swr_get_out_samples(swr, frames);
  if (room < 0 || !Reserve(room)) return -1;
  const uint8_t* inPlanes[1] = {in};
  return swr_convert(swr, scratch, room, in ? inPlanes : nullptr, in ? frames : 0);
}

int FfmpegAcmStream::Convert(AcmStreamHeader& header, bool final) {
  if ((header.status & AcmStreamHeader::kStatusPrepared) == 0) return kAcmErrUnprepared;
  if (flushed) return kAcmErrNotPossible;
  uint32_t needed = 0;
  if (Size(header.sourceLength, needed) != kAcmOk || needed > header.destinationLength) {
    return kAcmErrNotPossible;
  }
  header.destinationLengthUsed = 0;
  // Whole source blocks, those short of one from the last buffer first; the rest waits.
  const uint8_t* in = header.source;
  uint32_t inBytes = header.sourceLength;
  if (!carry.empty()) {
    carry.insert(carry.end(), in, in + inBytes);
    in = carry.data();
    inBytes = static_cast<uint32_t>(carry.size());
  }
  const int frames = static_cast<int>(inBytes / source.nBlockAlign);
  const uint32_t used = static_cast<uint32_t>(frames) * source.nBlockAlign;
  bool ok = true;
  if (copy) {
    std::memcpy(header.destination, in, used);
    header.destinationLengthUsed = used;
  } else if (frames > 0) {
    ok = Take(Resample(in, frames), header);
  }
  if (in == carry.data()) {
    carry.erase(carry.begin(), carry.begin() + used);
  } else {
    carry.assign(in + used, in + inBytes);
  }
  if (ok && final && !copy) ok = Take(Resample(nullptr, 0), header);
  if (ok && encoder != nullptr) {
    const int step = frameSize > 0 ? frameSize : av_audio_fifo_size(fifo);
    while (ok && step > 0 && av_audio_fifo_size(fifo) >= step) ok = Encode(step, false, header);
    const int left = av_audio_fifo_size(fifo);
    if (ok && final && left > 0) ok = Encode(left, true, header);
    if (ok && final) ok = avcodec_send_frame(encoder, nullptr) >= 0 && Receive(header, true);
  }
  if (final) flushed = true;
  header.sourceLengthUsed = header.sourceLength;
  return ok ? kAcmOk : kAcmErrNotPossible;
}

bool FfmpegAcmStream::Take(int made, AcmStreamHeader& header) {
  if (made < 0) return false;
  if (encoder != nullptr) {
    return av_audio_fifo_write(fifo, reinterpret_cast<void**>(scratch), made) == made;
  }
  const uint32_t bytes = static_cast<uint32_t>(made) * destination.nBlockAlign;
  if (header.destinationLengthUsed + bytes > header.destinationLength) return false;
  std::memcpy(header.destination + header.destinationLengthUsed, scratch[0], bytes);
  header.destinationLengthUsed += bytes;
  return true;
}

bool FfmpegAcmStream::Encode(int frames, bool pad, AcmStreamHeader& header) {
  av_frame_unref(frame);
  frame->format = sampleFormat;
  frame->sample_rate = encoder->sample_rate;
  frame->nb_samples = pad && frameSize > 0 ? frameSize : frames;
  if (av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout) < 0 ||
      av_frame_get_buffer(frame, 0) < 0) {
    return false;
  }
  if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->extended_data), frames) < frames) {
    return false;
  }
  if (frame->nb_samples > frames) {
    av_samples_set_silence(frame->extended_data, frames, frame->nb_samples - frames,
                           destination.nChannels, sampleFormat);
  }
  return avcodec_send_frame(encoder, frame) >= 0 && Receive(header, false);
}

bool FfmpegAcmStream::Receive(AcmStreamHeader& header, bool draining) {
  int got = 0;
  while ((got = avcodec_receive_packet(encoder, packet)) == 0) {
    const auto size = static_cast<uint32_t>(packet->size);
    const bool fits = header.destinationLengthUsed + size <= header.destinationLength;
    if (fits) std::memcpy(header.destination + header.destinationLengthUsed, packet->data, size);
    header.destinationLengthUsed += fits ? size : 0;
    av_packet_unref(packet);
    if (!fits) return false;
  }
  return got == (draining ? AVERROR_EOF : AVERROR(EAGAIN));
}

}  // namespace kelmo
