#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace {

std::string minutesSeconds(double seconds) {
    long s = long(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

} // namespace

std::string progressLine(int64_t done, int64_t total, double elapsedSeconds) {
    constexpr int Width = 20;
    const int filled = total > 0 ? int(done * Width / total) : Width;
    std::string bar(size_t(filled), '#');
    bar.append(size_t(Width - filled), '.');
    const double fps = elapsedSeconds > 0 ? double(done) / elapsedSeconds : 0.0;
    std::string left = fps > 0 ? minutesSeconds(double(total - done) / fps) : "-:--";
    char text[160];
    std::snprintf(text, sizeof text, "[%s] %5lld/%lld frames %6.1f fps   %s left", bar.c_str(),
                  static_cast<long long>(done), static_cast<long long>(total), fps, left.c_str());
    return text;
}

ProgressBar::ProgressBar(int64_t total)
    : total_(total), terminal_(isatty(STDERR_FILENO) != 0),
      start_(std::chrono::steady_clock::now()), lastDrawn_(start_) {}

void ProgressBar::update(int64_t done) {
    done_ = done;
    auto now = std::chrono::steady_clock::now();
    const auto interval = terminal_ ? std::chrono::milliseconds(200) : std::chrono::seconds(5);
    if (now - lastDrawn_ < interval) {
        return;
    }
    lastDrawn_ = now;
    double elapsed = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, terminal_ ? "\r%s" : "%s\n", progressLine(done_, total_, elapsed).c_str());
    std::fflush(stderr);
}

void ProgressBar::finish() {
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string line = progressLine(done_, total_, elapsed);
    // Replace "left" by the time taken once everything is done.
    auto at = line.rfind("   ");
    if (at != std::string::npos) {
        line = line.substr(0, at) + "   " + minutesSeconds(elapsed) + " taken";
    }
    std::fprintf(stderr, terminal_ ? "\r%s\n" : "%s\n", line.c_str());
    std::fflush(stderr);
}
