#pragma once

#include <string>

#include "audio/VolumeControl.h"

struct _snd_mixer;
struct _snd_mixer_elem;

namespace kelmo {

// The playback volume of an ALSA card's simple mixer: "Master", else "PCM", else the first element
// with a playback volume. All its channels move together.
class AlsaVolumeControl final : public VolumeControl {
 public:
  explicit AlsaVolumeControl(std::string card = "default") : card(std::move(card)) {}
  ~AlsaVolumeControl() override;
  AlsaVolumeControl(const AlsaVolumeControl&) = delete;
  AlsaVolumeControl& operator=(const AlsaVolumeControl&) = delete;

  // Opens the card's mixer; the reason when it has none (no sound card, no playback volume).
  [[nodiscard]] VolumeResult Open();

  int Volume() override;
  [[nodiscard]] VolumeResult SetVolume(int percent) override;

 private:
  std::string card;
  _snd_mixer* mixer = nullptr;
  _snd_mixer_elem* element = nullptr;
  long low = 0;
  long high = 0;
};

}  // namespace kelmo
