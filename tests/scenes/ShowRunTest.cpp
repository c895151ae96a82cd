// The built show, run as a user runs it, in a folder whose scene 3 cue is missing: it must play on
// until scene 3 starts and then stop with the sound layer's error line and status 1.
//
// Where Xvfb and xdotool are installed the show runs on a private X display and three Enter
// presses bring scene 3 on within a second or two; elsewhere it runs on the offscreen driver and
// reaches scene 3 by the clock, after 17.5 s.
#include "TestPack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// A child process with its standard output on a pipe.
struct Child {
    pid_t pid = -1;
    int out = -1;
};

// Starts `argv` in `dir` with `display` as DISPLAY (none: left as it is) and, when `display` is
// set, with SDL's own choice of video driver rather than the tests' offscreen one.
Child start(const std::vector<std::string>& argv, const std::string& dir,
            const std::string& display = "") {
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (!display.empty()) {
            setenv("DISPLAY", display.c_str(), 1);
            unsetenv("SDL_VIDEODRIVER");
        }
        if (!dir.empty() && chdir(dir.c_str()) != 0) {
            _exit(126);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    return Child{pid, fds[0]};
}

// Waits for the child to end; its exit status, or -1 when it did not exit normally.
int finish(Child& child, std::string* out = nullptr) {
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(child.out, buffer, sizeof buffer)) > 0) {
        text.append(buffer, size_t(n));
    }
    close(child.out);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (out) {
        *out = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool running(const Child& child) {
    int status = 0;
    return waitpid(child.pid, &status, WNOHANG) == 0;
}

// Runs a short command on `display`, returning its exit status.
int runOn(const std::string& display, const std::vector<std::string>& argv) {
    Child c = start(argv, "", display);
    return finish(c);
}

// A private X server for one test, on the first free display number.
class PrivateDisplay {
  public:
    PrivateDisplay() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "320x240x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) {
            name_ = ":" + number;
        }
    }
    ~PrivateDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = -1;
    std::string name_;
};

class ShowRun : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::writeTestPack(dir.path());
        std::filesystem::remove(dir.file("data/soap.wav"));
    }
    testsupport::TempDir dir;
};

TEST_F(ShowRun, MissingCueStopsTheShowWhenScene3Starts) {
    const auto begin = Clock::now();
    std::string out;
    int status = -1;
    if (onPath("Xvfb") && onPath("xdotool")) {
        PrivateDisplay display;
        ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
        Child show = start({SHOW_BINARY}, dir.path(), display.name());
        // Key presses go to the window under the pointer, the show's once it is mapped.
        const std::vector<std::string> findWindow = {"xdotool", "search", "--onlyvisible", "--pid",
                                                     std::to_string(show.pid)};
        while (runOn(display.name(), findWindow) != 0) {
            ASSERT_TRUE(running(show)) << "the show ended before its window opened";
            ASSERT_LT(Clock::now() - begin, std::chrono::seconds(15)) << "no window";
            std::this_thread::sleep_for(milliseconds(50));
        }
        // Each press is a key-down that counts and a key-up that skips a scene.
        for (int press = 1; press <= 2; ++press) {
            ASSERT_EQ(runOn(display.name(), {"xdotool", "key", "Return"}), 0);
            std::this_thread::sleep_for(milliseconds(300));
            ASSERT_TRUE(running(show)) << "the show ended in scene " << press;
        }
        ASSERT_EQ(runOn(display.name(), {"xdotool", "key", "Return"}), 0);
        status = finish(show, &out);
        EXPECT_LT(Clock::now() - begin, milliseconds(17485))
            << "scene 3 came by the clock: the key presses did not reach the show";
    } else {
        Child show = start({SHOW_BINARY}, dir.path());
        status = finish(show, &out);
        // Scene 3 starts on the first frame past 17485 ms of the show's own clock, which
        // starts after ours.
        EXPECT_GE(Clock::now() - begin, milliseconds(17485));
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "Error: File not found\n");
}

} // namespace
