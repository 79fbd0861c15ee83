// A card library that lacks I2CSWRead: the program must refuse it rather than call through a null
// entry point.

#include "cardlib/CardLibraryAbi.h"

extern "C" {

int32_t SetGPOEBit(int32_t, int32_t) { return 1; }
int32_t SetGPDATABits(int32_t, int32_t, int32_t, int32_t) { return 1; }
int32_t I2CSWStart(void) { return 1; }
int32_t I2CSWWrite(int32_t) { return 1; }
int32_t I2CSWStop(void) { return 1; }
int32_t Bt848SetVideoSource(int32_t) { return 1; }
int32_t Bt848SetVideoFormat(int32_t) { return 1; }
int32_t I2CIsInitOK(void) { return 1; }
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

}  // extern "C"
