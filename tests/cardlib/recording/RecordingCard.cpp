// A card library with the device choice that writes each call the program makes of it to the file
// named by KELMO_I2C_LOG: the loader's calls and their order can be read back. Built a second time
// with KELMO_CARD_WITHOUT_READ, it lacks I2CSWRead: the program must refuse that one rather than
// call through a null entry point.

#include <cstdio>
#include <cstdlib>

#include "cardlib/CardLibraryAbi.h"

namespace {

int32_t Log(const char* what, const char* detail = "") {
  if (const char* path = std::getenv("KELMO_I2C_LOG")) {
    if (FILE* file = std::fopen(path, "a")) {
      std::fprintf(file, "%s%s\n", what, detail);
      std::fclose(file);
    }
  }
  return 1;
}

}  // namespace

extern "C" {

int32_t SetGPOEBit(int32_t, int32_t) { return 1; }
int32_t SetGPDATABits(int32_t, int32_t, int32_t, int32_t) { return Log("GPIO"); }
int32_t I2CSWStart(void) { return 1; }
int32_t I2CSWWrite(int32_t) { return 1; }
int32_t I2CSWStop(void) { return 1; }
#ifndef KELMO_CARD_WITHOUT_READ
int32_t I2CSWRead(uint32_t* value) {
  *value = 0;
  return 1;
}
#endif
int32_t Bt848SetVideoSource(int32_t) { return 1; }
int32_t Bt848SetVideoFormat(int32_t) { return 1; }
int32_t I2CIsInitOK(void) { return Log("init"); }
int32_t I2CInitSWMode(int32_t) { return 1; }
int32_t I2CSWSendACK(void) { return 1; }
int32_t I2CSWSendNACK(void) { return 1; }
int32_t GPIOIsInitOK(void) { return 1; }
int32_t SetGPIOMODE(int32_t) { return 1; }
int32_t Bt848SetBrightness(int32_t) { return 1; }
int32_t Bt848SetContrast(int32_t) { return 1; }
int32_t Bt848SetSaturation(int32_t) { return 1; }
int32_t Bt848SetHue(int32_t) { return 1; }
int32_t ReadDecoder(int32_t, uint32_t* value) {
  *value = 0;
  return 1;
}
int32_t WriteDecoder(int32_t, int32_t) { return 1; }
int32_t KelmoUseVideoDevice(const char* path) { return Log("use ", path); }

}  // extern "C"
