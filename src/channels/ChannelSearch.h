#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "channels/ChannelListEditor.h"
#include "tuner/CardDriverLibrary.h"
#include "tuner/Tuner.h"

namespace kelmo {

// What a search and the Add Channel dialog hand each other. The search puts the frequency it
// found in proposedFrequency; the dialog leaves it for "Add Channel" (with the typed name in
// proposedName), sets kNoAdd for "No Add Channel" and kAbort for "Abort".
struct ChannelProposal {
  static constexpr float kNoAdd = 0.0f;
  static constexpr float kAbort = -1.0f;
  float proposedFrequency = 0.0f;
  std::string proposedName;
};

// The automatic channel search of a channel dialog, as a state machine that never sleeps: each
// call of Next() does what can be done at once (show a candidate, tune it, read the signal) and
// returns what it waits for, so that the window stays alive between steps.
//
// TV tries the 104 carriers of the PAL B/G raster and skips those the list already holds; a
// carrier is found when the decoder's status is above 128 100 ms after tuning and at least 128 in
// ten further readings 70 ms apart. FM empties the list first and tries all 411 positions of the
// FM band; the tuner's status must be above 15, then at least 15. Each find is proposed to the
// user, whose answer adds it, skips it or ends the search. A list that becomes full ends the
// search (the user is told). User-interface thread.
class ChannelSearch {
 public:
  // Waits of the signal test.
  static constexpr int kSettleMs = 100;
  static constexpr int kConfirmMs = 70;
  static constexpr int kConfirmReadings = 10;

  struct Step {
    enum class Kind {
      Wait,     // call Next() again after waitMs
      Propose,  // ask the user about Proposal(), then Answer()
      Finished  // the search is over
    };
    Kind kind = Kind::Finished;
    int waitMs = 0;
  };

  ChannelSearch(ChannelListEditor& list, Tuner& tuner, CardDriverLibrary& card)
      : list(list), tuner(tuner), card(card) {}

  // Asked before every tuning: true while a recording runs, whose channel the search must not
  // change. The search then ends as if aborted.
  void SetRecordingCheck(std::function<bool()> check) { recording = std::move(check); }

  // Starts a search over the editor's band (FM clears the list here). Call Next() at once. While
  // something records it is refused with its message, before anything changes.
  void Start();
  Step Next();
  // The user's answer to a proposal: the proposal as the Add Channel dialog left it.
  void Answer();
  // Ends the search at once, as the Abort button does; the rows found so far stay.
  void Abort();

  bool Running() const { return state != State::Idle; }
  bool Proposing() const { return state == State::Proposing; }
  ChannelProposal& Proposal() { return proposal; }
  // The candidate shown in the search frequency display ("%.2f"; empty before any search).
  const std::string& DisplayText() const { return display; }
  // Candidates gone through, of Total().
  int Swept() const { return swept; }
  int Total() const;

  // The waits asked for (the benchmark's floor) and the tunings done, since Start().
  int64_t WaitedMs() const { return waitedMs; }
  int Tunings() const { return tunings; }

 private:
  enum class State { Idle, NextCandidate, FirstReading, Confirming, Proposing };

  Step NextCandidate();
  Step Read();
  Step Wait(int ms);
  Step Finish();
  int Signal();
  bool Passes(int value, bool first) const;
  float Candidate(int index) const;

  ChannelListEditor& list;
  Tuner& tuner;
  CardDriverLibrary& card;
  std::function<bool()> recording;

  State state = State::Idle;
  bool tv = true;
  int index = 0;  // the candidate being tested
  int swept = 0;
  int readings = 0;
  float frequency = 0.0f;
  std::string display;
  ChannelProposal proposal;
  int64_t waitedMs = 0;
  int tunings = 0;
};

}  // namespace kelmo
