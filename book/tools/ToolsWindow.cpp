#include "ToolsWindow.h"

#include "book/tools/BackupPage.h"
#include "book/tools/BirthdayPage.h"
#include "book/tools/CheckPage.h"
#include "book/tools/DuplicatesPage.h"
#include "book/tools/ExportPage.h"
#include "book/tools/FindPage.h"
#include "book/tools/ImportPage.h"
#include "book/tools/PrintPage.h"
#include "forms/WindowFont.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

const QList<ToolPage>& ToolPages()
{
    static const QList<ToolPage> pages{
        {QStringLiteral("import"), QStringLiteral("导入"), [](ToolsSession& s) { return new ImportPage(s); }},
        {QStringLiteral("export"), QStringLiteral("导出"), [](ToolsSession& s) { return new ExportPage(s); }},
        {QStringLiteral("find"), QStringLiteral("查找"), [](ToolsSession& s) { return new FindPage(s); }},
        {QStringLiteral("backup"), QStringLiteral("备份"), [](ToolsSession& s) { return new BackupPage(s); }},
        {QStringLiteral("check"), QStringLiteral("检查"), [](ToolsSession& s) { return new CheckPage(s); }},
        {QStringLiteral("birthdays"), QStringLiteral("生日"), [](ToolsSession& s) { return new BirthdayPage(s); }},
        {QStringLiteral("duplicates"), QStringLiteral("重复"), [](ToolsSession& s) { return new DuplicatesPage(s); }},
        {QStringLiteral("print"), QStringLiteral("打印"), [](ToolsSession& s) { return new PrintPage(s); }},
    };
    return pages;
}

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
    return files;
}

}  // namespace

ToolsWindow::ToolsWindow(const QString& book, QWidget* parent)
    : QWidget(parent), session_(book), tabs_(new QTabWidget(this))
{
    setObjectName(QStringLiteral("ToolsWindow"));
    setWindowTitle(ToolsCaption());
    setFont(WindowFont());
    setAcceptDrops(true);
    // Fits a screen of 1024 x 768 with the desktop's panels and the window's frame.
    resize(980, 660);
    setMinimumSize(760, 520);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
}

void ToolsWindow::buildPages()
{
    if (!pages_.isEmpty())
        return;
    int number = 0;
    for (const ToolPage& page : ToolPages()) {
        QWidget* widget = page.make(session_);
        widget->setObjectName(page.key);
        pages_ << widget;
        tabs_->addTab(widget, page.title);
        // Alt+1 … Alt+9 go to the pages, besides Ctrl+Tab and Ctrl+PgDn.
        if (++number <= 9) {
            auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + number)), this);
            connect(shortcut, &QShortcut::activated, this, [this, widget] { tabs_->setCurrentWidget(widget); });
        }
    }
}

void ToolsWindow::showEvent(QShowEvent* event)
{
    buildPages();
    QWidget::showEvent(event);
}

QWidget* ToolsWindow::page(const QString& key)
{
    buildPages();
    for (int i = 0; i < ToolPages().size(); ++i)
        if (ToolPages()[i].key == key)
            return pages_.value(i);
    return nullptr;
}

bool ToolsWindow::showPage(const QString& key)
{
    QWidget* shown = page(key);
    if (shown)
        tabs_->setCurrentWidget(shown);
    return shown != nullptr;
}

void ToolsWindow::previewFiles(const QStringList& files)
{
    showPage(QStringLiteral("import"));
    static_cast<ImportPage*>(page(QStringLiteral("import")))->addFiles(files);
}

void ToolsWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ToolsWindow::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop's own event ends first; the preview may show boxes and a progress bar.
    QTimer::singleShot(0, this, [this, files] { previewFiles(files); });
}
