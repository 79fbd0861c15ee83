#include <linux/i2c-dev.h>
#include <linux/videodev2.h>

#include <cstdio>

#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo {

std::string V4l2RequestName(unsigned long request) {
  struct Named {
    unsigned long request;
    const char* name;
  };
  // The requests the program and the card library make.
  static constexpr Named kNames[] = {
      {VIDIOC_QUERYCAP, "VIDIOC_QUERYCAP"},
      {VIDIOC_G_TUNER, "VIDIOC_G_TUNER"},
      {VIDIOC_S_TUNER, "VIDIOC_S_TUNER"},
      {VIDIOC_G_FREQUENCY, "VIDIOC_G_FREQUENCY"},
      {VIDIOC_S_FREQUENCY, "VIDIOC_S_FREQUENCY"},
      {VIDIOC_ENUMINPUT, "VIDIOC_ENUMINPUT"},
      {VIDIOC_G_INPUT, "VIDIOC_G_INPUT"},
      {VIDIOC_S_INPUT, "VIDIOC_S_INPUT"},
      {VIDIOC_ENUMAUDIO, "VIDIOC_ENUMAUDIO"},
      {VIDIOC_G_AUDIO, "VIDIOC_G_AUDIO"},
      {VIDIOC_S_AUDIO, "VIDIOC_S_AUDIO"},
      {VIDIOC_QUERYCTRL, "VIDIOC_QUERYCTRL"},
      {VIDIOC_G_CTRL, "VIDIOC_G_CTRL"},
      {VIDIOC_S_CTRL, "VIDIOC_S_CTRL"},
      {VIDIOC_G_STD, "VIDIOC_G_STD"},
      {VIDIOC_S_STD, "VIDIOC_S_STD"},
      {VIDIOC_ENUM_FMT, "VIDIOC_ENUM_FMT"},
      {VIDIOC_G_FMT, "VIDIOC_G_FMT"},
      {VIDIOC_S_FMT, "VIDIOC_S_FMT"},
      {VIDIOC_TRY_FMT, "VIDIOC_TRY_FMT"},
      {VIDIOC_G_PARM, "VIDIOC_G_PARM"},
      {VIDIOC_S_PARM, "VIDIOC_S_PARM"},
      {VIDIOC_REQBUFS, "VIDIOC_REQBUFS"},
      {VIDIOC_QUERYBUF, "VIDIOC_QUERYBUF"},
      {VIDIOC_QBUF, "VIDIOC_QBUF"},
      {VIDIOC_DQBUF, "VIDIOC_DQBUF"},
      {VIDIOC_STREAMON, "VIDIOC_STREAMON"},
      {VIDIOC_STREAMOFF, "VIDIOC_STREAMOFF"},
      {I2C_SLAVE, "I2C_SLAVE"},
      {I2C_SLAVE_FORCE, "I2C_SLAVE_FORCE"},
  };
  for (const Named& n : kNames) {
    if (n.request == request) return n.name;
  }
  char text[32];
  std::snprintf(text, sizeof text, "ioctl 0x%lx", request);
  return text;
}

}  // namespace kelmo
