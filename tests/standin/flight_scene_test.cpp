// The flight scene as designed for its camera: the camera path itself, the capacities the show
// gives the scene, colour-word materials, and stable output.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "tools/standin/flight_camera.h"
#include "tools/standin/flight_scene.h"
#include "tools/standin/tds_writer.h"
#include "tools/standin/title_picture.h"

namespace morvane::standin {
namespace {

TEST(FlightCamera, StartsWhereTheFormulasPutIt) {
  const CameraPose p = flight_camera(0.0f);
  EXPECT_NEAR(p.position.x, 0.0f, 1e-3f);
  EXPECT_NEAR(p.position.y, 660.0f * std::sin(120.0 * 3.14159265 / 180), 1e-2f);
  EXPECT_NEAR(p.position.z, 660.0f * std::sin(240.0 * 3.14159265 / 180), 1e-2f);
  EXPECT_NEAR(p.target.x, -80.0f, 1e-3f);
  EXPECT_NEAR(p.target.y, 160.0f * std::sin(240.0 * 3.14159265 / 180), 1e-2f);
  EXPECT_NEAR(p.target.z, 0.0f, 1e-3f);
  EXPECT_FLOAT_EQ(p.roll_degrees, 180.0f);
  // 100 ticks on: x has turned 61.75 degrees, the roll cosine 4 degrees.
  const CameraPose q = flight_camera(100.0f);
  EXPECT_NEAR(q.position.x, 660.0f * std::sin(61.75 * 3.14159265 / 180), 1e-2f);
  EXPECT_NEAR(q.roll_degrees, 180.0f * std::cos(0.06981317), 1e-3f);
}

TEST(FlightCamera, ViewPutsTheTargetInTheMiddle) {
  for (float t : {0.0f, 333.0f, 1234.0f}) {
    const CameraPose pose = flight_camera(t);
    const View view(pose);
    EXPECT_NEAR(view.screen_x(pose.target), 0.0f, 1e-3f);
    EXPECT_NEAR(view.screen_y(pose.target), 0.0f, 1e-3f);
    EXPECT_NEAR(view.depth(pose.target), length(pose.target - pose.position), 1e-2f);
  }
}

TEST(FlightScene, FitsTheCapacitiesTheShowGivesIt) {
  const TdsScene s = flight_scene();
  EXPECT_LE(s.meshes.size(), 90u);
  EXPECT_LE(s.materials.size(), 5u);
  EXPECT_LE(s.lights.size(), 2u);
  const std::set<std::string> words = {"BLUE", "YELLOW", "RED", "WHITE", "GREY", "RANDRED", "RANDBLUE", "RANDYELLOW"};
  for (const TdsMaterial& m : s.materials) {
    ASSERT_GE(m.name.size(), 3u);
    EXPECT_EQ(m.name[0], 'F');
    EXPECT_TRUE(words.count(m.name.substr(2))) << m.name;
  }
  std::set<std::string> names;
  int mapped = 0;
  for (const TdsMesh& m : s.meshes) {
    EXPECT_TRUE(names.insert(m.name).second) << "duplicate " << m.name;
    EXPECT_NE(m.name, "Zava3z");
    EXPECT_NE(m.name, "[Element1]");
    EXPECT_LT(m.vertices.size(), 65536u);
    EXPECT_FALSE(m.faces.empty());
    if (!m.mapping.empty()) {
      EXPECT_EQ(m.mapping.size(), m.vertices.size());
      ++mapped;
    }
  }
  EXPECT_GT(mapped, 0);
  EXPECT_LT(mapped, static_cast<int>(s.meshes.size()));
}

// The camera flies about 660 units out and looks within 160 units of the middle: the scene must
// sit there, and stay mostly on screen for the flight.
TEST(FlightScene, StaysInViewDuringTheFlight) {
  const TdsScene s = flight_scene();
  float reach = 0.0f;
  for (const TdsMesh& m : s.meshes)
    for (const Vec3& v : m.vertices) reach = std::max(reach, length(v));
  EXPECT_GT(reach, 300.0f);
  EXPECT_LT(reach, 600.0f);
  int frames = 0, centre_seen = 0;
  for (float t = 0.0f; t < kFlightTicks; t += 10.0f, ++frames) {
    const View view(flight_camera(t));
    const Vec3 origin{0, 0, 0};
    if (view.depth(origin) > 1.0f && std::fabs(view.screen_x(origin)) < 160.0f && std::fabs(view.screen_y(origin)) < 100.0f)
      ++centre_seen;
  }
  EXPECT_GT(centre_seen, frames * 9 / 10);
}

TEST(FlightScene, GeneratesTheSameBytesEveryTime) {
  EXPECT_EQ(write_3ds(flight_scene()), write_3ds(flight_scene()));
  const Picture a = title_picture(), b = title_picture();
  EXPECT_EQ(a.image.pixels, b.image.pixels);
  EXPECT_EQ(a.image.palette, b.image.palette);
}

}  // namespace
}  // namespace morvane::standin
