#include "platform/linux/RecordingIo.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace kelmo {

namespace {

// Large enough that a full-size uncompressed picture goes out in a few system calls.
constexpr int kBufferBytes = 1 << 20;

int WritePacket(void* opaque, uint8_t* data, int size) {
  auto& file = *static_cast<RecordingFile*>(opaque);
  return file.Write(data, static_cast<std::size_t>(size)) ? size : AVERROR(file.Error());
}

int64_t Seek(void* opaque, int64_t offset, int whence) {
  auto& file = *static_cast<RecordingFile*>(opaque);
  if (whence & AVSEEK_SIZE) return static_cast<int64_t>(file.Size());
  const int64_t at = file.Seek(offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(file.Error()) : at;
}

}  // namespace

AVIOContext* OpenRecordingIo(RecordingFile& file) {
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  if (buffer == nullptr) return nullptr;
  AVIOContext* io = avio_alloc_context(buffer, kBufferBytes, 1, &file, nullptr, WritePacket, Seek);
  if (io == nullptr) av_free(buffer);
  return io;
}

void CloseRecordingIo(AVIOContext*& io) {
  if (io == nullptr) return;
  avio_flush(io);
  av_freep(&io->buffer);
  avio_context_free(&io);
}

}  // namespace kelmo
