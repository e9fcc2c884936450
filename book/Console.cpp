#include "Console.h"

#include <cstdio>
#include <unistd.h>

static void writeLine(FILE* stream, const QString& line)
{
    const QByteArray utf8 = line.toUtf8() + '\n';
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
}

void StdConsole::out(const QString& line)
{
    writeLine(stdout, line);
}

void StdConsole::err(const QString& line)
{
    std::fflush(stdout);  // the error follows what the report said before it
    writeLine(stderr, line);
}

bool StdConsole::outIsTerminal() const
{
    return ::isatty(STDOUT_FILENO) == 1;
}

void CapturingConsole::out(const QString& line)
{
    outLines << line;
    allLines << line;
    if (next_)
        next_->out(line);
}

void CapturingConsole::err(const QString& line)
{
    errLines << line;
    allLines << line;
    if (next_)
        next_->err(line);
}
