// show-capture: renders the show offline, frame by frame on a virtual clock.
#include "Capture.h"
#include "CaptureOptions.h"

#include <cstdio>

int main(int argc, char** argv) {
    ParsedOptions parsed = parseCaptureOptions(argc, argv);
    if (!parsed.ok) {
        std::fprintf(stderr, "show-capture: %s\n%s", parsed.error.c_str(), usageText().c_str());
        return 2;
    }
    if (parsed.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    return runCapture(parsed.options);
}
