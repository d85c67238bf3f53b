#include "tools/compose/themes.h"

namespace morvane::compose {

const std::vector<std::string_view>& theme_bars(Theme theme) {
  // Main theme, over Am F C G | Am F C G.
  static const std::vector<std::string_view> main_theme = {
      "A4 - - C5 | - - E5 - | D5 - - C5 | - - D5 -",
      "C5 - - - | - - A4 - | - - - - | ^ - - -",
      "E5 - - G5 | - - E5 - | D5 - - C5 | - - D5 -",
      "B4 - - - | - - G4 - | - - A4 - | B4 - D5 -",
      "E5 - - - | - - A5 - | - - G5 - | E5 - - -",
      "F5 - - E5 | - - C5 - | - - - - | A4 - C5 -",
      "E5 - - D5 | - - C5 - | D5 - - E5 | - - G5 -",
      "D5 - - - | - - B4 - | - - G4 - | A4 - B4 -",
  };
  // Second theme, quicker, over Am F C G | Am F Dm E.
  static const std::vector<std::string_view> second_theme = {
      "A5 - E5 - | A5 - E5 - | G5 - E5 - | D5 - E5 -",
      "C5 - - - | A4 - - - | C5 - D5 - | E5 - - -",
      "G5 - E5 - | G5 - E5 - | A5 - G5 - | E5 - D5 -",
      "D5 - - - | B4 - - - | D5 - - - | G5 - - -",
      "A5 - E5 - | A5 - E5 - | C6 - B5 - | A5 - E5 -",
      "F5 - - - | E5 - - - | C5 - - - | A4 - - -",
      "D5 - F5 - | A5 - F5 - | D5 - F5 - | A5 - D6 -",
      "B5 - - - | G#5 - - - | E5 - - - | ^ - - -",
  };
  // The title's answer, over Am F E.
  static const std::vector<std::string_view> reveal_theme = {
      "E5 - - - | - - - - | - - - - | A5 - - -",
      "C6 - - - | - - - - | A5 - - - | F5 - - -",
      "G#5 - - - | - - - - | E5 - - - | ^ - - -",
  };
  // Long notes over C E, while the picture is at its brightest.
  static const std::vector<std::string_view> peak_theme = {
      "G5 - - - | - - - - | E5 - - - | C5 - - -",
      "B4 - - - | - - - - | G#4 - - - | ^ - - -",
  };
  // The outro melody, over F G | Em Am | F G | Esus4 E.
  static const std::vector<std::string_view> outro_theme = {
      "A5 - - - | - - G5 - | F5 - - - | E5 - - -",
      "D5 - - - | - - - - | B4 - - - | D5 - - -",
      "E5 - - - | G5 - - - | B5 - - - | A5 - G5 -",
      "A5 - - - | - - - - | - - - - | ^ - - -",
      "C6 - - - | - - B5 - | A5 - - - | G5 - - -",
      "B5 - - - | - - A5 - | G5 - - - | D5 - - -",
      "A5 - - - | - - - - | B5 - - - | - - - -",
      "G#5 - - - | - - - - | - - - - | ^ - - -",
  };
  // The last note, held while the screen closes.
  static const std::vector<std::string_view> last_note = {
      "A5 - - - | - - - - | - - - - | - - - -",
      "- - - - | - - - - | - - - - | - - - -",
      "^ - - - | - - - - | - - - - | - - - -",
  };
  static const std::vector<std::string_view> none;
  switch (theme) {
    case Theme::kMain: return main_theme;
    case Theme::kSecond: return second_theme;
    case Theme::kReveal: return reveal_theme;
    case Theme::kPeak: return peak_theme;
    case Theme::kOutro: return outro_theme;
    case Theme::kLast: return last_note;
    case Theme::kNone: break;
  }
  return none;
}

}  // namespace morvane::compose
