#include "app/XlsHelperSandbox.h"

#include <seccomp.h>

#include <fcntl.h>
#include <iconv.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

// How the file is opened once the filter is in place. The parser library opens the
// workbook itself, by the path it is given (freexl_open hands that very pointer to fopen,
// which hands it to openat, as a trace shows), and parses the whole workbook there; the
// helper's own scans open it by path too. No descriptor can be passed in, so the filter
// lets openat through for one pointer only: that of a string in a page of its own, made
// read-only, at the lowest address the process may map. The filter refuses every call
// that could change that page: mprotect, munmap, madvise and mremap are allowed only
// above it, and mmap never with MAP_FIXED (nor mremap with MREMAP_FIXED), so the page can
// be neither written nor replaced, and no other string can come to sit at that address.
//
// What the filter does to a call it does not allow: opening any other file is refused
// with EACCES, because libraries look for optional files (iconv for a converter it has not
// loaded, the sanitizer for its statistics) and do without them; a killed process would
// turn those into a lost import (readlink is refused alike, and ioctl answers ENOTTY).
// Every other call kills the process: nothing that reads a workbook makes one, so one is
// made only by code that should not be running. The sanitized build refuses them with
// EPERM instead (see installFilter).

namespace {

// The code pages the parser library converts a workbook's text from. iconv loads a
// converter from a file the first time it is asked for one, which the filter refuses; a
// converter opened here stays loaded while its descriptor lives, so the library's own
// iconv_open finds it without opening anything.
constexpr const char *ParserCodePages[] = {
    "UTF-16LE", "CP437",  "CP720",  "CP737",  "CP775",  "CP850",  "CP852",  "CP855",
    "CP857",    "CP858",  "CP860",  "CP861",  "CP862",  "CP863",  "CP864",  "CP865",
    "CP866",    "CP869",  "CP874",  "CP932",  "CP936",  "CP949",  "CP950",  "CP1250",
    "CP1251",   "CP1252", "CP1253", "CP1254", "CP1255", "CP1256", "CP1257", "CP1258",
    "CP1361",   "MacRoman"};

iconv_t heldConverters[std::size(ParserCodePages)];

void loadCodePageConverters()
{
    for (std::size_t i = 0; i < std::size(ParserCodePages); ++i) // one missing here is missing later
        heldConverters[i] = iconv_open("UTF-8", ParserCodePages[i]);
}

// A user and a network namespace of its own: no network but an unconfigured loopback, and
// capabilities that count for nothing outside. The kernel may refuse (unprivileged user
// namespaces turned off, or a process with threads, as a sanitized build's is); then the
// helper stays where it is, with the rest of the sandbox.
void enterOwnNamespaces()
{
    unshare(CLONE_NEWUSER | CLONE_NEWNET);
}

// After the namespaces, which hand the process a full set within the new one. They are
// the calling thread's: a sanitized build's background thread keeps its own, under the
// same filter.
bool dropCapabilities()
{
    for (int capability = 0; prctl(PR_CAPBSET_READ, capability, 0, 0, 0) >= 0; ++capability)
        // Refused without CAP_SETPCAP; the bounding set only limits what an exec gains,
        // and no exec is allowed.
        prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0); // EINVAL before Linux 4.3
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    return syscall(SYS_capset, &header, none) == 0;
}

// The workbook copied into a sealed file in memory, so that what is parsed can change no
// more, and so that it can be opened again after the capabilities are gone (root reading
// another user's private file had only its capabilities to do so); -1 when no copy could
// be made, and the file's own descriptor serves.
int copyIntoMemory(int descriptor, off_t size)
{
    constexpr off_t MostBytes = off_t(512) << 20; // far beyond any workbook the reader takes
    if (size > MostBytes)
        return -1;
    const int copy = memfd_create("workbook", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (copy < 0)
        return -1;
    char buffer[64 * 1024];
    off_t copied = 0;
    for (;;) {
        const ssize_t got = pread(descriptor, buffer, sizeof buffer, copied);
        if (got == 0)
            break;
        if (got < 0 || copied + got > MostBytes) {
            if (got < 0 && errno == EINTR)
                continue;
            close(copy);
            return -1;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = write(copy, buffer + written, std::size_t(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                close(copy);
                return -1;
            }
            written += put;
        }
        copied += got;
    }
    if (fcntl(copy, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
        close(copy);
        return -1;
    }
    return copy;
}

// The path every later open uses: the descriptor's own name in /proc, so that the file
// read is the one checked here even if the name is then pointed elsewhere; the path as
// given where /proc cannot open it.
const char *laterPath(int descriptor, const char *path, char (&buffer)[32])
{
    std::snprintf(buffer, sizeof buffer, "/proc/self/fd/%d", descriptor);
    const int again = open(buffer, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (again < 0)
        return path;
    close(again);
    return buffer;
}

struct SealedText
{
    const char *text = nullptr;
    std::uintptr_t pageEnd = 0;
};

// text in a read-only page at the lowest address that can be had, so that every mapping
// the filter lets the process change lies above it.
SealedText sealInLowPage(const char *text)
{
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    const std::size_t length = std::strlen(text) + 1;
    if (length > page)
        return {};
    // 64 KiB is the usual lowest address a process may map; programs are loaded far above.
    for (std::uintptr_t at = 64 << 10; at <= (std::uintptr_t(32) << 20); at *= 2) {
        void *const wanted = reinterpret_cast<void *>(at);
        void *mapped = mmap(wanted, page, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (mapped == MAP_FAILED)
            continue;
        if (mapped != wanted) { // a kernel before 4.17 took the address as a hint
            munmap(mapped, page);
            continue;
        }
        std::memcpy(mapped, text, length);
        if (mprotect(mapped, page, PROT_READ) != 0)
            return {};
        return {static_cast<const char *>(mapped), at + page};
    }
    return {};
}

scmp_arg_cmp argument(unsigned index, scmp_compare op, scmp_datum_t a, scmp_datum_t b = 0)
{
    return scmp_arg_cmp{index, op, a, b};
}

scmp_arg_cmp bitsClear(unsigned index, scmp_datum_t bits)
{
    return argument(index, SCMP_CMP_MASKED_EQ, bits, 0);
}

class Filter
{
public:
    explicit Filter(std::uint32_t defaultAction)
        : context_(seccomp_init(defaultAction)), defaultAction_(defaultAction)
    {
    }
    ~Filter()
    {
        if (context_)
            seccomp_release(context_);
    }
    Filter(const Filter &) = delete;
    Filter &operator=(const Filter &) = delete;

    void add(std::uint32_t action, int syscallNumber, std::initializer_list<scmp_arg_cmp> when = {})
    {
        ok_ = ok_ && context_
              && seccomp_rule_add_array(context_, action, syscallNumber, unsigned(when.size()),
                                        when.begin())
                     == 0;
    }
    void allow(int syscallNumber, std::initializer_list<scmp_arg_cmp> when = {})
    {
        add(SCMP_ACT_ALLOW, syscallNumber, when);
    }
    // libseccomp takes no rule that repeats the default action.
    void kill(int syscallNumber)
    {
        if (defaultAction_ != SCMP_ACT_KILL_PROCESS)
            add(SCMP_ACT_KILL_PROCESS, syscallNumber);
    }

    bool load()
    {
        // Every thread of the process, not only this one (a sanitized build has one more).
        return ok_ && seccomp_attr_set(context_, SCMP_FLTATR_CTL_TSYNC, 1) == 0
               && seccomp_load(context_) == 0;
    }

private:
    scmp_filter_ctx context_;
    std::uint32_t defaultAction_;
    bool ok_ = true;
};

void allowMemoryCalls(Filter &filter, [[maybe_unused]] std::uintptr_t above)
{
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer maps its shadow and its allocator's regions with MAP_FIXED and changes
    // their protection as it goes. In that build only, these calls are allowed anywhere, so
    // there the sealed page could be remapped; every other limit holds.
    for (const int call : {SCMP_SYS(mmap), SCMP_SYS(munmap), SCMP_SYS(mremap),
                           SCMP_SYS(madvise), SCMP_SYS(mprotect)})
        filter.allow(call);
#else
    const scmp_arg_cmp aboveSealedPage = argument(0, SCMP_CMP_GE, above);
    filter.allow(SCMP_SYS(mmap), {bitsClear(2, PROT_EXEC), bitsClear(3, MAP_FIXED)});
    filter.allow(SCMP_SYS(munmap), {aboveSealedPage});
    filter.allow(SCMP_SYS(madvise), {aboveSealedPage});
    filter.allow(SCMP_SYS(mprotect), {aboveSealedPage, bitsClear(2, PROT_EXEC)});
    filter.allow(SCMP_SYS(mremap), {aboveSealedPage, bitsClear(3, MREMAP_FIXED | MREMAP_DONTUNMAP)});
#endif
}

bool installFilter(const SealedText &sealed)
{
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer's own work (its background thread's sleeps and statistics, a report's
    // stack and signals) makes calls no workbook needs; there they are refused instead of
    // fatal, so only exec, sockets and other files are ruled out outright.
    Filter filter(SCMP_ACT_ERRNO(EPERM));
    for (const int call : {SCMP_SYS(nanosleep), SCMP_SYS(clock_nanosleep), SCMP_SYS(sched_yield),
                           SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(tgkill),
                           SCMP_SYS(rt_sigaction), SCMP_SYS(rt_sigprocmask), SCMP_SYS(sigaltstack)})
        filter.allow(call);
#else
    Filter filter(SCMP_ACT_KILL_PROCESS);
#endif
    // Reading the open file and writing the cells; glibc's fstat is newfstatat.
    for (const int call : {SCMP_SYS(read), SCMP_SYS(write), SCMP_SYS(lseek), SCMP_SYS(close),
                           SCMP_SYS(fstat), SCMP_SYS(newfstatat), SCMP_SYS(brk), SCMP_SYS(futex),
                           SCMP_SYS(clock_gettime), SCMP_SYS(rt_sigreturn), SCMP_SYS(exit),
                           SCMP_SYS(exit_group)})
        filter.allow(call);
    allowMemoryCalls(filter, sealed.pageEnd);
    // stdio asks whether standard output is a terminal; it is not.
    filter.add(SCMP_ACT_ERRNO(ENOTTY), SCMP_SYS(ioctl));

    const auto sealedPath = scmp_datum_t(reinterpret_cast<std::uintptr_t>(sealed.text));
    filter.allow(SCMP_SYS(openat),
                 {argument(0, SCMP_CMP_MASKED_EQ, 0xFFFFFFFFu, std::uint32_t(AT_FDCWD)),
                  argument(1, SCMP_CMP_EQ, sealedPath),
                  bitsClear(2, O_ACCMODE | O_CREAT | O_TRUNC | O_APPEND | O_TMPFILE)});
    filter.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), {argument(1, SCMP_CMP_NE, sealedPath)});
    // Asking for the name behind a descriptor fails the same way: a preloaded library (the
    // tests' fault shim) or the sanitizer's symbolizer does without it.
    for (const int call : {SCMP_SYS(open), SCMP_SYS(creat), SCMP_SYS(openat2),
                           SCMP_SYS(readlink), SCMP_SYS(readlinkat)})
        filter.add(SCMP_ACT_ERRNO(EACCES), call);

    for (const int call : {SCMP_SYS(execve), SCMP_SYS(execveat), SCMP_SYS(socket),
                           SCMP_SYS(socketpair), SCMP_SYS(connect)})
        filter.kill(call);
    return filter.load();
}

bool kernelHasSeccomp()
{
    return prctl(PR_GET_SECCOMP, 0, 0, 0, 0) >= 0 || errno != EINVAL;
}

} // namespace

const char *EnterXlsHelperSandbox(const char *path, const char *&failure)
{
    // Kept open for good: the name in /proc that later opens use is this descriptor's, or
    // that of its copy in memory.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status;
    if (descriptor < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        failure = "the file cannot be opened";
        return nullptr;
    }
    const int copy = copyIntoMemory(descriptor, status.st_size);
    const int parsed = copy >= 0 ? copy : descriptor;
    loadCodePageConverters();

    enterOwnNamespaces();
    if (!dropCapabilities()) {
        failure = "the capabilities cannot be dropped";
        return nullptr;
    }
    static char procPath[32];
    const SealedText sealed = sealInLowPage(laterPath(parsed, path, procPath));
    if (!sealed.text) {
        failure = "the path cannot be sealed in a page of its own";
        return nullptr;
    }
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        failure = "no_new_privs cannot be set";
        return nullptr;
    }
#ifdef __SANITIZE_ADDRESS__
    // The leak check stops the process's threads through ptrace and reads /proc, which the
    // filter refuses, so it runs here instead of at exit: in that build a leak of the parse
    // itself goes unseen.
    __lsan_do_leak_check();
#endif
    // A kernel built without seccomp gets the rest of the sandbox; a filter that the
    // kernel could take but did not ends the helper.
    if (kernelHasSeccomp() && !installFilter(sealed)) {
        failure = "the seccomp filter cannot be installed";
        return nullptr;
    }
    return sealed.text;
}
