#pragma once
// SDL message boxes; without a display the question counts as No and errors go to stderr.
#include "contracts/message_boxes.h"

namespace morvane {

class SdlMessageBoxes final : public MessageBoxes {
 public:
  bool ask_yes_no(const std::string& text, const std::string& title) override;
  void show_error(const std::string& text, const std::string& title) noexcept override;
};

}  // namespace morvane
