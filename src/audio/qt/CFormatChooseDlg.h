#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "audio/FormatChooser.h"

namespace Ui {
class CFormatChooseDlg;
}

namespace kelmo {

// The sound format chooser's window: "Format:" lists the format tags, "Attributes:" the formats
// of the tag chosen. It shows a model and reports the position chosen; FormatChooser holds the
// rules.
class CFormatChooseDlg : public QDialog {
  Q_OBJECT

 public:
  CFormatChooseDlg(const FormatChooserModel& model, FormatChooserModel::Position start,
                   QWidget* parent = nullptr);
  ~CFormatChooseDlg() override;

  // The tag and format selected now.
  FormatChooserModel::Position Selection() const;

  // Runs the dialog modally: the position chosen, or nullopt after Cancel.
  static std::optional<FormatChooserModel::Position> Pick(const FormatChooserModel& model,
                                                          FormatChooserModel::Position start,
                                                          QWidget* parent);

 private:
  void OnFormatTagChanged(int tag);

  std::unique_ptr<Ui::CFormatChooseDlg> ui;
  const FormatChooserModel& model;
};

// The codec manager the program uses: the conversions of the FFmpeg codec manager, and this
// window as its chooser, asking the wave input what it records.
class ChooserCodecManager final : public AudioCodecManager {
 public:
  ChooserCodecManager(AudioCodecManager& converter, std::vector<WaveFormatEx> offered,
                      FormatChooser::CanRecord canRecord)
      : converter(converter), chooser(std::move(offered), std::move(canRecord), converter) {}

  // Modal to the window active now (the dialog that asks).
  int ChooseFormat(AcmFormatChoice& choice) override;
  int StreamOpen(const std::vector<uint8_t>& source, const std::vector<uint8_t>& destination,
                 std::unique_ptr<AcmStream>& stream) override {
    return converter.StreamOpen(source, destination, stream);
  }

 private:
  AudioCodecManager& converter;
  FormatChooser chooser;
};

}  // namespace kelmo
