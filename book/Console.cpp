#include "Console.h"

#include "platform/Terminal.h"

#include <cstdio>

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
    return OutputIsTerminal();
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

bool StdConsole::canAsk() const
{
    return InputIsTerminal();
}

std::optional<QString> StdConsole::askHidden(const QString& prompt)
{
    std::fflush(stdout);
    InputLine typed;
    {
        // The echo goes off before the question shows, so nothing typed after it is shown or lost.
        const EchoOff quiet;
        const QByteArray text = prompt.toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
        typed = ReadInputLine();
    }
    std::fputc('\n', stderr);  // the line end the typing did not show
    if (typed.failed || typed.ended)
        return std::nullopt;
    return QString::fromUtf8(typed.bytes);
}

std::optional<QByteArray> StdConsole::inputLine()
{
    InputLine line = ReadInputLine();
    if (line.failed)
        return std::nullopt;
    return line.bytes;
}

std::optional<QString> CapturingConsole::askHidden(const QString& prompt)
{
    if (next_)
        return next_->askHidden(prompt);
    prompts << prompt;
    if (!answers || answers->isEmpty())
        return std::nullopt;
    return answers->takeFirst();
}
