// show-assets generate DIR: draws every picture and plays every sound of the default pack into
// DIR, on two threads, printing a line per file as it is done.
#include "Commands.h"
#include "Pack.h"
#include "Sounds.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

namespace {

struct Job {
    std::string file;
    std::function<std::string()> make; // writes the file, returns a line describing it
};

} // namespace

int runGenerate(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: show-assets generate DIR\n");
        return 2;
    }
    const std::string dir = args[0];
    auto started = std::chrono::steady_clock::now();

    std::vector<Job> jobs;
    // The music takes longest: start it first.
    for (const art::SoundSpec& s : art::packSounds()) {
        jobs.push_back({s.file, [&dir, s] { return art::makeSound(s, dir + "/" + s.file); }});
    }
    for (const art::PictureSpec& p : art::packPictures()) {
        jobs.push_back({p.file, [&dir, &p] {
                            art::Rgba8Image image = art::renderPicture(p);
                            std::vector<uint8_t> bytes = art::encodeTga(image, p.format);
                            art::writeFileBytes(dir + "/" + p.file, bytes);
                            char line[160];
                            std::snprintf(line, sizeof line, "%4d x %-4d %d-bit type %-2d %s",
                                          p.width, p.height, p.format.bitsPerPixel,
                                          p.format.imageType, p.what);
                            return std::string(line);
                        }});
    }

    std::printf("Making the default asset pack in %s\n", dir.c_str());
    std::fflush(stdout);
    std::atomic<size_t> next{0};
    std::mutex printing;
    std::string failure;
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            try {
                auto t0 = std::chrono::steady_clock::now();
                std::string line = jobs[i].make();
                double took =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                std::lock_guard<std::mutex> lock(printing);
                std::printf("  %-40s %s  (%.2f s)\n", jobs[i].file.c_str(), line.c_str(), took);
                std::fflush(stdout);
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(printing);
                if (failure.empty()) {
                    failure = jobs[i].file + ": " + e.what();
                }
            }
        }
    };
    // Two workers: the machines this runs on are small, and every job is independent, so the
    // bytes do not depend on the order in which they finish.
    std::thread helper(worker);
    worker();
    helper.join();
    if (!failure.empty()) {
        std::fprintf(stderr, "show-assets generate: %s\n", failure.c_str());
        return 1;
    }
    std::printf("Music sections (ms from the start of the track):\n");
    for (const art::MusicSection& s : art::musicSections()) {
        std::printf("  %6u  %s\n", s.startMs, s.name);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("Done: %zu pictures and %zu sounds in %.1f s\n", art::packPictures().size(),
                art::packSounds().size(), seconds);
    return 0;
}
