#pragma once

#include <string>

#include "capture/Deinterlacer.h"

struct AVBufferPool;
struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

namespace kelmo {

// Deinterlacing with libavfilter: "bwdif" (motion adaptive, one frame per frame), its output
// converted to BGR24 inside the graph. The graph is built for the first frame's size and format
// and rebuilt when they change. Input buffers come from a pool, so a running stream allocates
// nothing per frame.
class AvDeinterlacer final : public Deinterlacer {
 public:
  AvDeinterlacer() = default;
  ~AvDeinterlacer() override;
  AvDeinterlacer(const AvDeinterlacer&) = delete;
  AvDeinterlacer& operator=(const AvDeinterlacer&) = delete;

  bool Process(const VideoFrame& in, VideoFrame& out) override;
  bool Failed() const override { return failed; }
  void Reset() override;

  // Why the graph could not be built or fed; empty while it works.
  const std::string& Error() const { return error; }

 private:
  bool Build(const VideoFrame& in);
  bool Fail(const char* what, int code);
  void Release();

  AVFilterGraph* graph = nullptr;
  AVFilterContext* source = nullptr;
  AVFilterContext* sink = nullptr;
  AVBufferPool* pool = nullptr;
  AVFrame* input = nullptr;
  AVFrame* output = nullptr;
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Bgr24;
  long long pts = 0;
  bool failed = false;
  std::string error;
};

}  // namespace kelmo
