// run_measured COMMAND [ARGS...]: runs the command and prints its wall time in seconds,
// its peak resident memory in KiB, its exit status (or 128 + signal) and the processor
// time it used in seconds (user + system, its own children included). Processor time
// shifts far less than wall time when other work shares the machine. The command's
// own output goes to /dev/null; its errors pass through.
//
// The benchmark scripts start every measured process through this small launcher rather
// than directly: Linux counts into a process's peak memory whatever its parent held when
// it forked, so a process started by a large interpreter would show that interpreter's
// memory as its own. Started from here, that share is this launcher's own, about 1 MiB.
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_measured COMMAND [ARGS...]\n");
        return 2;
    }
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        // What the command prints is not measured; these three figures are.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return 2;
    rusage children{}; // helpers the command started and waited for (paperxlsread)
    getrusage(RUSAGE_CHILDREN, &children);
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double seconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const auto secondsOf = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    const double cpu = secondsOf(children.ru_utime) + secondsOf(children.ru_stime);
    std::printf("%.6f %ld %d %.6f\n", seconds, usage.ru_maxrss, code, cpu);
    return 0;
}
