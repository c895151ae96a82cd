// The built show with its music missing: one error line on standard output and status 1, before
// the display opens and before any picture is read.
#include "TestPack.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct RunResult {
    bool exited = false;
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the show in `dir` under the headless drivers, killing it after `limit`.
RunResult runShow(const std::string& dir, std::chrono::seconds limit) {
    std::string outPath = dir + "/stdout.txt";
    std::string errPath = dir + "/stderr.txt";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0 || !freopen(outPath.c_str(), "w", stdout) ||
            !freopen(errPath.c_str(), "w", stderr)) {
            _exit(127);
        }
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(SHOW_BINARY, SHOW_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    RunResult result;
    auto deadline = std::chrono::steady_clock::now() + limit;
    int wstatus = 0;
    while (waitpid(pid, &wstatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.exited = WIFEXITED(wstatus);
    result.status = result.exited ? WEXITSTATUS(wstatus) : -1;
    auto text = [](const std::string& path) {
        std::vector<uint8_t> bytes = testsupport::readBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    result.out = text(outPath);
    result.err = text(errPath);
    return result;
}

TEST(ShowMusicMissing, PrintsFileNotFoundAndExitsBeforeTheDisplay) {
    struct Case {
        const char* label;
        bool removePictures;
    };
    // Without any picture the show would abort with an assertion report the moment it went on
    // past the music to the display and the textures.
    const Case cases[] = {{"only the music missing", false}, {"pictures missing too", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        testsupport::TempDir dir;
        testsupport::writeTestPack(dir.path());
        std::filesystem::remove(dir.file("data/fast.mp3"));
        if (c.removePictures) {
            for (const std::string& picture : testsupport::testPackPictures()) {
                std::filesystem::remove(dir.file(picture));
            }
        }
        RunResult run = runShow(dir.path(), std::chrono::seconds(30));
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "Error: File not found\n");
        EXPECT_EQ(run.err, "");
    }
}

} // namespace
