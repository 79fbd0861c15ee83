#include "audio/linux/FfmpegWmaWriter.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "audio/WmaFormatTable.h"
#include "audio/linux/MonoLevel.h"
#include "platform/RecordingFile.h"
#include "platform/linux/RecordingIo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace kelmo {

namespace {

constexpr uint16_t kPcmTag = 1;
// The encoders take at most this rate and two channels.
constexpr int32_t kMaxSampleRate = 48000;
// An ASF packet holds this share of a second of the stream (at least the muxer's minimum size).
constexpr int kPacketsPerSecond = 8;
constexpr int kMinPacketSize = 128;

class FfmpegWmaWriter final : public WmaWriter {
 public:
  FfmpegWmaWriter(std::unique_ptr<RecordingFile> file, WmaCodec codec, AVFormatContext* muxer)
      : file(std::move(file)), codec(codec), muxer(muxer) {}

  ~FfmpegWmaWriter() override {
    if (headerWritten && !flushed) Flush();
    avcodec_free_context(&encoder);
    swr_free(&resampler);
    if (fifo) av_audio_fifo_free(fifo);
    av_frame_free(&frame);
    av_packet_free(&packet);
    CloseRecordingIo(muxer->pb);
    avformat_free_context(muxer);
    // A file whose formats were refused holds nothing: it is not left behind.
    if (!headerWritten) file->Discard();
  }

  int32_t SetInputFormat(std::span<const uint8_t> block) override {
    const std::optional<WaveFormatEx> f = WaveFormatEx::FromBytes(block);
    if (!f || f->wFormatTag != kPcmTag || (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) ||
        f->nChannels < 1 || f->nChannels > 2 || f->nSamplesPerSec == 0 ||
        f->nSamplesPerSec > 192000 || f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8)
      return kWmaFailed;
    input = *f;
    return kWmaOk;
  }

  int32_t SetOutputFormat(int32_t bitrate, int32_t sampleRate, int32_t channels,
                          uint32_t flags) override {
    if (!input || headerWritten || flags != 0 || bitrate < 0 || sampleRate <= 0 ||
        sampleRate > kMaxSampleRate || channels < 1 || channels > 2)
      return kWmaFailed;
    const int64_t encodedRate = std::max(bitrate, FfmpegWmaWriterFactory::kMinBitrate);
    return OpenEncoder(encodedRate, sampleRate, channels) && OpenResampler() &&
                   WriteHeader(encodedRate)
               ? kWmaOk
               : kWmaFailed;
  }

  int32_t Write(const uint8_t* data, uint32_t length) override {
    if (!headerWritten || flushed || failed) return kWmaFailed;
    const uint32_t frameBytes = input->nBlockAlign;
    pending.insert(pending.end(), data, data + length);
    const int frames = static_cast<int>(pending.size() / frameBytes);
    if (frames > 0) {
      const bool converted = Resample(pending.data(), frames);
      // Consumed either way, so a buffer that failed does not pile up.
      pending.erase(pending.begin(), pending.begin() + frames * frameBytes);
      inputFrames += frames;
      if (!converted) return kWmaFailed;
    }
    if (!EncodeFull(false)) return kWmaFailed;
    if (inputFrames >= nextSync) {
      avio_flush(muxer->pb);
      nextSync += input->nSamplesPerSec;
      if (muxer->pb->error < 0) failed = true;
    }
    return failed ? kWmaFailed : kWmaOk;
  }

  int32_t Flush() override {
    if (!headerWritten || flushed) return kWmaFailed;
    flushed = true;
    bool ok = !failed && Resample(nullptr, 0) && EncodeFull(true) && Drain();
    ok = av_write_trailer(muxer) >= 0 && ok;
    avio_flush(muxer->pb);
    ok = muxer->pb->error >= 0 && ok;
    CloseRecordingIo(muxer->pb);
    file->Close();
    return ok ? kWmaOk : kWmaFailed;
  }

 private:
  bool OpenEncoder(int64_t bitrate, int32_t sampleRate, int32_t channels) {
    const AVCodec* c =
        avcodec_find_encoder(codec == WmaCodec::V1 ? AV_CODEC_ID_WMAV1 : AV_CODEC_ID_WMAV2);
    if (!c) return false;
    encoder = avcodec_alloc_context3(c);
    if (!encoder) return false;
    encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder->sample_rate = sampleRate;
    encoder->bit_rate = bitrate;
    encoder->time_base = AVRational{1, sampleRate};
    av_channel_layout_default(&encoder->ch_layout, channels);
    if (muxer->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(encoder, c, nullptr) < 0) return false;
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, channels, encoder->frame_size * 2);
    return frame && packet && fifo;
  }

  bool OpenResampler() {
    AVChannelLayout in;
    av_channel_layout_default(&in, input->nChannels);
    const AVSampleFormat inFormat =
        input->wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
    return swr_alloc_set_opts2(&resampler, &encoder->ch_layout, AV_SAMPLE_FMT_FLTP,
                               encoder->sample_rate, &in, inFormat,
                               static_cast<int>(input->nSamplesPerSec), 0, nullptr) >= 0 &&
           KeepMonoLevel(resampler, input->nChannels, encoder->ch_layout.nb_channels) &&
           swr_init(resampler) >= 0;
  }

  bool WriteHeader(int64_t bitrate) {
    AVStream* stream = avformat_new_stream(muxer, nullptr);
    if (!stream || avcodec_parameters_from_context(stream->codecpar, encoder) < 0) return false;
    stream->time_base = encoder->time_base;
    const int64_t packetSize = std::max<int64_t>(kMinPacketSize, bitrate / 8 / kPacketsPerSecond);
    av_opt_set_int(muxer->priv_data, "packet_size", packetSize, 0);
    if (avformat_write_header(muxer, nullptr) < 0) return false;
    headerWritten = true;
    avio_flush(muxer->pb);
    return muxer->pb->error >= 0;
  }

  // Converts `frames` sample frames (none: what the resampler still holds) into the FIFO.
  bool Resample(const uint8_t* data, int frames) {
    const int room = swr_get_out_samples(resampler, frames);
    if (room < 0) return false;
    if (room == 0) return true;
    if (av_audio_fifo_realloc(fifo, av_audio_fifo_size(fifo) + room) < 0) return false;
    std::vector<uint8_t*> planes(static_cast<std::size_t>(encoder->ch_layout.nb_channels));
    scratch.resize(planes.size() * static_cast<std::size_t>(room));
    for (std::size_t ch = 0; ch < planes.size(); ++ch)
      planes[ch] = reinterpret_cast<uint8_t*>(scratch.data() + ch * static_cast<std::size_t>(room));
    const uint8_t* in[] = {data};
    const int got = swr_convert(resampler, planes.data(), room, data ? in : nullptr, frames);
    if (got < 0) return false;
    return av_audio_fifo_write(fifo, reinterpret_cast<void**>(planes.data()), got) == got;
  }

  // Encodes every whole frame in the FIFO; at the end also the last partial one, padded with
  // silence (the encoder takes whole frames only).
  bool EncodeFull(bool last) {
    const int size = encoder->frame_size;
    while (av_audio_fifo_size(fifo) >= size || (last && av_audio_fifo_size(fifo) > 0)) {
      av_frame_unref(frame);
      frame->format = encoder->sample_fmt;
      frame->sample_rate = encoder->sample_rate;
      frame->nb_samples = size;
      if (av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout) < 0 ||
          av_frame_get_buffer(frame, 0) < 0)
        return false;
      const int got = av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->data), size);
      if (got < size)
        av_samples_set_silence(frame->data, got, size - got, frame->ch_layout.nb_channels,
                               encoder->sample_fmt);
      frame->pts = encodedFrames;
      encodedFrames += size;
      if (avcodec_send_frame(encoder, frame) < 0 || !WritePackets()) return false;
    }
    return true;
  }

  bool Drain() { return avcodec_send_frame(encoder, nullptr) >= 0 && WritePackets(); }

  bool WritePackets() {
    for (;;) {
      const int r = avcodec_receive_packet(encoder, packet);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
      if (r < 0) return false;
      packet->stream_index = 0;
      av_packet_rescale_ts(packet, encoder->time_base, muxer->streams[0]->time_base);
      if (av_interleaved_write_frame(muxer, packet) < 0) return false;
    }
  }

  const std::unique_ptr<RecordingFile> file;
  const WmaCodec codec;
  AVFormatContext* const muxer;
  std::optional<WaveFormatEx> input;
  AVCodecContext* encoder = nullptr;
  SwrContext* resampler = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  std::vector<uint8_t> pending;  // bytes of an incomplete sample frame
  std::vector<float> scratch;
  int64_t inputFrames = 0;
  int64_t nextSync = 0;
  int64_t encodedFrames = 0;
  bool headerWritten = false;
  bool flushed = false;
  bool failed = false;
};

}  // namespace

std::optional<WaveFormatEx> DescribeWmaFormat(WmaCodec codec, int32_t sampleRate, int32_t channels,
                                              int32_t bitrate) {
  const AVCodec* c =
      avcodec_find_encoder(codec == WmaCodec::V1 ? AV_CODEC_ID_WMAV1 : AV_CODEC_ID_WMAV2);
  if (!c || sampleRate <= 0 || sampleRate > kMaxSampleRate || channels < 1 || channels > 2)
    return std::nullopt;
  AVCodecContext* encoder = avcodec_alloc_context3(c);
  if (!encoder) return std::nullopt;
  encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
  encoder->sample_rate = sampleRate;
  encoder->bit_rate = std::max(bitrate, FfmpegWmaWriterFactory::kMinBitrate);
  av_channel_layout_default(&encoder->ch_layout, channels);
  std::optional<WaveFormatEx> format;
  if (avcodec_open2(encoder, c, nullptr) >= 0) {
    WaveFormatEx f;
    f.wFormatTag = codec == WmaCodec::V1 ? 0x0160 : 0x0161;
    f.nChannels = static_cast<uint16_t>(channels);
    f.nSamplesPerSec = static_cast<uint32_t>(sampleRate);
    f.nAvgBytesPerSec = static_cast<uint32_t>(encoder->bit_rate / 8);
    f.nBlockAlign = static_cast<uint16_t>(encoder->block_align);
    f.extra.assign(encoder->extradata, encoder->extradata + encoder->extradata_size);
    format = std::move(f);
  }
  avcodec_free_context(&encoder);
  return format;
}

std::vector<WaveFormatEx> OfferedWmaFormats() {
  std::vector<WaveFormatEx> offered;
  for (WmaCodec codec : {WmaCodec::V1, WmaCodec::V2}) {
    for (const WmaFormatRow& row : WmaFormatTable()) {
      const auto f = DescribeWmaFormat(codec, WmaRowSampleRate(row), row.channels, row.kbps * 1000);
      const bool seen =
          f && std::any_of(offered.begin(), offered.end(), [&](const WaveFormatEx& o) {
            return o.wFormatTag == f->wFormatTag && o.nSamplesPerSec == f->nSamplesPerSec &&
                   o.nChannels == f->nChannels && o.nAvgBytesPerSec == f->nAvgBytesPerSec;
          });
      if (f && !seen) offered.push_back(*f);
    }
  }
  return offered;
}

int32_t FfmpegWmaWriterFactory::Create(std::string& path, WmaCodec codec,
                                       std::unique_ptr<WmaWriter>& writer) {
  writer.reset();
  auto file = std::make_unique<RecordingFile>();
  if (!file->Create(path)) return kWmaFailed;
  AVFormatContext* muxer = nullptr;
  if (avformat_alloc_output_context2(&muxer, nullptr, "asf", nullptr) < 0) {
    file->Discard();
    return kWmaFailed;
  }
  // The muxer writes into the file created here, never one it opens by name.
  muxer->pb = OpenRecordingIo(*file);
  if (muxer->pb == nullptr) {
    avformat_free_context(muxer);
    file->Discard();
    return kWmaFailed;
  }
  muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
  writer = std::make_unique<FfmpegWmaWriter>(std::move(file), codec, muxer);
  return kWmaOk;
}

}  // namespace kelmo
