#pragma once

#include <vector>

#include "capture/AviWriter.h"
#include "platform/RecordingFile.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace kelmo {

// An AVI file written with FFmpeg: the chosen encoder for the picture, PCM for the sound, the AVI
// muxer (which goes on in OpenDML RIFF-AVIX parts past 1 GiB).
class FfmpegAviWriter final : public AviWriter {
 public:
  FfmpegAviWriter() = default;
  ~FfmpegAviWriter() override;
  FfmpegAviWriter(const FfmpegAviWriter&) = delete;
  FfmpegAviWriter& operator=(const FfmpegAviWriter&) = delete;

  bool Open(const AviSetup& setup, std::string& error) override;
  bool WriteVideo(const VideoFrame& frame, std::string& error) override;
  bool WriteEmptyVideo(std::string& error) override;
  bool WriteAudio(std::span<const uint8_t> bytes, std::string& error) override;
  bool Flush(std::string& error) override;
  bool Close(std::string& error) override;
  const std::string& Path() const override { return path; }
  std::optional<uint64_t> FreeBytes() const override { return file.FreeBytes(); }

 private:
  bool OpenVideo(const AviSetup& setup, std::string& error);
  bool OpenAudio(const WaveFormatEx& format, std::string& error);
  bool Drain(std::string& error);
  bool OpenFile(const AviSetup& setup, std::string& error);
  bool Failed(const std::string& what, int code, std::string& error);
  // Finds where the header keeps its sizes and counts; PatchHeader writes the current ones there.
  bool FindCounters();
  void PatchHeader();
  void PatchLe32(uint64_t at, uint64_t value);
  void Release();

  // Where the muxer's header keeps what it only writes at the end: offsets in the file.
  struct Counters {
    uint64_t totalFrames = 0;             // avih: frames of the first part
    std::vector<uint64_t> streamLengths;  // each strh's length, in stream order
    uint64_t odml = 0;                    // the OpenDML header, a JUNK chunk until a second part
    uint64_t odmlFrames = 0;              // its dmlh: frames of the whole file
    uint64_t movi = 0;                    // the first part's movi LIST
    uint64_t part = 0;                    // the RIFF being written
    int partNumber = 1;
  };

  AVFormatContext* format = nullptr;
  AVCodecContext* encoder = nullptr;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  AVFrame* picture = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  std::vector<uint8_t> source;  // the frame the scaler reads, with room for its over-reads
  VideoMode mode;
  bool flipRows = false;  // full-frame RGB is stored bottom-up, as bitmaps are
  int qualityLambda = 0;  // > 0: a fixed quantiser
  int64_t nextFrame = 0;
  int64_t nextSample = 0;
  int blockAlign = 1;
  int64_t videoChunks = 0;  // written to the file, empty ones included
  bool broken = false;
  bool headerWritten = false;
  std::string path;
  RecordingFile file;
  Counters counters;
};

class FfmpegAviWriterFactory final : public AviWriterFactory {
 public:
  std::unique_ptr<AviWriter> Make() override { return std::make_unique<FfmpegAviWriter>(); }
};

}  // namespace kelmo
