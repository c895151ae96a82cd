#pragma once
// A small stand-in for the show's assets: every picture the show and the fish tableau load, each
// 8 x 8 of one colour of its own (opaque, 24-bit type 2), and short quiet sounds. Rendering tests
// tell the pictures apart by their colours.
#include "TestSupport.h"

#include <string>
#include <vector>

namespace testsupport {

// Every picture file of the pack, relative to the folder that holds data/.
const std::vector<std::string>& testPackPictures();
// The colour of one picture of the pack (by the name above).
Rgb testPackColour(const std::string& picture);
// Writes the pack into `dir`: pictures, "data/fast.mp3" (2 s) and the three cues (0.3 s).
void writeTestPack(const std::string& dir);

} // namespace testsupport
