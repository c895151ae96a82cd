#pragma once
// Shared by the scene and composite suites: a hidden window of Size x Size pixels, the test pack
// (with some pictures replaced by marked ones) loaded as the show loads it, a clock that reads
// the frame's value, and read-back helpers that work in normalised device coordinates.
#include "TestPack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace scenetest {

using testsupport::Rgb;

constexpr int Size = 160;

// Colours of the marked pictures. Each has a channel at 0 or 255, which no test pack colour
// has (they all lie in 40 .. 239), so none can be mistaken for a pack picture.
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Blue{0, 0, 255};
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Green{0, 255, 0};
constexpr Rgb Cyan{0, 255, 255};
constexpr Rgb Magenta{255, 0, 255};
constexpr Rgb Maroon{128, 0, 0};
constexpr Rgb Orange{255, 128, 0};
constexpr Rgb DarkGreen{0, 128, 0};
constexpr Rgb Navy{0, 0, 128};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Black{0, 0, 0};

// The colour of a test pack picture by its file name, e.g. pack("data/zvq.tga").
Rgb pack(const std::string& picture);

using Match = std::function<bool(Rgb)>;
Match is(Rgb colour); // within a small tolerance
// Nearer to `b` than to `a`: where a linearly filtered edge from a to b crosses half-way.
Match nearer(Rgb a, Rgb b);

// A picture of width x height in file row order (row 0 first), built by a function of (column,
// row) giving colour and alpha.
struct Texel {
    Rgb colour;
    int alpha = 255;
};
std::vector<uint8_t> markedTga(int width, int height, int bitsPerPixel,
                               const std::function<Texel(int column, int row)>& texel);

// The back buffer as read after a frame.
class Frame {
  public:
    static Frame grab();
    Rgb pixel(int px, int py) const;
    // The pixel under the point (x, y) of normalised device coordinates.
    Rgb at(float x, float y) const;
    // Scanning the pixels of row y from x = from towards x = to, the edge (in NDC) of the first
    // pixel where `match` holds: its left edge when scanning rightwards, its right edge when
    // scanning leftwards. NaN when no pixel matches.
    float edgeAlongRow(float y, float from, float to, const Match& match) const;
    // The same down or up the pixel column at x: top edge when scanning downwards, bottom edge
    // when scanning upwards.
    float edgeAlongColumn(float x, float from, float to, const Match& match) const;
    // Whether any pixel whose centre lies in the rectangle matches.
    bool any(float x0, float x1, float y0, float y1, const Match& match) const;
    // The right edge (NDC) of the rightmost pixel column in x0 .. x1 that has a matching pixel
    // between y0 and y1; NaN when none.
    float rightmost(float x0, float x1, float y0, float y1, const Match& match) const;
    // The top edge (NDC) of the highest pixel row in y0 .. y1 that has a matching pixel between
    // x0 and x1; NaN when none.
    float topmost(float x0, float x1, float y0, float y1, const Match& match) const;
    bool operator==(const Frame& other) const { return rgb_ == other.rgb_; }

  private:
    std::vector<uint8_t> rgb_;
};

// Whether the pixel under (x, y) shows `colour`, naming what it shows when not.
::testing::AssertionResult shows(const Frame& frame, float x, float y, Rgb colour);

// One pixel's width in NDC: the tolerance of a measured edge.
constexpr float PixelNdc = 2.0f / Size;

// The test pack with `marked` pictures written over it, loaded as the show loads it, in a folder
// that is the working directory while the test runs. Every test starts from the show's state
// at process start; the show clock reads the value of the frame being rendered.
class ShowFixture : public ::testing::Test {
  protected:
    explicit ShowFixture(std::vector<std::pair<std::string, std::vector<uint8_t>>> marked = {})
        : marked_(std::move(marked)) {}
    void SetUp() override;
    void TearDown() override;

    // Renders one frame of the show loop for the clock value `now` and reads it back.
    Frame frame(uint32_t now);
    // The show's state as at process start, textures kept.
    void resetShowState();

    testsupport::TempDir dir;

  private:
    std::vector<std::pair<std::string, std::vector<uint8_t>>> marked_;
    std::unique_ptr<testsupport::ScopedChdir> chdir_;
};

} // namespace scenetest
