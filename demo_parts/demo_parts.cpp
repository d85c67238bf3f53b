#include "demo_parts/demo_parts.h"

#include "demo_parts/finale/finale_part.h"
#include "demo_parts/flashes/flashes_part.h"
#include "demo_parts/flight/flight_part.h"
#include "demo_parts/grid_fog/grid_fog_part.h"
#include "demo_parts/lightmap/light_map_part.h"
#include "demo_parts/opening/opening_part.h"
#include "demo_parts/tunnel/tunnel_part.h"

namespace morvane {

std::unique_ptr<DemoPart> make_demo_part(int playing_position) {
  switch (playing_position) {
    case 1: return std::make_unique<OpeningPart>();
    case 2: return std::make_unique<FlightPart>();
    case 3: return std::make_unique<LightMapPart>();
    case 4: return std::make_unique<FlashesPart>();
    case 5: return std::make_unique<TunnelPart>();
    case 6: return std::make_unique<GridFogPart>();
    case 7: return std::make_unique<FinalePart>();
    default: return nullptr;
  }
}

}  // namespace morvane
