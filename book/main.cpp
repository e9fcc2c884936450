// tessaly-book: the contact book's companion on the command line. With --gui
// and a command it shows its report and dialogs in windows; with --gui and no
// command it opens the tools window behind the login; otherwise it needs no display.

#include "book/BookRun.h"
#include "book/tools/PrintingDesktop.h"
#include "book/tools/ToolsSession.h"
#include "book/tools/ToolsStart.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

namespace {

// The tools window, or nothing when the arguments name a command.
std::optional<int> runTools(const QStringList& arguments, Console& console)
{
    std::optional<ToolsRequest> request;
    try {
        request = ToolsRequestFor(arguments);
    } catch (const UsageError& e) {
        console.err(QStringLiteral("tessaly-book：%1").arg(e.Message));
        console.err(QStringLiteral("用法见 tessaly-book --help"));
        return ExitCode::Usage;
    }
    if (!request)
        return std::nullopt;
    int status = ExitCode::Failure;
    RunToolAction([&] { status = RunTools(*request); });
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    StdConsole console;
    if (!WantsGui(arguments) && !PaintsPages(arguments)) {
        QCoreApplication app(argc, argv);
        return RunBook(arguments, console);
    }
    if (!WantsGui(arguments)) {
        // Printing to a PDF needs fonts, not a display: a terminal without one draws offscreen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return RunBook(arguments, console);
    }
    QApplication app(argc, argv);
    static PrintingDesktop d;
    setDesktop(&d);
    LoadChineseTranslations();
    if (const std::optional<int> status = runTools(arguments, console))
        return *status;
    return RunBook(arguments, console);
}
