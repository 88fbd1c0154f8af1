// sandbox_probe ATTEMPT FILE [OTHER]: enters the .xls helper's sandbox for FILE as the
// helper does, then makes one attempt and says on standard output how it went: what it
// read, "done", or "refused: " and the system's reason. A call the filter forbids outright
// kills the process with SIGSYS instead, which the test sees in the exit status.
//
//   read     the first bytes of FILE, through the path the sandbox gave back, in hex
//   hold     "in" once inside, then waits for standard input to close, then as read
//   convert  a CP1252 byte converted to UTF-8 with iconv, as the parser converts text
//   open     opens OTHER for reading
//   write    opens FILE for writing, through the path the sandbox gave back
//   socket   an internet socket, connected to the loopback
//   exec     runs /bin/true
//   unseal   makes the page that holds the sandbox's path writable
//   unmap    unmaps that page
#include "app/XlsHelperSandbox.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <iconv.h>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

enum Exit { Done = 0, Refused = 1, Usage = 2, NoSandbox = 3 };

int refused()
{
    std::printf("refused: %s\n", std::strerror(errno));
    return Refused;
}

int done()
{
    std::printf("done\n");
    return Done;
}

int readFirstBytes(const char *path)
{
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return refused();
    unsigned char bytes[8];
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    for (std::size_t i = 0; i < got; ++i)
        std::printf("%02x", bytes[i]);
    std::printf("\n");
    return Done;
}

int holdThenRead(const char *path)
{
    std::printf("in\n");
    std::fflush(stdout);
    char byte;
    while (read(STDIN_FILENO, &byte, 1) > 0) {
    }
    return readFirstBytes(path);
}

int convertCodePage()
{
    iconv_t converter = iconv_open("UTF-8", "CP1252");
    if (converter == iconv_t(-1))
        return refused();
    char euro[] = "\x80", out[8] = {};
    char *in = euro, *to = out;
    std::size_t inLeft = 1, outLeft = sizeof out - 1;
    if (iconv(converter, &in, &inLeft, &to, &outLeft) == std::size_t(-1))
        return refused();
    std::printf("%s\n", std::strcmp(out, "\xE2\x82\xAC") == 0 ? "done" : "wrong text");
    return Done;
}

int openForReading(const char *path)
{
    return open(path, O_RDONLY) < 0 ? refused() : done();
}

int openForWriting(const char *path)
{
    return open(path, O_WRONLY) < 0 ? refused() : done();
}

int connectSocket()
{
    const int socketFd = socket(AF_INET, SOCK_STREAM, 0);
    if (socketFd < 0)
        return refused();
    sockaddr_in loopback{};
    loopback.sin_family = AF_INET;
    loopback.sin_port = htons(9);
    loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Refused by the loopback or not: the socket itself should never have been had.
    connect(socketFd, reinterpret_cast<const sockaddr *>(&loopback), sizeof loopback);
    return done();
}

int runTrue()
{
    execl("/bin/true", "true", static_cast<char *>(nullptr));
    return refused();
}

void *pageOf(const char *text)
{
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    return reinterpret_cast<void *>(reinterpret_cast<std::uintptr_t>(text) & ~(page - 1));
}

int unseal(const char *path)
{
    return mprotect(pageOf(path), std::size_t(sysconf(_SC_PAGESIZE)), PROT_READ | PROT_WRITE) != 0
               ? refused()
               : done();
}

int unmap(const char *path)
{
    return munmap(pageOf(path), std::size_t(sysconf(_SC_PAGESIZE))) != 0 ? refused() : done();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: sandbox_probe ATTEMPT FILE [OTHER]\n");
        return Usage;
    }
    const std::string attempt = argv[1];
    const char *other = argc > 3 ? argv[3] : "/etc/passwd";
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const char *failure = nullptr;
    const char *path = EnterXlsHelperSandbox(argv[2], failure);
    if (!path) {
        std::printf("no sandbox: %s\n", failure);
        return NoSandbox;
    }
    if (attempt == "read")
        return readFirstBytes(path);
    if (attempt == "hold")
        return holdThenRead(path);
    if (attempt == "convert")
        return convertCodePage();
    if (attempt == "open")
        return openForReading(other);
    if (attempt == "write")
        return openForWriting(path);
    if (attempt == "socket")
        return connectSocket();
    if (attempt == "exec")
        return runTrue();
    if (attempt == "unseal")
        return unseal(path);
    if (attempt == "unmap")
        return unmap(path);
    std::fprintf(stderr, "sandbox_probe: no attempt %s\n", attempt.c_str());
    return Usage;
}
