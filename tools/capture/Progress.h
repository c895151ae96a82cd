#pragma once
// The progress line on standard error: frames done, frames per second and time left.
#include <chrono>
#include <cstdint>
#include <string>

// The line for `done` of `total` frames after `elapsedSeconds`, e.g.
// "[#######.............]   450/1200 frames   58.1 fps   0:13 left".
std::string progressLine(int64_t done, int64_t total, double elapsedSeconds);

class ProgressBar {
  public:
    explicit ProgressBar(int64_t total);
    // Redraws the line at most a few times a second (on a terminal; every few seconds otherwise).
    void update(int64_t done);
    // The final line, with the total time, and a line end.
    void finish();

  private:
    int64_t total_;
    int64_t done_ = 0;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
};
