#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>

namespace video_test {

// Runs body in a child process whose files cannot grow past limit bytes, as on a full disk;
// returns the child's exit code (body's result), or -1 when it did not exit.
template <typename Body> int runWithFileLimit(std::uint64_t limit, Body body) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileLimit{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fileLimit);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace video_test
