#include "capture/linux/FfmpegAviWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/linux/RecordingIo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace kelmo {
namespace {

constexpr uint16_t kPcmTag = 1;
constexpr int kFfv1Slices = 12;  // enough for the threads of a desktop, few enough to cost little

uint32_t Le32(const uint8_t* b) {
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

AVPixelFormat SourcePixels(PixelFormat f) {
  return f == PixelFormat::Yuyv ? AV_PIX_FMT_YUYV422 : AV_PIX_FMT_BGR24;
}

// The layout each encoder is fed: what it takes natively, close to the source's sampling.
AVPixelFormat EncoderPixels(VideoCodec codec, PixelFormat source) {
  switch (codec) {
    case VideoCodec::Uncompressed:
      return SourcePixels(source);
    case VideoCodec::MotionJpeg:
      return AV_PIX_FMT_YUVJ422P;
    case VideoCodec::HuffYuv:
      return AV_PIX_FMT_YUV422P;
    case VideoCodec::Ffv1:  // every sample as the source gave it
      return source == PixelFormat::Yuyv ? AV_PIX_FMT_YUV422P : AV_PIX_FMT_0RGB32;
    case VideoCodec::Mpeg4:
    case VideoCodec::H264:
      return AV_PIX_FMT_YUV420P;
  }
  return AV_PIX_FMT_YUV420P;
}

}  // namespace

FfmpegAviWriter::~FfmpegAviWriter() { Release(); }

bool FfmpegAviWriter::Failed(const std::string& what, int code, std::string& error) {
  error = what + " (" + path + "): " +
          (code < 0 && IsDiskFullError(AVUNERROR(code)) ? "the disk is full" : AvError(code));
  broken = true;
  return false;
}

bool FfmpegAviWriter::Open(const AviSetup& setup, std::string& error) {
  if (OpenFile(setup, error)) return true;
  // A recording that could not start leaves no file behind (what the muxer still buffers goes
  // nowhere).
  file.Discard();
  Release();
  return false;
}

bool FfmpegAviWriter::OpenFile(const AviSetup& setup, std::string& error) {
  // The library's own notes would go to the terminal; failures come back through `error`.
  av_log_set_level(AV_LOG_ERROR);
  path = setup.path;
  mode = setup.video;
  int rc = avformat_alloc_output_context2(&format, nullptr, "avi", nullptr);
  if (rc < 0) return Failed("Cannot start the AVI file", rc, error);
  if (!OpenVideo(setup, error)) return false;
  if (setup.audio && !OpenAudio(*setup.audio, error)) return false;
  // The muxer writes into a file created here, never one it opens by name.
  if (!file.Create(path))
    return Failed("Cannot create the capture file", AVERROR(file.Error()), error);
  format->pb = OpenRecordingIo(file);
  if (format->pb == nullptr) return Failed("Out of memory for the file", AVERROR(ENOMEM), error);
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  rc = avformat_write_header(format, nullptr);
  if (rc < 0) return Failed("Cannot write the capture file", rc, error);
  headerWritten = true;
  packet = av_packet_alloc();
  avio_flush(format->pb);
  if (format->pb->error < 0)
    return Failed("Cannot write the capture file", format->pb->error, error);
  if (!FindCounters()) return Failed("Cannot read back the AVI header", AVERROR_BUG, error);
  return Flush(error);
}

bool FfmpegAviWriter::FindCounters() {
  counters = {};
  std::vector<uint8_t> head(std::min<uint64_t>(file.Size(), 1 << 20));
  if (!file.ReadAt(head.data(), head.size(), 0)) return false;
  const auto is = [&](std::size_t at, const char* tag) {
    return at + 4 <= head.size() && std::memcmp(&head[at], tag, 4) == 0;
  };
  // The chunks of the header, into its lists, up to the first part's movi LIST.
  std::vector<std::pair<std::size_t, std::size_t>> lists{{12, head.size()}};  // next chunk, end
  while (!lists.empty() && counters.movi == 0) {
    const auto [at, end] = lists.back();
    if (at + 8 > end) {
      lists.pop_back();
      continue;
    }
    const uint32_t size = Le32(&head[at + 4]);
    const std::size_t body = at + 8;
    const std::size_t next = std::min(body + size + (size & 1), end);
    lists.back().first = next;
    if (is(at, "LIST") && is(body, "movi")) {
      counters.movi = at;
    } else if (is(at, "LIST")) {
      lists.emplace_back(body + 4, next);
    } else if (is(at, "avih")) {
      counters.totalFrames = body + 16;  // dwTotalFrames
    } else if (is(at, "strh")) {
      counters.streamLengths.push_back(body + 32);  // dwLength
    } else if (is(at, "JUNK") && is(body, "odml") && is(body + 4, "dmlh")) {
      counters.odml = at;
      counters.odmlFrames = body + 12;  // dwTotalFrames
    }
  }
  return counters.movi != 0 && counters.totalFrames != 0 &&
         counters.streamLengths.size() == format->nb_streams;
}

void FfmpegAviWriter::PatchLe32(uint64_t at, uint64_t value) {
  uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  file.WriteAt(bytes, 4, at);
}

void FfmpegAviWriter::PatchHeader() {
  const uint64_t end = file.Size();
  // Past 1 GiB the muxer closes each RIFF part (writing its real size) and starts an AVIX one:
  // follow the sizes on disk to the part being written.
  for (;;) {
    uint8_t size[4], next[12];
    if (!file.ReadAt(size, 4, counters.part + 4)) return;
    const uint64_t after = counters.part + 8 + Le32(size) + (Le32(size) & 1);
    if (after + 12 > end || !file.ReadAt(next, 12, after) || std::memcmp(next, "RIFF", 4) != 0 ||
        std::memcmp(next + 8, "AVIX", 4) != 0)
      break;
    counters.part = after;
    ++counters.partNumber;
  }
  const uint64_t movi = counters.partNumber == 1 ? counters.movi : counters.part + 12;
  if (end < movi + 12) return;  // the muxer is between two parts
  PatchLe32(counters.part + 4, end - counters.part - 8);
  PatchLe32(movi + 4, end - movi - 8);
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const bool video = format->streams[i] == videoStream;
    PatchLe32(counters.streamLengths[i], static_cast<uint64_t>(video ? videoChunks : nextSample));
  }
  if (counters.partNumber == 1) {
    PatchLe32(counters.totalFrames, static_cast<uint64_t>(videoChunks));
  } else if (counters.odml != 0) {
    // An OpenDML file: its header counts the frames of every part.
    file.WriteAt(reinterpret_cast<const uint8_t*>("LIST"), 4, counters.odml);
    PatchLe32(counters.odmlFrames, static_cast<uint64_t>(videoChunks));
  }
}

bool FfmpegAviWriter::OpenVideo(const AviSetup& setup, std::string& error) {
  const VideoCompressionChoice choice = Normalised(setup.compression);
  const VideoCodecInfo& info = CodecInfo(choice.codec);
  const AVCodec* codec = avcodec_find_encoder_by_name(info.encoder);
  if (codec == nullptr) {
    error = std::string("The compressor ") + info.name + " is not installed.";
    broken = true;
    return false;
  }
  encoder = avcodec_alloc_context3(codec);
  encoder->width = mode.width;
  encoder->height = mode.height;
  encoder->pix_fmt = EncoderPixels(choice.codec, mode.format);
  encoder->time_base = AVRational{static_cast<int>(setup.microSecPerFrame), 1000000};
  encoder->framerate = av_inv_q(encoder->time_base);
  encoder->max_b_frames = 0;  // an AVI has no presentation order of its own
  encoder->gop_size = 250;
  // Slices, not frames, are shared among the threads: a packet comes out for each frame sent,
  // so the empty chunks of dropped frames fall in their places.
  encoder->thread_count = 0;
  encoder->thread_type = FF_THREAD_SLICE;
  if (format->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (info.qualityLabel != nullptr) {
    if (choice.codec == VideoCodec::H264) {
      av_opt_set_int(encoder->priv_data, "crf", choice.quality, 0);
      av_opt_set(encoder->priv_data, "preset", "veryfast", 0);
      av_opt_set(encoder->priv_data, "tune", "zerolatency", 0);
    } else {
      encoder->flags |= AV_CODEC_FLAG_QSCALE;
      qualityLambda = FF_QP2LAMBDA * choice.quality;
      encoder->global_quality = qualityLambda;
    }
  }
  if (choice.codec == VideoCodec::HuffYuv) encoder->thread_count = 1;
  if (choice.codec == VideoCodec::Ffv1) {
    // Version 3 codes slices apart, so they share the threads; each carries its own checksum.
    encoder->level = 3;
    av_opt_set_int(encoder->priv_data, "slices", kFfv1Slices, 0);
    av_opt_set_int(encoder->priv_data, "slicecrc", 1, 0);
  }
  int rc = avcodec_open2(encoder, codec, nullptr);
  if (rc < 0) return Failed(std::string("Cannot start the compressor ") + info.name, rc, error);
  videoStream = avformat_new_stream(format, nullptr);
  videoStream->time_base = encoder->time_base;
  videoStream->avg_frame_rate = encoder->framerate;
  avcodec_parameters_from_context(videoStream->codecpar, encoder);
  if (choice.codec == VideoCodec::Uncompressed) {
    // Bitmaps keep their rows bottom-up: the header says so (a positive height), as every
    // player of uncompressed AVI expects; without the option the muxer declares top-down rows.
    flipRows = mode.format == PixelFormat::Bgr24;
    if (flipRows) av_opt_set_int(format->priv_data, "flipped_raw_rgb", 1, 0);
    videoStream->codecpar->codec_tag =
        mode.format == PixelFormat::Yuyv ? MKTAG('Y', 'U', 'Y', '2') : 0;
  }
  picture = av_frame_alloc();
  picture->format = encoder->pix_fmt;
  picture->width = mode.width;
  picture->height = mode.height;
  rc = av_frame_get_buffer(picture, 0);
  if (rc < 0) return Failed("Out of memory for the picture", rc, error);
  scaler = sws_getContext(mode.width, mode.height, SourcePixels(mode.format), mode.width,
                          mode.height, encoder->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
  if (scaler == nullptr) return Failed("Cannot convert the picture", AVERROR(EINVAL), error);
  return true;
}

bool FfmpegAviWriter::OpenAudio(const WaveFormatEx& wave, std::string& error) {
  if (wave.wFormatTag != kPcmTag || (wave.wBitsPerSample != 8 && wave.wBitsPerSample != 16) ||
      wave.nChannels == 0 || wave.nSamplesPerSec == 0) {
    error = "The AVI sound format must be PCM with 8 or 16 bits.";
    broken = true;
    return false;
  }
  audioStream = avformat_new_stream(format, nullptr);
  AVCodecParameters* p = audioStream->codecpar;
  p->codec_type = AVMEDIA_TYPE_AUDIO;
  p->codec_id = wave.wBitsPerSample == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
  p->sample_rate = static_cast<int>(wave.nSamplesPerSec);
  av_channel_layout_default(&p->ch_layout, wave.nChannels);
  p->bits_per_coded_sample = wave.wBitsPerSample;
  blockAlign = wave.nChannels * wave.wBitsPerSample / 8;
  p->block_align = blockAlign;
  p->bit_rate = static_cast<int64_t>(wave.nSamplesPerSec) * blockAlign * 8;
  audioStream->time_base = AVRational{1, p->sample_rate};
  return true;
}

bool FfmpegAviWriter::Drain(std::string& error) {
  for (;;) {
    const int rc = avcodec_receive_packet(encoder, packet);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return Failed("The compressor failed", rc, error);
    av_packet_rescale_ts(packet, encoder->time_base, videoStream->time_base);
    packet->stream_index = videoStream->index;
    const int wr = av_write_frame(format, packet);
    av_packet_unref(packet);
    if (wr < 0) return Failed("Cannot write the capture file", wr, error);
    ++videoChunks;
  }
}

bool FfmpegAviWriter::WriteVideo(const VideoFrame& frame, std::string& error) {
  if (broken || !headerWritten) return false;
  if (frame.width != mode.width || frame.height != mode.height || frame.format != mode.format) {
    error = "The picture changed its size during the recording.";
    broken = true;
    return false;
  }
  int rc = av_frame_make_writable(picture);
  if (rc < 0) return Failed("Out of memory for the picture", rc, error);
  // The scaler's vector loads read a little past the end of the last row, which may be the end
  // of the caller's buffer: it reads a padded copy.
  const int stride = static_cast<int>(frame.Stride());
  const std::size_t bytes = frame.Stride() * static_cast<std::size_t>(frame.height);
  if (frame.data.size() < bytes) {
    error = "The picture is shorter than its size.";
    broken = true;
    return false;
  }
  source.resize(bytes + AV_INPUT_BUFFER_PADDING_SIZE);
  std::memcpy(source.data(), frame.data.data(), bytes);
  const uint8_t* src = source.data();
  int srcStride = stride;
  if (flipRows) {  // last row first
    src += static_cast<std::size_t>(stride) * static_cast<std::size_t>(frame.height - 1);
    srcStride = -stride;
  }
  const uint8_t* planes[4] = {src, nullptr, nullptr, nullptr};
  const int strides[4] = {srcStride, 0, 0, 0};
  sws_scale(scaler, planes, strides, 0, frame.height, picture->data, picture->linesize);
  picture->pts = nextFrame++;
  if (qualityLambda > 0) picture->quality = qualityLambda;
  picture->pict_type = AV_PICTURE_TYPE_NONE;
  rc = avcodec_send_frame(encoder, picture);
  if (rc < 0) return Failed("The compressor failed", rc, error);
  return Drain(error);
}

bool FfmpegAviWriter::WriteEmptyVideo(std::string& error) {
  if (broken || !headerWritten) return false;
  // A chunk of no bytes takes the slot; the muxer counts it as a frame of the stream.
  av_packet_unref(packet);
  packet->data = nullptr;
  packet->size = 0;
  packet->stream_index = videoStream->index;
  packet->pts = packet->dts = nextFrame++;
  packet->duration = 1;
  av_packet_rescale_ts(packet, encoder->time_base, videoStream->time_base);
  const int rc = av_write_frame(format, packet);
  if (rc < 0) return Failed("Cannot write the capture file", rc, error);
  ++videoChunks;
  return true;
}

bool FfmpegAviWriter::WriteAudio(std::span<const uint8_t> bytes, std::string& error) {
  if (broken || !headerWritten) return false;
  if (audioStream == nullptr || bytes.empty()) return true;
  const int64_t samples = static_cast<int64_t>(bytes.size()) / blockAlign;
  if (samples == 0) return true;
  int rc = av_new_packet(packet, static_cast<int>(samples * blockAlign));
  if (rc < 0) return Failed("Out of memory for the sound", rc, error);
  std::memcpy(packet->data, bytes.data(), static_cast<std::size_t>(samples * blockAlign));
  packet->stream_index = audioStream->index;
  packet->pts = packet->dts = nextSample;
  packet->duration = samples;
  packet->flags |= AV_PKT_FLAG_KEY;
  nextSample += samples;
  rc = av_write_frame(format, packet);
  av_packet_unref(packet);
  if (rc < 0) return Failed("Cannot write the capture file", rc, error);
  return true;
}

bool FfmpegAviWriter::Flush(std::string& error) {
  if (broken || format == nullptr || format->pb == nullptr) return false;
  avio_flush(format->pb);
  if (format->pb->error < 0)
    return Failed("Cannot write the capture file", format->pb->error, error);
  // What a player needs to know the length without the index, which only the end writes.
  PatchHeader();
  return true;
}

bool FfmpegAviWriter::Close(std::string& error) {
  bool ok = !broken;
  if (headerWritten && encoder != nullptr) {
    // What the encoder still holds goes out before the index, even after a failure.
    if (avcodec_send_frame(encoder, nullptr) >= 0 && !broken) ok = Drain(error) && ok;
    const int rc = av_write_trailer(format);
    if (rc < 0 && ok) ok = Failed("Cannot finish the capture file", rc, error);
    if (format->pb->error < 0 && ok)
      ok = Failed("Cannot write the capture file", format->pb->error, error);
  }
  Release();
  return ok;
}

void FfmpegAviWriter::Release() {
  if (format != nullptr) CloseRecordingIo(format->pb);
  file.Close();
  avformat_free_context(format);
  format = nullptr;
  avcodec_free_context(&encoder);
  av_frame_free(&picture);
  av_packet_free(&packet);
  sws_freeContext(scaler);
  scaler = nullptr;
  headerWritten = false;
}

}  // namespace kelmo
