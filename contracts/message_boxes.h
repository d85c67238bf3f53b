#pragma once
// The two dialogs of the program: the start-up question and the error box.
#include <string>

namespace morvane {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // True exactly when the user answers Yes; any other way of closing the box is No.
  virtual bool ask_yes_no(const std::string& text, const std::string& title) = 0;
  virtual void show_error(const std::string& text, const std::string& title) noexcept = 0;
};

}  // namespace morvane
