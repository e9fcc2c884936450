#include "ToolsStart.h"

#include "app/Startup.h"
#include "app/WindowIcon.h"
#include "book/BookFile.h"
#include "book/BookRun.h"
#include "book/tools/ToolsWindow.h"
#include "forms/Unit_mm.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <memory>

std::optional<ToolsRequest> ToolsRequestFor(const QStringList& arguments)
{
    const SharedOptions shared = ParseSharedOptions(arguments);
    if (shared.help || !shared.gui)
        return std::nullopt;
    ToolsRequest request{shared.book(), {}, {}};
    QStringList rest = shared.rest;
    if (!rest.isEmpty() && FindCommand(rest.first()))
        return std::nullopt;
    bool options = true;
    for (int i = 0; i < rest.size(); ++i) {
        const QString& a = rest.at(i);
        if (options && a == QStringLiteral("--")) {
            options = false;
        } else if (options && a == QStringLiteral("--page")) {
            if (i + 1 >= rest.size())
                throw UsageError(QStringLiteral("--page 后面缺少页名"));
            request.page = rest.at(++i);
        } else if (options && a.startsWith(QStringLiteral("--page="))) {
            request.page = a.mid(7);
        } else if (options && a.startsWith(u'-') && a.size() > 1) {
            throw UsageError(QStringLiteral("不认识选项 %1").arg(a));
        } else {
            request.files << a;
        }
    }
    if (!request.page.isEmpty()) {
        QStringList keys;
        for (const ToolPage& page : ToolPages())
            keys << page.key;
        if (!keys.contains(request.page))
            throw UsageError(QStringLiteral("没有 %1 页（可用：%2）").arg(request.page, keys.join(u' ')));
    }
    return request;
}

int RunTools(const ToolsRequest& request)
{
    MapSongtiFont();
    UseTessalyIcon();
    // The tools window belongs to its own desktop entry, not to the window program's.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly-book"));
    // A book that is not there yet is made as the window program makes it on
    // its first start; the connection that made it serves the login.
    TADOConnection connection(QStringLiteral("通讯录"));
    if (!QFileInfo::exists(request.book))
        CreateBook(request.book, connection);
    else
        OpenBookConnection(connection, request.book);

    ToolsWindow window(request.book);
    SetApplicationWindow(&window);
    {
        TForm_mm login(connection, &window);
        if (login.exec() != QDialog::Accepted) {
            SetApplicationWindow(nullptr);
            return ExitCode::Failure;
        }
    }
    // The pages open the book for each task, so a restore may put another file in its place.
    connection.Close();
    if (!request.page.isEmpty())
        window.showPage(request.page);
    if (!request.files.isEmpty())
        QTimer::singleShot(0, &window, [&window, files = request.files] { window.previewFiles(files); });
    QApplication::setQuitOnLastWindowClosed(true);
    const int status = QApplication::exec();
    SetApplicationWindow(nullptr);
    return status;
}
