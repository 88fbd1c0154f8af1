// run_measured COMMAND [ARGS...]: runs the command and prints its wall time in seconds,
// its peak resident memory in KiB and its exit status (or 128 + signal). The command's
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
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double seconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%.6f %ld %d\n", seconds, usage.ru_maxrss, code);
    return 0;
}
