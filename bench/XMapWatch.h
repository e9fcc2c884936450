#pragma once
// Watches an X display for a top-level window of a given title being mapped.
// Kept apart from Qt: Xlib's macros (None, Bool, Status) clash with Qt's headers.

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
    // Waits until a window whose _NET_WM_NAME is title is mapped; false after timeoutMs.
    bool waitForMapped(const std::string& title, int timeoutMs);

private:
    void* display_ = nullptr;
};
