#pragma once
// One run of tessaly-book: the options every command shares and the table of
// commands. A command is a function of the run and its own arguments that
// returns the exit status; it raises UsageError for arguments it cannot take
// and any Exception (an ExchangeError too) for a failure (then nothing was changed).

#include "book/Console.h"
#include "platform/Errors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace ExitCode {
constexpr int Success = 0;
constexpr int Failure = 1;  // the command failed and changed nothing
constexpr int Usage = 2;
}  // namespace ExitCode

// Arguments the command cannot take; the message says which, in Chinese.
class UsageError : public Exception {
public:
    using Exception::Exception;
};

// The login password was not given right: the command read and changed nothing.
class PasswordRefused : public Exception {
public:
    PasswordRefused() : Exception(QStringLiteral("密码不对")) {}
};

struct BookRun {
    Console& console;
    QString database;                 // the book's file: --db, else Kalvo.mdb beside the executable
    bool gui = false;                 // --gui: dialogs instead of the terminal
    QString passwordFile;             // --password-file: where the login password is ("-": the standard input)
    std::optional<QString> password;  // the login password once it opened the book
};

struct BookCommand {
    QString name;
    QString usage;    // the arguments after the name, for --help: "[--dry-run] 文件..."
    QString summary;  // one line of --help
    int (*run)(BookRun& run, const QStringList& arguments);
};

const QList<BookCommand>& BookCommands();
// The command of that name; nullptr when there is none.
const BookCommand* FindCommand(const QString& name);

// The options every command shares: --db, --password-file, --gui and --help may stand anywhere
// before "--"; the rest goes to the command. Raises UsageError.
struct SharedOptions {
    bool help = false;
    bool gui = false;
    QString database;      // as given with --db
    QString passwordFile;  // as given with --password-file
    QStringList rest;      // the command and its own arguments

    QString book() const;  // --db, else Kalvo.mdb beside the executable
};
SharedOptions ParseSharedOptions(const QStringList& arguments);

// A command's own arguments: the flags it knows, then its operands. "--" ends
// the flags; an unknown flag raises UsageError naming the command.
struct CommandArguments {
    QStringList flags;     // as given, each once
    QStringList operands;  // files, in order
    bool has(const QString& flag) const { return flags.contains(flag); }
};
CommandArguments SplitArguments(const QString& command, const QStringList& arguments,
                                const QStringList& knownFlags = {});
// Takes an option with a value ("--days 7" or "--days=7", before any "--") out
// of a command's arguments; nullopt when it is not there. A missing or empty
// value, or the option given twice, raises UsageError naming the command.
std::optional<QString> TakeOptionValue(const QString& command, QStringList& arguments, const QString& option);

// A record's number as list --numbers prints it; UsageError naming the command otherwise.
qint64 RecordNumber(const QString& command, const QString& text);

// The whole program on its arguments (without the program's own name).
int RunBook(const QStringList& arguments, Console& console);

// Whether the arguments ask for --gui (before any "--").
bool WantsGui(const QStringList& arguments);

// Whether the arguments print the book to a PDF (export 通讯录.pdf), which needs fonts: a GUI application.
bool PaintsPages(const QStringList& arguments);

// The --help text.
QString BookHelp();
