// Stand-ins for paperxlsread that misbehave in one way each (chosen when built), so the
// tests can show that the editor survives them. Each first writes its process id to the
// file named by FAKE_XLS_HELPER_PID_FILE, so a test can check it was not left behind.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main()
{
    if (const char *pidFile = std::getenv("FAKE_XLS_HELPER_PID_FILE")) {
        if (std::FILE *file = std::fopen(pidFile, "w")) {
            std::fprintf(file, "%ld\n", long(getpid()));
            std::fclose(file);
        }
    }
#if defined(FAKE_crash)
    std::fputs("PXC1", stdout); // a stream begun, then the process dies
    std::fflush(stdout);
    std::abort();
#elif defined(FAKE_hang)
    for (;;)
        pause();
#elif defined(FAKE_garbage)
    std::fputs("this is not a cell stream\n", stdout);
    return 0;
#elif defined(FAKE_endless)
    static char block[65536];
    for (unsigned i = 0; i < sizeof block; ++i)
        block[i] = char('A' + i % 26);
    for (;;)
        if (std::fwrite(block, 1, sizeof block, stdout) != sizeof block)
            return 1;
#endif
}
