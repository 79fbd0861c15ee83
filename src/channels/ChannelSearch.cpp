#include "channels/ChannelSearch.h"

#include "base/Frequency.h"
#include "tuner/CardDriverLibrary.h"
#include "tuner/Tuner.h"

namespace kelmo {

namespace {

// Signal thresholds: the first reading must be above, the confirmations at least this.
constexpr int kDecoderSignal = 128;  // bit 7 of the decoder's status: a picture is received
constexpr int kTunerSignal = 15;     // the tuner's level, 0..31

}  // namespace

int ChannelSearch::Total() const { return tv ? kTvSearchCount : kFmSearchCount; }

float ChannelSearch::Candidate(int i) const {
  return tv ? TvSearchFrequencies()[static_cast<std::size_t>(i)] : FmSearchFrequency(i);
}

void ChannelSearch::Start() {
  tv = list.Band() == ChannelBand::Tv;
  index = 0;
  swept = 0;
  display.clear();
  waitedMs = 0;
  tunings = 0;
  if (recording && recording()) {
    // A search would tune away from the recording's channel, and FM's would empty the list.
    list.TellRecording();
    return;
  }
  state = State::NextCandidate;
  // The FM search builds its list afresh; the TV search adds to what is listed.
  if (!tv) list.Clear();
  if (list.Full()) {
    // Nothing found could be added.
    list.TellFull();
    state = State::Idle;
  }
}

ChannelSearch::Step ChannelSearch::Next() {
  switch (state) {
    case State::Idle:
      return {};
    case State::NextCandidate:
      return NextCandidate();
    case State::FirstReading:
    case State::Confirming:
      return Read();
    case State::Proposing:
      return {Step::Kind::Propose, 0};
  }
  return {};
}

ChannelSearch::Step ChannelSearch::NextCandidate() {
  if (index >= Total()) return Finish();
  frequency = Candidate(index);
  const std::string text = FormatFrequency(frequency);
  if (tv) {
    display = text;
    if (list.Listed(text)) {
      // Already listed: never proposed again, and not tuned. The display still shows it.
      ++index;
      ++swept;
      return Wait(0);
    }
  }
  if (recording && recording()) return Finish();
  if (tv) {
    tuner.TuneTv(frequency);
  } else {
    tuner.TuneFm(frequency);
    display = text;
  }
  ++tunings;
  state = State::FirstReading;
  return Wait(kSettleMs);
}

ChannelSearch::Step ChannelSearch::Read() {
  const bool first = state == State::FirstReading;
  const int value = Signal();
  if (!Passes(value, first)) {
    ++index;
    ++swept;
    state = State::NextCandidate;
    return NextCandidate();
  }
  if (first) {
    state = State::Confirming;
    readings = 0;
    return Wait(kConfirmMs);
  }
  if (++readings < kConfirmReadings) return Wait(kConfirmMs);
  proposal.proposedFrequency = frequency;
  state = State::Proposing;
  return {Step::Kind::Propose, 0};
}

void ChannelSearch::Answer() {
  if (state != State::Proposing) return;
  ++index;
  ++swept;
  const float answer = proposal.proposedFrequency;
  if (answer == ChannelProposal::kAbort) {
    state = State::Idle;
    return;
  }
  state = State::NextCandidate;
  if (answer == ChannelProposal::kNoAdd) return;
  if (list.Append(proposal.proposedName, FormatFrequency(answer)) < 0) {
    state = State::Idle;  // full: the user has been told
  } else if (list.Full()) {
    list.TellFull();  // the search ends here, with what it found
    state = State::Idle;
  }
}

void ChannelSearch::Abort() { state = State::Idle; }

ChannelSearch::Step ChannelSearch::Wait(int ms) {
  waitedMs += ms;
  return {Step::Kind::Wait, ms};
}

ChannelSearch::Step ChannelSearch::Finish() {
  state = State::Idle;
  return {};
}

int ChannelSearch::Signal() { return tv ? card.ReadDecoderStatus() : card.ReadTunerStatus(); }

bool ChannelSearch::Passes(int value, bool first) const {
  const int threshold = tv ? kDecoderSignal : kTunerSignal;
  return first ? value > threshold : value >= threshold;
}

}  // namespace kelmo
