// The exports of the simulated card: each one drives the card model. Values the real library
// leaves undefined get a plain answer here (1 for "done").

#include "cardlib/CardLibraryAbi.h"
#include "cardlib/sim/CardModel.h"

using kelmo::simcard::TheCard;

extern "C" {

int32_t SetGPOEBit(int32_t pin, int32_t enable) {
  TheCard().SetOutputEnable(pin, enable);
  return 1;
}

int32_t SetGPDATABits(int32_t firstBit, int32_t lastBit, int32_t value, int32_t) {
  TheCard().SetDataBits(firstBit, lastBit, value);
  return 1;
}

int32_t I2CSWStart(void) {
  TheCard().I2CStart();
  return 1;
}

int32_t I2CSWWrite(int32_t value) {
  TheCard().I2CWrite(value);
  return 1;
}

int32_t I2CSWStop(void) {
  TheCard().I2CStop();
  return 1;
}

int32_t I2CSWRead(uint32_t* value) {
  const uint32_t byte = TheCard().I2CRead();
  if (value != nullptr) *value = byte;
  return 1;
}

// The simulated decoder has one input and one norm: these only acknowledge.
int32_t Bt848SetVideoSource(int32_t) { return 1; }
int32_t Bt848SetVideoFormat(int32_t) { return 1; }

int32_t I2CIsInitOK(void) { return 1; }

int32_t I2CInitSWMode(int32_t) {
  TheCard().InitI2C();
  return 1;
}

// Acknowledge bits are part of a read of several bytes; the tuner's status is one byte.
int32_t I2CSWSendACK(void) { return 1; }
int32_t I2CSWSendNACK(void) { return 1; }

int32_t GPIOIsInitOK(void) { return 1; }

int32_t SetGPIOMODE(int32_t) {
  TheCard().InitGpio();
  return 1;
}

// Picture controls are decoder registers (numbered in 32-bit words): 0x0A brightness, 0x0C
// contrast, 0x0D saturation, 0x0F hue.
int32_t Bt848SetBrightness(int32_t value) {
  TheCard().WriteDecoder(0x0A, value);
  return 1;
}

int32_t Bt848SetContrast(int32_t value) {
  TheCard().WriteDecoder(0x0C, value);
  return 1;
}

int32_t Bt848SetSaturation(int32_t value) {
  TheCard().WriteDecoder(0x0D, value);
  return 1;
}

int32_t Bt848SetHue(int32_t value) {
  TheCard().WriteDecoder(0x0F, value);
  return 1;
}

int32_t ReadDecoder(int32_t reg, uint32_t* value) {
  const uint32_t v = TheCard().ReadDecoder(reg);
  if (value != nullptr) *value = v;
  return 1;
}

int32_t WriteDecoder(int32_t reg, int32_t value) {
  TheCard().WriteDecoder(reg, value);
  return 1;
}

int32_t KelmoSimQueryCard(KelmoSimCardState* state) {
  if (state == nullptr) return 0;
  *state = TheCard().Query();
  return 1;
}

}  // extern "C"
