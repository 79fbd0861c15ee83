#pragma once

// The card library's binary interface: the twenty functions that every card library exports under
// these exact names, shared by the program's loader and by the card libraries themselves (the
// simulated card and the one that drives a real card). Plain C: arguments are 32-bit integers,
// values come back through 32-bit outputs. The program never examines a return value; a library
// returns 1 for "done" and 0 for "failed" where it has something to say.

#include <stdint.h>

#if defined(__GNUC__)
#define KELMO_CARD_EXPORT __attribute__((visibility("default")))
#else
#define KELMO_CARD_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// GPIO pins: output enable of one pin (0..23), and a field of data bits first..last set to value.
KELMO_CARD_EXPORT int32_t SetGPOEBit(int32_t pin, int32_t enable);
KELMO_CARD_EXPORT int32_t SetGPDATABits(int32_t firstBit, int32_t lastBit, int32_t value,
                                        int32_t reserved);

// Software-driven I2C: start condition, one byte out (the low eight bits of value), stop
// condition, one byte in (stored in *value).
KELMO_CARD_EXPORT int32_t I2CSWStart(void);
KELMO_CARD_EXPORT int32_t I2CSWWrite(int32_t value);
KELMO_CARD_EXPORT int32_t I2CSWStop(void);
KELMO_CARD_EXPORT int32_t I2CSWRead(uint32_t* value);

// Video decoder input and norm.
KELMO_CARD_EXPORT int32_t Bt848SetVideoSource(int32_t source);
KELMO_CARD_EXPORT int32_t Bt848SetVideoFormat(int32_t format);

// I2C bus set-up: whether the bus is usable, and software mode with its bit timing.
KELMO_CARD_EXPORT int32_t I2CIsInitOK(void);
KELMO_CARD_EXPORT int32_t I2CInitSWMode(int32_t timing);
KELMO_CARD_EXPORT int32_t I2CSWSendACK(void);
KELMO_CARD_EXPORT int32_t I2CSWSendNACK(void);

// GPIO set-up: whether the pins are usable, and their mode.
KELMO_CARD_EXPORT int32_t GPIOIsInitOK(void);
KELMO_CARD_EXPORT int32_t SetGPIOMODE(int32_t mode);

// Picture controls of the video decoder.
KELMO_CARD_EXPORT int32_t Bt848SetBrightness(int32_t value);
KELMO_CARD_EXPORT int32_t Bt848SetContrast(int32_t value);
KELMO_CARD_EXPORT int32_t Bt848SetSaturation(int32_t value);
KELMO_CARD_EXPORT int32_t Bt848SetHue(int32_t value);

// Video decoder registers (0..255): register 0 is the device status, bit 7 set while a picture
// is received.
KELMO_CARD_EXPORT int32_t ReadDecoder(int32_t reg, uint32_t* value);
KELMO_CARD_EXPORT int32_t WriteDecoder(int32_t reg, int32_t value);

// The simulated card's own query, optional: a real card library does not have it. It tells the
// simulated picture and sound what the card receives right now. Safe to call from any thread.
enum {
  KELMO_SIM_BAND_NONE = 0,  // nothing tuned since the bus was initialised
  KELMO_SIM_BAND_TV = 1,
  KELMO_SIM_BAND_FM = 2
};

struct KelmoSimCardState {
  int32_t band;             // KELMO_SIM_BAND_*: the band of the last tuner write
  double frequencyMhz;      // the wanted frequency the tuner is set to (0 with no band)
  int32_t bandByte;         // the band byte of the last write (TV: low, mid or high band)
  int32_t audioSelector;    // GPIO bits 2..3 as driven: 0 off, 1 FM radio, 3 TV sound
  int32_t stationFound;     // 1 while a station of the antenna is received
  double stationMhz;        // that station's frequency (vision carrier for TV)
  int32_t stationStrength;  // 0..31; TV stations are always 31
  char stationName[80];     // that station's name, UTF-8, NUL-terminated ("" without a station)
  uint32_t tuneCount;       // tuner writes since the bus was initialised
};

// Fills *state; returns 1, or 0 when state is null.
KELMO_CARD_EXPORT int32_t KelmoSimQueryCard(struct KelmoSimCardState* state);

// The real card library's choice of card, optional like the query: the video device node that the
// program's capture has connected ("/dev/video0", NUL-terminated; "" or null for none), so that the
// tuner and sound the program drives belong to the card whose picture it shows. Called at every
// card start-up, and again whenever the capture connects another device; takes effect at once.
// Without it the library drives $KELMO_V4L2_DEVICE, else the first video device with a tuner; a
// device without a tuner leaves that choice in place. Returns 1 when `path` is the card driven.
KELMO_CARD_EXPORT int32_t KelmoUseVideoDevice(const char* path);

#ifdef __cplusplus
}  // extern "C"
#endif

#ifdef __cplusplus
namespace kelmo {

// The exports in the order the loader looks them up.
inline constexpr const char* kCardExportNames[20] = {
    "SetGPOEBit",         "SetGPDATABits", "I2CSWStart",          "I2CSWWrite",
    "I2CSWStop",          "I2CSWRead",     "Bt848SetVideoSource", "Bt848SetVideoFormat",
    "I2CIsInitOK",        "I2CInitSWMode", "I2CSWSendACK",        "I2CSWSendNACK",
    "GPIOIsInitOK",       "SetGPIOMODE",   "Bt848SetBrightness",  "Bt848SetContrast",
    "Bt848SetSaturation", "Bt848SetHue",   "ReadDecoder",         "WriteDecoder",
};

inline constexpr const char* kSimQueryName = "KelmoSimQueryCard";
inline constexpr const char* kUseVideoDeviceName = "KelmoUseVideoDevice";

// Pointer types of the exports, as the loader holds them.
using SetGPOEBitFn = int32_t (*)(int32_t, int32_t);
using SetGPDATABitsFn = int32_t (*)(int32_t, int32_t, int32_t, int32_t);
using VoidCallFn = int32_t (*)();
using IntCallFn = int32_t (*)(int32_t);
using ReadByteFn = int32_t (*)(uint32_t*);
using ReadDecoderFn = int32_t (*)(int32_t, uint32_t*);
using WriteDecoderFn = int32_t (*)(int32_t, int32_t);
using SimQueryFn = int32_t (*)(KelmoSimCardState*);
using UseVideoDeviceFn = int32_t (*)(const char*);

}  // namespace kelmo
#endif
