#pragma once
// What the pages of the tools window share: the book's file, the word that it
// changed (an import, a restore), and how a page runs an action: failures
// become a box that says the book was not changed.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class ToolsSession : public QObject {
    Q_OBJECT
public:
    explicit ToolsSession(QString book) : book_(std::move(book)) {}
    const QString& book() const { return book_; }

signals:
    // The book's contacts changed: pages that show them read it again.
    void bookChanged();

private:
    QString book_;
};

// The caption of every box of the tools window.
QString ToolsCaption();

// Runs a page's action; a failure shows a box with its message and answers false.
bool RunToolAction(const std::function<void()>& action);

// A report in a box: information, or a stop sign when it failed.
void ShowToolReport(const QStringList& lines, bool ok = true);
// A yes/no question; true for yes.
bool AskTool(const QString& question);
