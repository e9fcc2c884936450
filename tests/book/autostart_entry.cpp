// Turns the birthday reminder on as the tools window's switch does, for the
// end-to-end test that then logs in: the autostart entry for the program and
// the book, in $XDG_CONFIG_HOME/autostart.
// Usage: book_autostart_entry <program> <book>

#include "book/BirthdayAutostart.h"
#include "platform/Errors.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: book_autostart_entry <program> <book>\n", stderr);
        return 2;
    }
    try {
        SetBirthdayAutostart(true, arguments[1], arguments[2]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
