#include "capture/linux/AvDeinterlacer.h"

#include <cstring>

#include "base/Log.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/buffer.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

namespace kelmo {
namespace {

// Both fields of every frame are woven: the card sends the top field first.
constexpr const char* kFilter = "bwdif=mode=send_frame:parity=tff:deint=all,format=bgr24";

AVPixelFormat AvFormat(PixelFormat format) {
  return format == PixelFormat::Yuyv ? AV_PIX_FMT_YUYV422 : AV_PIX_FMT_BGR24;
}

}  // namespace

AvDeinterlacer::~AvDeinterlacer() { Release(); }

void AvDeinterlacer::Release() {
  avfilter_graph_free(&graph);
  source = sink = nullptr;
  av_buffer_pool_uninit(&pool);
  av_frame_free(&input);
  av_frame_free(&output);
  width = height = 0;
}

void AvDeinterlacer::Reset() {
  Release();
  failed = false;
  error.clear();
}

bool AvDeinterlacer::Fail(const char* what, int code) {
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, reason, sizeof reason);
  error = std::string(what) + ": " + reason;
  LogError("capture", "deinterlacing is off: %s", error.c_str());
  failed = true;
  Release();
  return false;
}

bool AvDeinterlacer::Build(const VideoFrame& in) {
  Release();
  graph = avfilter_graph_alloc();
  input = av_frame_alloc();
  output = av_frame_alloc();
  if (!graph || !input || !output) return Fail("avfilter_graph_alloc", AVERROR(ENOMEM));
  graph->nb_threads = 1;  // the grabber's own thread; the picture must not take every core
  const std::string args =
      "video_size=" + std::to_string(in.width) + "x" + std::to_string(in.height) +
      ":pix_fmt=" + std::to_string(AvFormat(in.format)) + ":time_base=1/25:pixel_aspect=1/1";
  int rc = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", args.c_str(),
                                        nullptr, graph);
  if (rc < 0) return Fail("buffer source", rc);
  rc = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr,
                                    nullptr, graph);
  if (rc < 0) return Fail("buffer sink", rc);
  AVFilterInOut* outputs = avfilter_inout_alloc();
  AVFilterInOut* inputs = avfilter_inout_alloc();
  outputs->name = av_strdup("in");
  outputs->filter_ctx = source;
  inputs->name = av_strdup("out");
  inputs->filter_ctx = sink;
  rc = avfilter_graph_parse_ptr(graph, kFilter, &inputs, &outputs, nullptr);
  avfilter_inout_free(&inputs);
  avfilter_inout_free(&outputs);
  if (rc < 0) return Fail("avfilter_graph_parse_ptr", rc);
  rc = avfilter_graph_config(graph, nullptr);
  if (rc < 0) return Fail("avfilter_graph_config", rc);
  pool = av_buffer_pool_init(in.data.size(), nullptr);
  if (!pool) return Fail("av_buffer_pool_init", AVERROR(ENOMEM));
  width = in.width;
  height = in.height;
  format = in.format;
  pts = 0;
  LogInfo("capture", "deinterlacing %dx%d with bwdif", width, height);
  return true;
}

bool AvDeinterlacer::Process(const VideoFrame& in, VideoFrame& out) {
  if (failed || in.width <= 0 || in.height <= 0) return false;
  if (!graph || in.width != width || in.height != height || in.format != format) {
    if (!Build(in)) return false;
  }
  input->buf[0] = av_buffer_pool_get(pool);
  if (!input->buf[0]) return Fail("av_buffer_pool_get", AVERROR(ENOMEM));
  std::memcpy(input->buf[0]->data, in.data.data(), in.data.size());
  input->data[0] = input->buf[0]->data;
  input->linesize[0] = static_cast<int>(in.Stride());
  input->width = in.width;
  input->height = in.height;
  input->format = AvFormat(in.format);
  input->interlaced_frame = 1;
  input->top_field_first = 1;
  // bwdif gives out a frame once it has the next one, which would hold the live picture back a
  // whole frame period. So each frame goes in twice: its twin stands in for the next frame and
  // the frame comes out at once, deinterlaced against the frame before it. What the twin brings
  // out (the previous twin, now seen with its real successor) is too late to show.
  input->pts = pts++;
  int rc = av_buffersrc_add_frame_flags(source, input, AV_BUFFERSRC_FLAG_KEEP_REF);
  if (rc < 0) return Fail("av_buffersrc_add_frame", rc);
  rc = av_buffersink_get_frame(sink, output);
  if (rc >= 0) av_frame_unref(output);
  input->pts = pts++;
  rc = av_buffersrc_add_frame_flags(source, input, 0);  // takes the buffer, resets `input`
  if (rc < 0) return Fail("av_buffersrc_add_frame", rc);
  rc = av_buffersink_get_frame(sink, output);
  if (rc == AVERROR(EAGAIN)) return false;
  if (rc < 0) return Fail("av_buffersink_get_frame", rc);
  out.Resize(output->width, output->height, PixelFormat::Bgr24);
  const std::size_t row = out.Stride();
  for (int y = 0; y < output->height; ++y) {
    std::memcpy(out.data.data() + row * static_cast<std::size_t>(y),
                output->data[0] + static_cast<std::ptrdiff_t>(output->linesize[0]) * y, row);
  }
  out.sequence = in.sequence;
  av_frame_unref(output);
  return true;
}

}  // namespace kelmo
