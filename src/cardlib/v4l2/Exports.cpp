// The exports of the real card library: each one drives the card through its kernel driver.
// Problems go to stderr, once each per card start, naming this library.

#include <linux/videodev2.h>

#include <cstdio>

#include "cardlib/CardLibraryAbi.h"
#include "cardlib/v4l2/V4l2Card.h"
#include "platform/linux/v4l2/SystemV4l2Io.h"

namespace {

kelmo::v4l2card::V4l2Card& Card() {
  static kelmo::SystemV4l2Io kernel;
  static kelmo::v4l2card::V4l2Card card(kernel, [](const std::string& line) {
    std::fprintf(stderr, "Btvid_32-v4l2.so: %s\n", line.c_str());
  });
  return card;
}

int32_t Done(bool ok) { return ok ? 1 : 0; }

}  // namespace

extern "C" {

int32_t SetGPOEBit(int32_t pin, int32_t enable) {
  Card().SetOutputEnable(pin, enable);
  return 1;
}

int32_t SetGPDATABits(int32_t firstBit, int32_t lastBit, int32_t value, int32_t) {
  Card().SetDataBits(firstBit, lastBit, value);
  return Done(Card().IsOpen());
}

int32_t I2CSWStart(void) {
  Card().I2CStart();
  return 1;
}

int32_t I2CSWWrite(int32_t value) {
  Card().I2CWrite(value);
  return 1;
}

int32_t I2CSWStop(void) {
  Card().I2CStop();
  return Done(Card().IsOpen());
}

int32_t I2CSWRead(uint32_t* value) {
  const uint32_t byte = Card().I2CRead();
  if (value != nullptr) *value = byte;
  return Done(Card().IsOpen());
}

int32_t Bt848SetVideoSource(int32_t source) {
  Card().SetVideoSource(source);
  return Done(Card().IsOpen());
}

int32_t Bt848SetVideoFormat(int32_t format) {
  Card().SetVideoFormat(format);
  return Done(Card().IsOpen());
}

// The bus initialisation starts the card: it finds and opens the device anew each time.
int32_t I2CIsInitOK(void) { return Done(Card().Start()); }

// The kernel owns the bus and its timing; a program that skipped I2CIsInitOK starts the card here.
int32_t I2CInitSWMode(int32_t) {
  return Done(Card().IsStarted() ? Card().IsOpen() : Card().Start());
}

// The kernel's I2C driver acknowledges for itself.
int32_t I2CSWSendACK(void) { return Done(Card().IsOpen()); }
int32_t I2CSWSendNACK(void) { return Done(Card().IsOpen()); }

int32_t GPIOIsInitOK(void) { return Done(Card().IsOpen()); }

// The kernel owns the pins' mode; the selector's state starts afresh.
int32_t SetGPIOMODE(int32_t) {
  Card().InitGpio();
  return Done(Card().IsOpen());
}

// Decoder register ranges: brightness and hue are signed bytes, contrast and saturation nine bits.
int32_t Bt848SetBrightness(int32_t value) {
  Card().SetPicture(V4L2_CID_BRIGHTNESS, 0x0A, value, -128, 127);
  return Done(Card().IsOpen());
}

int32_t Bt848SetContrast(int32_t value) {
  Card().SetPicture(V4L2_CID_CONTRAST, 0x0C, value, 0, 511);
  return Done(Card().IsOpen());
}

int32_t Bt848SetSaturation(int32_t value) {
  Card().SetPicture(V4L2_CID_SATURATION, 0x0D, value, 0, 511);
  return Done(Card().IsOpen());
}

int32_t Bt848SetHue(int32_t value) {
  Card().SetPicture(V4L2_CID_HUE, 0x0F, value, -128, 127);
  return Done(Card().IsOpen());
}

int32_t ReadDecoder(int32_t reg, uint32_t* value) {
  const uint32_t v = Card().ReadDecoder(reg);
  if (value != nullptr) *value = v;
  return Done(Card().IsOpen());
}

int32_t WriteDecoder(int32_t reg, int32_t value) {
  Card().WriteDecoder(reg, value);
  return 1;
}

int32_t KelmoUseVideoDevice(const char* path) {
  return Done(Card().UseVideoDevice(path != nullptr ? path : ""));
}

}  // extern "C"
