#include "Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

int waitStatus(int pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

// Spawns args with stdin taken from `stdinFd` (closed in the child after the dup), or from
// /dev/null when stdinFd is -1. Returns the pid, or -1 with `error` set.
int spawn(const std::vector<std::string>& args, int stdinFd, int closeInChild, std::string& error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, stdinFd);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    if (closeInChild >= 0) {
        posix_spawn_file_actions_addclose(&actions, closeInChild);
    }
    std::vector<char*> argv = argvOf(args);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error = "cannot start " + args[0] + ": " + std::strerror(rc);
        return -1;
    }
    return pid;
}

} // namespace

std::optional<std::string> findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string dir = dirs.substr(begin, end - begin);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        begin = end + 1;
    }
    return std::nullopt;
}

PipedProcess::~PipedProcess() {
    if (pid_ > 0) {
        finish();
    }
}

bool PipedProcess::start(const std::vector<std::string>& args, std::string& error) {
    // A child that stops reading must show up as a failed write, not kill us with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    int pid = spawn(args, fds[0], fds[1], error);
    close(fds[0]);
    if (pid < 0) {
        close(fds[1]);
        return false;
    }
    pid_ = pid;
    fd_ = fds[1];
    return true;
}

bool PipedProcess::write(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

int PipedProcess::finish() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (pid_ <= 0) {
        return -1;
    }
    int status = waitStatus(pid_);
    pid_ = -1;
    return status;
}

int runProgram(const std::vector<std::string>& args, std::string& error) {
    int pid = spawn(args, -1, -1, error);
    if (pid < 0) {
        return -1;
    }
    return waitStatus(pid);
}
