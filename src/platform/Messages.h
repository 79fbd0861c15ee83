#pragma once

#include <string>

namespace kelmo {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Queued: the box was shown off the user-interface thread and nobody has answered it yet.
enum class MessageAnswer { Ok, Cancel, Yes, No, Queued };

// One message box: texts are UTF-8.
struct Message {
  std::string text;
  std::string caption = "Kelmo";  // the application's name unless a text says otherwise
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // The button that Return presses; Ok: the box's usual one (OK, or Yes).
  MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// The application's message box.
class Messages {
 public:
  virtual ~Messages() = default;

  // Any thread. On the user-interface thread the box is modal to the main window and the call
  // returns the button pressed (Ok when the box was closed without one, Cancel or No where those
  // buttons exist). Off that thread the box is queued to the user-interface thread and the call
  // returns Queued at once, so a driver thread never waits for a person.
  virtual MessageAnswer Show(const Message& message) = 0;

  // Shortcut for the common box: the text, an OK button, the caption "Kelmo".
  MessageAnswer Show(const std::string& text) { return Show(Message{text}); }

  // User-interface thread. While deferring (the schedule's tick defers while it works), a box
  // shown on that thread is queued as one from another thread is, and Show returns Queued: no box
  // keeps the timer waiting for a person. Nests.
  void BeginDeferring() { ++deferring; }
  void EndDeferring() { --deferring; }
  bool Deferring() const { return deferring > 0; }

 private:
  int deferring = 0;
};

}  // namespace kelmo
