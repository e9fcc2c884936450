#include "XMapWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <poll.h>

namespace {
Display* asDisplay(void* d)
{
    return static_cast<Display*>(d);
}

// The window's _NET_WM_NAME, the title Qt sets before it maps the window.
std::string windowName(Display* display, Window window)
{
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 256, False, utf8, &type, &format, &count, &after, &data) != Success
        || !data)
        return {};
    std::string text(reinterpret_cast<const char*>(data), count);
    XFree(data);
    return text;
}
}  // namespace

XMapWatch::XMapWatch(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {}

XMapWatch::~XMapWatch()
{
    if (display_)
        XCloseDisplay(asDisplay(display_));
}

void XMapWatch::arm()
{
    Display* display = asDisplay(display_);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
}

bool XMapWatch::waitForMapped(const std::string& title, int timeoutMs)
{
    Display* display = asDisplay(display_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!XPending(display)) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 20);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && windowName(display, event.xmap.window) == title)
            return true;
    }
    return false;
}
