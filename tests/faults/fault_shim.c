/* A preloaded library that makes file system calls fail, or kills the process, at a
 * chosen point, so the tests can watch how a save copes with a full disk, an I/O error
 * or a sudden death at exactly that point.
 *
 * It is set up from the environment variable FAULT_SHIM when loaded, or later through
 * fault_shim_configure() with the same text: comma-separated key=value pairs.
 *
 *   under=DIR    only files inside DIR count (by the path behind the descriptor);
 *                without it nothing is touched
 *   op=OP        the calls the fault hits: write (write, pwrite), sync (fsync,
 *                fdatasync), close, link (linkat), rename (rename, renameat,
 *                renameat2), chmod (fchmod, chmod, fchmodat), chown (fchown,
 *                chown, lchown, fchownat), truncate (ftruncate), allocate
 *                (fallocate), xattr (fsetxattr), tmpfile (open or openat of a
 *                folder with O_TMPFILE, for a file without a name); default write
 *   after=N      op=write: the bytes up to N are written (a call crossing N is cut
 *                short there), every later write fails; as a full disk behaves
 *   call=K       the K-th call of op (from 1) fails, and only that one
 *   from=K       the K-th call of op and every later one fail
 *   errno=E      the error: a number, or ENOSPC, EIO, EDQUOT, EACCES, EROFS, EXDEV, EPERM,
 *                ENOTSUP, EOPNOTSUPP, ENOSYS
 *   refuse=OP:E  besides the fault above, every call of OP fails with the error E
 *                (say chown:EPERM, as a file system that keeps root from giving
 *                files away does)
 *   action=A     fail (default) or kill: SIGKILL the process instead of failing,
 *                before the call runs (after writing the bytes up to N for after=)
 *   report=FILE  at exit, write the counts of the calls that matched "under" to FILE
 *
 * The counts are kept for every operation, so one clean run with report= tells a test
 * how many calls and bytes a save makes and where it may put a fault.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

enum op {
    OP_WRITE, OP_SYNC, OP_CLOSE, OP_LINK, OP_RENAME, OP_CHMOD, OP_CHOWN, OP_TRUNCATE,
    OP_ALLOCATE, OP_XATTR, OP_TMPFILE, OP_COUNT
};
static const char *const op_names[OP_COUNT] = {"write", "sync",  "close",    "link",
                                               "rename", "chmod", "chown",   "truncate",
                                               "allocate", "xattr", "tmpfile"};

static struct {
    char under[PATH_MAX];
    size_t under_len;
    int op;
    long long after; /* -1: not set */
    long call;       /* 0: not set */
    long from;       /* 0: not set */
    int error;
    int refused_op; /* -1: none */
    int refused_error;
    int kill;
    char report[PATH_MAX];
} cfg;

static long calls[OP_COUNT];
static long long bytes_written;

static ssize_t (*real_write)(int, const void *, size_t);
static ssize_t (*real_pwrite)(int, const void *, size_t, off_t);
static ssize_t (*real_pwrite64)(int, const void *, size_t, off_t);
static int (*real_fsync)(int);
static int (*real_fdatasync)(int);
static int (*real_close)(int);
static int (*real_linkat)(int, const char *, int, const char *, int);
static int (*real_rename)(const char *, const char *);
static int (*real_renameat)(int, const char *, int, const char *);
static int (*real_renameat2)(int, const char *, int, const char *, unsigned);
static int (*real_fchmod)(int, mode_t);
static int (*real_chmod)(const char *, mode_t);
static int (*real_fchmodat)(int, const char *, mode_t, int);
static int (*real_fchown)(int, uid_t, gid_t);
static int (*real_chown)(const char *, uid_t, gid_t);
static int (*real_lchown)(const char *, uid_t, gid_t);
static int (*real_fchownat)(int, const char *, uid_t, gid_t, int);
static int (*real_ftruncate)(int, off_t);
static int (*real_ftruncate64)(int, off_t);
static int (*real_fallocate)(int, int, off_t, off_t);
static int (*real_fallocate64)(int, int, off_t, off_t);
static int (*real_fsetxattr)(int, const char *, const void *, size_t, int);
static int (*real_open)(const char *, int, ...);
static int (*real_open64)(const char *, int, ...);
static int (*real_openat)(int, const char *, int, ...);
static int (*real_openat64)(int, const char *, int, ...);

static void *next(const char *name)
{
    return dlsym(RTLD_NEXT, name);
}

static void resolve(void)
{
    if (real_write)
        return;
    real_pwrite = next("pwrite");
    real_pwrite64 = next("pwrite64");
    real_fsync = next("fsync");
    real_fdatasync = next("fdatasync");
    real_close = next("close");
    real_linkat = next("linkat");
    real_rename = next("rename");
    real_renameat = next("renameat");
    real_renameat2 = next("renameat2");
    real_fchmod = next("fchmod");
    real_chmod = next("chmod");
    real_fchmodat = next("fchmodat");
    real_fchown = next("fchown");
    real_chown = next("chown");
    real_lchown = next("lchown");
    real_fchownat = next("fchownat");
    real_ftruncate = next("ftruncate");
    real_ftruncate64 = next("ftruncate64");
    real_fallocate = next("fallocate");
    real_fallocate64 = next("fallocate64");
    real_fsetxattr = next("fsetxattr");
    real_open = next("open");
    real_open64 = next("open64");
    real_openat = next("openat");
    real_openat64 = next("openat64");
    real_write = next("write");
}

static int errno_of(const char *text)
{
    static const struct { const char *name; int value; } names[] = {
        {"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EDQUOT", EDQUOT}, {"EACCES", EACCES},
        {"EROFS", EROFS}, {"EXDEV", EXDEV}, {"EPERM", EPERM}, {"ENOTSUP", ENOTSUP},
        {"EOPNOTSUPP", EOPNOTSUPP}, {"ENOSYS", ENOSYS},
    };
    for (size_t k = 0; k < sizeof names / sizeof names[0]; ++k)
        if (strcmp(text, names[k].name) == 0)
            return names[k].value;
    return atoi(text);
}

/* Copies the value that starts at text (up to the next comma) into out. */
static const char *value_of(const char *text, char *out, size_t size)
{
    size_t n = strcspn(text, ",");
    if (n >= size)
        n = size - 1;
    memcpy(out, text, n);
    out[n] = '\0';
    return text + strcspn(text, ",");
}

void fault_shim_configure(const char *plan)
{
    resolve();
    memset(&cfg, 0, sizeof cfg);
    cfg.after = -1;
    cfg.error = EIO;
    cfg.refused_op = -1;
    memset(calls, 0, sizeof calls);
    bytes_written = 0;
    if (!plan)
        return;
    const char *p = plan;
    while (*p) {
        char key[32], value[PATH_MAX];
        const char *eq = strchr(p, '=');
        if (!eq)
            break;
        size_t klen = (size_t)(eq - p) < sizeof key - 1 ? (size_t)(eq - p) : sizeof key - 1;
        memcpy(key, p, klen);
        key[klen] = '\0';
        p = value_of(eq + 1, value, sizeof value);
        if (*p == ',')
            ++p;
        if (strcmp(key, "under") == 0) {
            strcpy(cfg.under, value);
            cfg.under_len = strlen(cfg.under);
        } else if (strcmp(key, "op") == 0) {
            for (int k = 0; k < OP_COUNT; ++k)
                if (strcmp(value, op_names[k]) == 0)
                    cfg.op = k;
        } else if (strcmp(key, "after") == 0) {
            cfg.after = atoll(value);
        } else if (strcmp(key, "call") == 0) {
            cfg.call = atol(value);
        } else if (strcmp(key, "from") == 0) {
            cfg.from = atol(value);
        } else if (strcmp(key, "errno") == 0) {
            cfg.error = errno_of(value);
        } else if (strcmp(key, "refuse") == 0) {
            char *colon = strchr(value, ':');
            if (colon) {
                *colon = '\0';
                for (int k = 0; k < OP_COUNT; ++k)
                    if (strcmp(value, op_names[k]) == 0)
                        cfg.refused_op = k;
                cfg.refused_error = errno_of(colon + 1);
            }
        } else if (strcmp(key, "action") == 0) {
            cfg.kill = strcmp(value, "kill") == 0;
        } else if (strcmp(key, "report") == 0) {
            strcpy(cfg.report, value);
        }
    }
}

/* The counts so far: calls of each operation, then the bytes written. */
void fault_shim_counts(long out_calls[OP_COUNT], long long *out_bytes)
{
    memcpy(out_calls, calls, sizeof calls);
    *out_bytes = bytes_written;
}

static int inside(const char *path)
{
    if (!cfg.under_len || !path)
        return 0;
    return strncmp(path, cfg.under, cfg.under_len) == 0
           && (path[cfg.under_len] == '/' || path[cfg.under_len] == '\0');
}

static int fd_inside(int fd)
{
    if (!cfg.under_len || fd < 0)
        return 0;
    char link[64], path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0)
        return 0;
    path[n] = '\0';
    return inside(path);
}

static int path_inside(int dirfd, const char *path)
{
    if (!cfg.under_len || !path)
        return 0;
    if (path[0] == '/')
        return inside(path);
    char base[PATH_MAX], full[2 * PATH_MAX + 2];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base))
            return 0;
    } else {
        char link[64];
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        ssize_t n = readlink(link, base, sizeof base - 1);
        if (n <= 0)
            return 0;
        base[n] = '\0';
    }
    snprintf(full, sizeof full, "%s/%s", base, path);
    return inside(full);
}

/* True when this call of op is the one to fail; kills the process when asked to. */
static int hit(enum op op)
{
    long k = ++calls[op];
    if ((int)op == cfg.refused_op) {
        errno = cfg.refused_error;
        return 1;
    }
    if ((int)op != cfg.op || !((cfg.call && k == cfg.call) || (cfg.from && k >= cfg.from)))
        return 0;
    if (cfg.kill)
        raise(SIGKILL);
    errno = cfg.error;
    return 1;
}

/* How many of count bytes a write may still place before the configured limit; sets
 * errno and returns -1 when none. */
static ssize_t write_allowance(size_t count)
{
    if (cfg.op != OP_WRITE || cfg.after < 0)
        return (ssize_t)count;
    long long room = cfg.after - bytes_written;
    if (room >= (long long)count)
        return (ssize_t)count;
    if (room > 0)
        return (ssize_t)room;
    if (cfg.kill)
        raise(SIGKILL);
    errno = cfg.error;
    return -1;
}

static ssize_t faulty_write(int fd, const void *buf, size_t count, off_t offset, int positioned)
{
    if (!fd_inside(fd))
        return positioned ? real_pwrite64(fd, buf, count, offset) : real_write(fd, buf, count);
    if (hit(OP_WRITE))
        return -1;
    ssize_t allowed = write_allowance(count);
    if (allowed < 0)
        return -1;
    ssize_t done = positioned ? real_pwrite64(fd, buf, (size_t)allowed, offset)
                              : real_write(fd, buf, (size_t)allowed);
    if (done > 0)
        bytes_written += done;
    /* A kill at a byte offset inside a call lands after the bytes before it. */
    if (cfg.kill && cfg.op == OP_WRITE && cfg.after >= 0 && bytes_written >= cfg.after)
        raise(SIGKILL);
    return done;
}

ssize_t write(int fd, const void *buf, size_t count)
{
    resolve();
    return faulty_write(fd, buf, count, 0, 0);
}

ssize_t pwrite(int fd, const void *buf, size_t count, off_t offset)
{
    resolve();
    return faulty_write(fd, buf, count, offset, 1);
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off_t offset)
{
    resolve();
    return faulty_write(fd, buf, count, offset, 1);
}

int fsync(int fd)
{
    resolve();
    if (fd_inside(fd) && hit(OP_SYNC))
        return -1;
    return real_fsync(fd);
}

int fdatasync(int fd)
{
    resolve();
    if (fd_inside(fd) && hit(OP_SYNC))
        return -1;
    return real_fdatasync(fd);
}

int close(int fd)
{
    resolve();
    if (fd_inside(fd) && hit(OP_CLOSE)) {
        /* The descriptor is gone even when close reports an error. */
        int error = errno;
        real_close(fd);
        errno = error;
        return -1;
    }
    return real_close(fd);
}

int linkat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath, int flags)
{
    resolve();
    if (path_inside(newdirfd, newpath) && hit(OP_LINK))
        return -1;
    return real_linkat(olddirfd, oldpath, newdirfd, newpath, flags);
}

/* Only an open that asks for a file without a name is looked at; the mode argument is
 * there exactly when O_CREAT or O_TMPFILE is. */
#define TMPFILE_OPEN(call, dirfd, path, flags)                                             \
    mode_t mode = 0;                                                                       \
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {                           \
        va_list arguments;                                                                 \
        va_start(arguments, flags);                                                        \
        mode = (mode_t)va_arg(arguments, int);                                             \
        va_end(arguments);                                                                 \
    }                                                                                      \
    resolve();                                                                             \
    if ((flags & O_TMPFILE) == O_TMPFILE && path_inside(dirfd, path) && hit(OP_TMPFILE))   \
        return -1;                                                                         \
    return call;

int open(const char *path, int flags, ...)
{
    TMPFILE_OPEN(real_open(path, flags, mode), AT_FDCWD, path, flags)
}

int open64(const char *path, int flags, ...)
{
    TMPFILE_OPEN(real_open64(path, flags, mode), AT_FDCWD, path, flags)
}

int openat(int dirfd, const char *path, int flags, ...)
{
    TMPFILE_OPEN(real_openat(dirfd, path, flags, mode), dirfd, path, flags)
}

int openat64(int dirfd, const char *path, int flags, ...)
{
    TMPFILE_OPEN(real_openat64(dirfd, path, flags, mode), dirfd, path, flags)
}

int rename(const char *oldpath, const char *newpath)
{
    resolve();
    if (path_inside(AT_FDCWD, newpath) && hit(OP_RENAME))
        return -1;
    return real_rename(oldpath, newpath);
}

int renameat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath)
{
    resolve();
    if (path_inside(newdirfd, newpath) && hit(OP_RENAME))
        return -1;
    return real_renameat(olddirfd, oldpath, newdirfd, newpath);
}

int renameat2(int olddirfd, const char *oldpath, int newdirfd, const char *newpath,
              unsigned flags)
{
    resolve();
    if (path_inside(newdirfd, newpath) && hit(OP_RENAME))
        return -1;
    return real_renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}

int fchmod(int fd, mode_t mode)
{
    resolve();
    if (fd_inside(fd) && hit(OP_CHMOD))
        return -1;
    return real_fchmod(fd, mode);
}

int chmod(const char *path, mode_t mode)
{
    resolve();
    if (path_inside(AT_FDCWD, path) && hit(OP_CHMOD))
        return -1;
    return real_chmod(path, mode);
}

int fchmodat(int dirfd, const char *path, mode_t mode, int flags)
{
    resolve();
    if (path_inside(dirfd, path) && hit(OP_CHMOD))
        return -1;
    return real_fchmodat(dirfd, path, mode, flags);
}

int fchown(int fd, uid_t owner, gid_t group)
{
    resolve();
    if (fd_inside(fd) && hit(OP_CHOWN))
        return -1;
    return real_fchown(fd, owner, group);
}

int chown(const char *path, uid_t owner, gid_t group)
{
    resolve();
    if (path_inside(AT_FDCWD, path) && hit(OP_CHOWN))
        return -1;
    return real_chown(path, owner, group);
}

int lchown(const char *path, uid_t owner, gid_t group)
{
    resolve();
    if (path_inside(AT_FDCWD, path) && hit(OP_CHOWN))
        return -1;
    return real_lchown(path, owner, group);
}

int fchownat(int dirfd, const char *path, uid_t owner, gid_t group, int flags)
{
    resolve();
    if (path_inside(dirfd, path) && hit(OP_CHOWN))
        return -1;
    return real_fchownat(dirfd, path, owner, group, flags);
}

int ftruncate(int fd, off_t length)
{
    resolve();
    if (fd_inside(fd) && hit(OP_TRUNCATE))
        return -1;
    return real_ftruncate(fd, length);
}

int ftruncate64(int fd, off_t length)
{
    resolve();
    if (fd_inside(fd) && hit(OP_TRUNCATE))
        return -1;
    return real_ftruncate64(fd, length);
}

int fallocate(int fd, int mode, off_t offset, off_t length)
{
    resolve();
    if (fd_inside(fd) && hit(OP_ALLOCATE))
        return -1;
    return real_fallocate(fd, mode, offset, length);
}

int fallocate64(int fd, int mode, off_t offset, off_t length)
{
    resolve();
    if (fd_inside(fd) && hit(OP_ALLOCATE))
        return -1;
    return real_fallocate64(fd, mode, offset, length);
}

int fsetxattr(int fd, const char *name, const void *value, size_t size, int flags)
{
    resolve();
    if (fd_inside(fd) && hit(OP_XATTR))
        return -1;
    return real_fsetxattr(fd, name, value, size, flags);
}

__attribute__((constructor)) static void load(void)
{
    fault_shim_configure(getenv("FAULT_SHIM"));
}

__attribute__((destructor)) static void unload(void)
{
    if (!cfg.report[0])
        return;
    FILE *out = fopen(cfg.report, "w");
    if (!out)
        return;
    for (int k = 0; k < OP_COUNT; ++k)
        fprintf(out, "%s=%ld\n", op_names[k], calls[k]);
    fprintf(out, "bytes=%lld\n", bytes_written);
    fclose(out);
}
