#pragma once
// Running ffmpeg: finding it, feeding it through a pipe and reading its exit status.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The full path of `name` on PATH, if an executable file of that name is there.
std::optional<std::string> findProgram(const std::string& name);

// A child process whose standard input is a pipe from us. Its standard output and error are ours.
class PipedProcess {
  public:
    PipedProcess() = default;
    ~PipedProcess();
    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Starts args[0] (searched on PATH) with args. False, with `error` set, if it cannot start.
    bool start(const std::vector<std::string>& args, std::string& error);
    // Writes all of `size` bytes. False once the child has stopped reading (it has ended).
    bool write(const void* data, size_t size);
    // Closes the pipe and waits for the child. Returns its exit status, or 128 + the signal
    // that ended it.
    int finish();

  private:
    int pid_ = -1;
    int fd_ = -1;
};

// Runs args[0] with args, standard input closed, and waits. Returns the exit status as finish()
// does, or -1 with `error` set if it cannot start.
int runProgram(const std::vector<std::string>& args, std::string& error);
