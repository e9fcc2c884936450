#include "ToolsWindow.h"

#include "book/tools/BackupPage.h"
#include "book/tools/BirthdayPage.h"
#include "book/tools/CheckPage.h"
#include "book/tools/DuplicatesPage.h"
#include "book/tools/ExportPage.h"
#include "book/tools/FindPage.h"
#include "book/tools/ImportPage.h"
#include "book/tools/PrintPage.h"
#include "book/tools/SyncPage.h"
#include "forms/WindowFont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScreen>
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
        {QStringLiteral("sync"), QStringLiteral("同步"), [](ToolsSession& s) { return new SyncPage(s); }},
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

// The window's place, frame included, inside the available area, centred on
// it: a window never opens partly below a panel or the screen's edge.
QRect placedInside(QSize size, const QRect& available, const QMargins& frame)
{
    const QSize room = available.size().shrunkBy(frame);
    const QSize fitted = size.boundedTo(room);
    QRect place(QPoint(), fitted);
    place.moveCenter(available.center());
    // Rounding of the centre never pushes the frame out at the top or left.
    place.moveTopLeft(QPoint(std::max(place.left(), available.left() + frame.left()),
                             std::max(place.top(), available.top() + frame.top())));
    return place;
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
    if (!placed_) {
        placed_ = true;
        placeOnScreen();
    }
    buildPages();
    QWidget::showEvent(event);
}

void ToolsWindow::placeOnScreen()
{
    // The login window shows it: on the login's screen, with the frame the login has there.
    const QWidget* login = QApplication::activeModalWidget();
    QScreen* onScreen = login ? login->screen() : screen();
    QMargins frame(8, 32, 8, 8);  // a usual frame, when no window shows one yet
    if (login && login->frameGeometry() != login->geometry()) {
        const QRect inner = login->geometry(), outer = login->frameGeometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    setGeometry(placedInside(size(), onScreen->availableGeometry(), frame));
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

void ToolsWindow::closeEvent(QCloseEvent* event)
{
    // The pages are made on first show: a window never shown has nothing to lose.
    auto* import = pages_.isEmpty() ? nullptr : static_cast<ImportPage*>(page(QStringLiteral("import")));
    if (import && !import->mayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void ToolsWindow::keyPressEvent(QKeyEvent* event)
{
    // A control that has a use for Esc (a progress bar's 取消) takes it first.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
