#pragma once
// Every event handler runs inside Guarded(): an error that escapes it is shown
// in the standard error box (stop icon, one OK button, the application title as
// caption) and the program carries on. Qt never sees an exception leave a slot.

#include <QString>
#include <utility>

class QWidget;

// The executable's file name without its folder, cut at its first ".", every
// character after the first lower-cased.
QString ApplicationTitleFrom(const QString& executablePath);
QString ApplicationTitle();

// The message as the box shows it: a "." is added when the last character sorts after ".".
QString ErrorBoxText(const QString& message);

// Shows the standard error box for a message.
void ShowErrorBox(const QString& message);

// Shows the error box for whatever exception is in flight (call from a catch block).
void ShowCurrentException();

template <class F>
void Guarded(F&& handler)
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        ShowCurrentException();
    }
}
