#include "core/song_event.h"

namespace morvane {

SongEvent& song_event() {
  static SongEvent slot;
  return slot;
}

}  // namespace morvane
