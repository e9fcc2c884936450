#pragma once
// The start-up order of the contact book, after the application object and the
// desktop exist: fonts, the hidden main window, the login window shown
// modally, the message loop, and the finalisation at every end.

#include <QString>
#include <memory>

class BookHeadStart;

// Starts opening the book beside the executable and counting its contacts on
// a thread of their own, for the main window to take over; called first, so
// that it runs while the application object and the windows are built. It
// never shows or changes anything.
std::unique_ptr<BookHeadStart> StartOpeningBook();

// Windows ask for "宋体", which this desktop lacks: maps it to an installed
// Chinese font unless it is installed or already mapped. Answers the family
// that now stands for it (empty when there is none).
QString MapSongtiFont();

// The two windows of one run, created in start-up order: the main window
// (which opens the database), then the login window on its connection. The
// destructor is the finalisation: the login window goes first, then the main
// window, which closes the contact query and the connection.
class ApplicationWindows {
public:
    ApplicationWindows();
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows&) = delete;
    ApplicationWindows& operator=(const ApplicationWindows&) = delete;

    // Shows the login window modally; true when it closed after a successful login.
    bool ShowLogin();
};

// The whole run, from the fonts to the end of the message loop; the exit code.
// Without a successful login it ends before the loop, with exit code 0.
int RunTessaly();
