#pragma once
// tessaly-book --gui without a command: the login window of the book, then
// the tools window, until it is closed.

#include <QString>
#include <QStringList>
#include <optional>

struct ToolsRequest {
    QString book;
    QString page;       // a key of ToolPages(); empty: the first
    QStringList files;  // for the 导入 page's preview
};

// The request when the arguments name no command (--gui [--page 页] [文件...]);
// nothing when they name one. Raises UsageError for an unknown page.
std::optional<ToolsRequest> ToolsRequestFor(const QStringList& arguments);

// The whole run after the application object and the desktop exist: the exit
// status (1 when the login window closed without a login).
int RunTools(const ToolsRequest& request);
