#pragma once

// The test side of fault_shim.c: arms it inside this process (it must be preloaded) or
// builds the environment that arms it in a child process.

#include <QByteArray>
#include <QString>
#include <dlfcn.h>

namespace FaultShim {

// The operations the shim counts, in its order.
enum Op { Write, Sync, Close, Link, Rename, Chmod, Chown, Truncate, Allocate, Xattr, Tmpfile, OpCount };

struct Counts
{
    long calls[OpCount] = {};
    long long bytes = 0;
};

using ConfigureFn = void (*)(const char *);
using CountsFn = void (*)(long *, long long *);

inline ConfigureFn configureFn()
{
    return reinterpret_cast<ConfigureFn>(dlsym(RTLD_DEFAULT, "fault_shim_configure"));
}

// Whether the shim is preloaded into this process.
inline bool loaded()
{
    return configureFn() != nullptr;
}

// Replaces the shim's setting (see fault_shim.c) and zeroes its counts.
inline void arm(const QString &plan)
{
    if (ConfigureFn configure = configureFn())
        configure(plan.toLocal8Bit().constData());
}

inline void disarm()
{
    arm(QString());
}

inline Counts counts()
{
    Counts result;
    if (auto fn = reinterpret_cast<CountsFn>(dlsym(RTLD_DEFAULT, "fault_shim_counts")))
        fn(result.calls, &result.bytes);
    return result;
}

// Disarms the shim when a check leaves the scope early.
struct Armed
{
    explicit Armed(const QString &plan) { arm(plan); }
    ~Armed() { disarm(); }
    Armed(const Armed &) = delete;
    Armed &operator=(const Armed &) = delete;
};

} // namespace FaultShim
