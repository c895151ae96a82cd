// Fatal reports of the picture loaders, each run in a child process: the exact line on standard
// error, the abort, and how far start-up got. This program makes no GL context of its own, so
// that forked children can make theirs from scratch.
#include "textures/TGALoader.h"
#include "textures/TextureLibrary.h"

#include "TestPack.h"
#include "TestSupport.h"
#include "TgaFailureCases.h"
#include "TgaFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace tgafixture;

// The line of the first check containing `check` after the first line containing `anchor` in a
// source file, found at test time so that edits to the file do not leave the tests behind.
int sourceLine(const std::string& path, const std::string& anchor, const std::string& check) {
    std::ifstream in(path);
    std::string text;
    bool inside = false;
    for (int n = 1; std::getline(in, text); ++n) {
        if (!inside && text.find(anchor) != std::string::npos) {
            inside = true;
        }
        if (inside && text.find(check) != std::string::npos) {
            return n;
        }
    }
    ADD_FAILURE() << "no \"" << check << "\" after \"" << anchor << "\" in " << path;
    return -1;
}

std::string reportLine(const std::string& expression, const std::string& module, int line) {
    return "Assertion failed: " + expression + ", file " + module + ", line " +
           std::to_string(line) + "\n";
}

// An extended regular expression matching exactly `text`, from start to end.
std::string exactly(const std::string& text) {
    std::string out = "^";
    for (char c : text) {
        if (std::string("\\.[]()*+?{}|^$").find(c) != std::string::npos) {
            out += '\\';
        }
        out += c;
    }
    return out + "$";
}

const char* anchorOf(Stage stage) {
    switch (stage) {
    case Stage::Loader:
        return "TextureImage* loadTGA(";
    case Stage::Uncompressed:
        return "void loadUncompressedTGA(";
    case Stage::Compressed:
        return "void loadCompressedTGA(";
    }
    return "";
}

std::string loaderReport(const std::string& message, Stage stage) {
    const std::string expression = "false && \"" + message + "\"";
    return reportLine(expression, "src/textures/TGALoader.cpp",
                      sourceLine(TGALOADER_SOURCE, anchorOf(stage), "REPORT_CHECK(" + expression));
}

TEST(LoaderReport, EachBadFileEndsTheProcessWithItsLine) {
    testsupport::TempDir dir;
    for (const FailureCase& c : failureCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(std::string(c.name) + ".tga");
        if (!c.missing) {
            testsupport::writeBytes(path, c.file);
        }
        const std::string expected = loaderReport(c.message, c.stage);
        EXPECT_EXIT(
            {
                testsupport::ensureGlContext();
                loadTGA(path);
            },
            ::testing::KilledBySignal(SIGABRT), exactly(expected));
    }
}

TEST(LoaderReport, EmptyFileNameIsRefusedBeforeAnyFileIsTried) {
    const std::string expression = "!f.empty() && \"no filename given, a silly problem\"";
    const int line =
        sourceLine(TEXTURELIBRARY_SOURCE, "uint32_t loadTexture(", "REPORT_CHECK(" + expression);
    EXPECT_EXIT(loadTexture(""), ::testing::KilledBySignal(SIGABRT),
                exactly(reportLine(expression, "src/textures/TextureLibrary.cpp", line)));
}

// On abort, the child lists which slots had a texture by then ('1') and which not ('0').
void printLoadedSlots(int) {
    char text[64] = "slots ";
    int n = 6;
    for (int slot = 0; slot < TextureSlotCount; ++slot) {
        text[n++] = textureSlots[slot] != 0 ? '1' : '0';
    }
    text[n++] = '\n';
    (void)!write(2, text, size_t(n));
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
}

TEST(LoaderReport, CatalogueStopsAtTheFirstBadSlot) {
    struct Case {
        int missing;   // slot whose file is deleted
        int truncated; // slot whose file is cut short, or -1
        const char* message;
        Stage stage;
        const char* slots;
    };
    const Case cases[] = {
        {0, -1, "could not open texture file", Stage::Loader, "00000000000000000000000"},
        {4, -1, "could not open texture file", Stage::Loader, "11110000000000000000000"},
        {22, -1, "could not open texture file", Stage::Loader, "11111111111111111111110"},
        // A bad earlier slot is met first; the later missing one is never tried.
        {4, 3, "Could not read image data", Stage::Uncompressed, "11100000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("missing slot " + std::to_string(c.missing));
        testsupport::TempDir dir;
        testsupport::writeTestPack(dir.path());
        std::remove(dir.file(TextureCatalogue[c.missing]).c_str());
        if (c.truncated >= 0) {
            const std::string path = dir.file(TextureCatalogue[c.truncated]);
            testsupport::writeBytes(path, cut(testsupport::readBytes(path), 1));
        }
        const std::string expected = loaderReport(c.message, c.stage) + "slots " + c.slots + "\n";
        EXPECT_EXIT(
            {
                testsupport::ScopedChdir here(dir.path());
                std::signal(SIGABRT, printLoadedSlots);
                testsupport::ensureGlContext();
                loadCatalogueTextures();
            },
            ::testing::KilledBySignal(SIGABRT), exactly(expected));
    }
}

// The built show, started in a folder of its own with the headless drivers; records which
// pictures under data/ it opens and closes, in order.
class ShowRun {
  public:
    explicit ShowRun(const std::string& dir) : dir_(dir) {
        watch_ = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(watch_, (dir + "/data").c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
        const std::string errPath = dir + "/stderr.txt";
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) {
                _exit(120);
            }
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int null = open("/dev/null", O_WRONLY);
            dup2(err, 2);
            dup2(null, 1);
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            execl(SHOW_BINARY, SHOW_BINARY, static_cast<char*>(nullptr));
            _exit(121);
        }
    }
    ~ShowRun() {
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(watch_);
    }

    // Picture events so far, as "open data/x.tga" and "close data/x.tga"; waits up to `patience`
    // for at least `wanted` of them.
    const std::vector<std::string>& pictureEvents(size_t wanted,
                                                  std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (true) {
            alignas(inotify_event) char buffer[16384];
            ssize_t got;
            while ((got = read(watch_, buffer, sizeof buffer)) > 0) {
                for (char* p = buffer; p < buffer + got;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(p);
                    const std::string name = event->len > 0 ? event->name : "";
                    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tga") == 0) {
                        events_.push_back(std::string(event->mask & IN_OPEN ? "open" : "close") +
                                          " data/" + name);
                    }
                    p += sizeof(inotify_event) + event->len;
                }
            }
            const auto now = std::chrono::steady_clock::now();
            if (events_.size() >= wanted || now >= deadline) {
                return events_;
            }
            pollfd fd{watch_, POLLIN, 0};
            poll(
                &fd, 1,
                int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()));
        }
    }

    // The exit status once the process has ended (waiting up to `patience`), or -1 if it still
    // runs.
    int status(std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        do {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                finished_ = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < deadline);
        return -1;
    }

    std::string standardError() const {
        const auto bytes = testsupport::readBytes(dir_ + "/stderr.txt");
        return std::string(bytes.begin(), bytes.end());
    }

  private:
    std::string dir_;
    int watch_ = -1;
    pid_t pid_ = -1;
    bool finished_ = false;
    std::vector<std::string> events_;
};

std::vector<std::string> openedAndClosed(int firstSlot, int endSlot) {
    std::vector<std::string> out;
    for (int slot = firstSlot; slot < endSlot; ++slot) {
        out.push_back("open " + TextureCatalogue[slot]);
        out.push_back("close " + TextureCatalogue[slot]);
    }
    return out;
}

TEST(ShowStartup, MissingPictureEndsTheShowWithOneReport) {
    for (int missing : {0, 4, 22}) {
        SCOPED_TRACE("missing slot " + std::to_string(missing));
        testsupport::TempDir dir;
        testsupport::writeTestPack(dir.path());
        std::remove(dir.file(TextureCatalogue[missing]).c_str());
        ShowRun show(dir.path());
        const int status = show.status(std::chrono::seconds(30));
        ASSERT_NE(status, -1) << "the show did not end";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT) << "status " << status;
        EXPECT_EQ(show.standardError(), loaderReport("could not open texture file", Stage::Loader));
        // Each earlier picture was opened and closed before the next; nothing later was tried.
        EXPECT_EQ(show.pictureEvents(0, std::chrono::milliseconds(0)), openedAndClosed(0, missing));
    }
}

TEST(ShowStartup, CompletePackLoadsEveryPictureAndRuns) {
    testsupport::TempDir dir;
    testsupport::writeTestPack(dir.path());
    ShowRun show(dir.path());
    // The catalogue, then the four pictures of the composite.
    const size_t wanted = 2 * (TextureSlotCount + 4);
    const auto events = show.pictureEvents(wanted, std::chrono::seconds(30));
    ASSERT_EQ(events.size(), wanted) << "start-up did not load every picture";
    const std::vector<std::string> catalogue(events.begin(), events.begin() + 2 * TextureSlotCount);
    EXPECT_EQ(catalogue, openedAndClosed(0, TextureSlotCount));
    for (size_t i = 2 * TextureSlotCount; i < wanted; i += 2) {
        EXPECT_EQ("close" + events[i].substr(4), events[i + 1]) << "file left open";
    }
    // Past start-up it keeps running (the timeline is minutes long) and reports nothing.
    EXPECT_EQ(show.status(std::chrono::seconds(1)), -1) << "the show ended early";
    EXPECT_EQ(show.standardError(), "");
}

} // namespace
