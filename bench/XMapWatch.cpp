#include "XMapWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <chrono>
#include <poll.h>
#include <thread>

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

unsigned long XMapWatch::waitForMapped(const std::string& title, int timeoutMs)
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
            return event.xmap.window;
    }
    return 0;
}

bool XMapWatch::typeLine(unsigned long window, const std::string& text, const std::function<void()>& beforeEnter)
{
    Display* display = asDisplay(display_);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor))
        return false;
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    // The client needs its focus event before the keys count as typed into it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto press = [display](KeySym symbol) {
        const KeyCode code = XKeysymToKeycode(display, symbol);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    };
    for (const char c : text)
        press(XStringToKeysym(std::string(1, c).c_str()));
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (beforeEnter)
        beforeEnter();
    press(XK_Return);
    XSync(display, False);
    return true;
}

bool XMapWatch::waitForRows(unsigned long window, double top, double bottom, int timeoutMs)
{
    Display* display = asDisplay(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    const int y = int(attributes.height * top);
    const int height = int(attributes.height * (bottom - top));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        XImage* image = XGetImage(display, window, 0, y, attributes.width, height, AllPlanes, ZPixmap);
        if (!image)
            return false;
        int white = 0, dark = 0;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < attributes.width; ++column) {
                const unsigned long pixel = XGetPixel(image, column, row);
                const unsigned long r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
                white += r > 0xf0 && g > 0xf0 && b > 0xf0;
                dark += r < 0x40 && g < 0x40 && b < 0x40;
            }
        }
        XDestroyImage(image);
        // Before its first paint the window shows the black root below it.
        if (white > 1000 && dark > 200)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
