// Preloaded into a Qt program started on an X display (LD_PRELOAD), this notes when the
// program first hands a painted image to the X server: the first call of any of the
// requests Qt's X11 backing store flushes a window with. It writes the time
// (CLOCK_MONOTONIC, nanoseconds) and the peak resident memory so far to the file named
// by PAINT_PROBE_OUT, once, and changes nothing else: every call goes on to the real
// function. The program under test is not rebuilt or told anything.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>

// The few X protocol types the wrapped requests use, as libxcb declares them.
struct xcb_connection_t;
struct xcb_void_cookie_t
{
    unsigned int sequence;
};
using xcb_drawable_t = uint32_t;
using xcb_gcontext_t = uint32_t;
using xcb_shm_seg_t = uint32_t;

namespace {
std::atomic<bool> noted{false};

long peakKiB()
{
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kib = std::atol(line + 6);
    }
    std::fclose(status);
    return kib;
}

void noteFirstPaint()
{
    if (noted.exchange(true))
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char *out = std::getenv("PAINT_PROBE_OUT");
    if (!out)
        return;
    if (FILE *file = std::fopen(out, "w")) {
        std::fprintf(file, "%lld %ld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec,
                     peakKiB());
        std::fclose(file);
    }
}

template <typename F>
F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" {
xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t *, xcb_drawable_t, xcb_gcontext_t, uint16_t,
                                    uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, int16_t,
                                    int16_t, uint8_t, uint8_t, uint8_t, xcb_shm_seg_t, uint32_t);
xcb_void_cookie_t xcb_put_image(xcb_connection_t *, uint8_t, xcb_drawable_t, xcb_gcontext_t,
                                uint16_t, uint16_t, int16_t, int16_t, uint8_t, uint8_t,
                                uint32_t, const uint8_t *);
xcb_void_cookie_t xcb_copy_area(xcb_connection_t *, xcb_drawable_t, xcb_drawable_t,
                                xcb_gcontext_t, int16_t, int16_t, int16_t, int16_t, uint16_t,
                                uint16_t);

xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t *c, xcb_drawable_t drawable,
                                    xcb_gcontext_t gc, uint16_t total_width,
                                    uint16_t total_height, uint16_t src_x, uint16_t src_y,
                                    uint16_t src_width, uint16_t src_height, int16_t dst_x,
                                    int16_t dst_y, uint8_t depth, uint8_t format,
                                    uint8_t send_event, xcb_shm_seg_t shmseg, uint32_t offset)
{
    static const auto real = next<decltype(&xcb_shm_put_image)>("xcb_shm_put_image");
    noteFirstPaint();
    return real(c, drawable, gc, total_width, total_height, src_x, src_y, src_width,
                src_height, dst_x, dst_y, depth, format, send_event, shmseg, offset);
}

xcb_void_cookie_t xcb_put_image(xcb_connection_t *c, uint8_t format, xcb_drawable_t drawable,
                                xcb_gcontext_t gc, uint16_t width, uint16_t height,
                                int16_t dst_x, int16_t dst_y, uint8_t left_pad, uint8_t depth,
                                uint32_t data_len, const uint8_t *data)
{
    static const auto real = next<decltype(&xcb_put_image)>("xcb_put_image");
    noteFirstPaint();
    return real(c, format, drawable, gc, width, height, dst_x, dst_y, left_pad, depth,
                data_len, data);
}

xcb_void_cookie_t xcb_copy_area(xcb_connection_t *c, xcb_drawable_t src_drawable,
                                xcb_drawable_t dst_drawable, xcb_gcontext_t gc, int16_t src_x,
                                int16_t src_y, int16_t dst_x, int16_t dst_y, uint16_t width,
                                uint16_t height)
{
    static const auto real = next<decltype(&xcb_copy_area)>("xcb_copy_area");
    noteFirstPaint();
    return real(c, src_drawable, dst_drawable, gc, src_x, src_y, dst_x, dst_y, width, height);
}
}
