#pragma once
// Watches an X display for a top-level window of a given title being mapped,
// types into a window as a keyboard would, and tells when a window's content
// has been drawn. Kept apart from Qt: Xlib's macros (None, Bool, Status) clash
// with Qt's headers.

#include <functional>
#include <string>

class XMapWatch {
public:
    explicit XMapWatch(const std::string& displayName);
    ~XMapWatch();
    XMapWatch(const XMapWatch&) = delete;
    XMapWatch& operator=(const XMapWatch&) = delete;

    bool connected() const { return display_ != nullptr; }
    // Starts listening and forgets what happened before.
    void arm();
    // Waits until a window whose _NET_WM_NAME is title is mapped; its id, or 0 after timeoutMs.
    unsigned long waitForMapped(const std::string& title, int timeoutMs);
    // Gives the window the keyboard focus and types the text (digits and
    // letters) followed by Enter, through the XTEST extension; beforeEnter, when
    // given, runs just before Enter is sent (a clock that times what Enter does).
    bool typeLine(unsigned long window, const std::string& text, const std::function<void()>& beforeEnter = {});
    // Waits until the band of the window between the given fractions of its
    // height shows dark text on a white ground (a grid's rows); false after timeoutMs.
    bool waitForRows(unsigned long window, double top, double bottom, int timeoutMs);

private:
    void* display_ = nullptr;
};
