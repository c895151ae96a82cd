#pragma once
// show-capture: the show's timeline (or the fish tableau) rendered headless at a fixed frame rate,
// frame by frame on a virtual show clock, to a video with its sound, to PNG frames or to one PNG.
#include "CaptureOptions.h"

#include <string>
#include <vector>

// Data files that a capture with these options reads, relative to the working directory: the
// music, the pictures it loads at start-up, and the cues of the scenes that the range reaches.
std::vector<std::string> captureDataFiles(const CaptureOptions& options);

// Whether this build can draw the fish tableau.
bool fishTableauAvailable();

// Runs the whole capture in the working directory. Returns the process exit status: 0 when the
// output is complete, 1 after a failure, which it has reported on standard error.
int runCapture(const CaptureOptions& options);
