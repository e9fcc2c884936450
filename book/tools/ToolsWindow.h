#pragma once
// "Tessaly 通讯录工具": one window with a page per task. A page is a widget made
// from the session; adding one is a row in ToolPages().

#include "book/tools/ToolsSession.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>

class QTabWidget;
class ImportPage;

struct ToolPage {
    QString key;    // for --page: "import"
    QString title;  // the tab: "导入"
    std::function<QWidget*(ToolsSession& session)> make;
};

// The pages in tab order.
const QList<ToolPage>& ToolPages();

class ToolsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ToolsWindow(const QString& book, QWidget* parent = nullptr);

    ToolsSession& session() { return session_; }
    QTabWidget* tabs() const { return tabs_; }
    // The page of that key (see ToolPages), or nullptr.
    QWidget* page(const QString& key);
    // Shows the page of that key; false when there is none.
    bool showPage(const QString& key);
    // Files dropped or handed over by the desktop: into the 导入 page's preview.
    void previewFiles(const QStringList& files);

protected:
    // The pages are made when the window first shows, after the login: the
    // login window comes up without waiting for them.
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Closing (and Esc, as in a dialog) asks first where work would be lost.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildPages();
    void placeOnScreen();

    ToolsSession session_;
    QTabWidget* tabs_;
    QList<QWidget*> pages_;
    bool placed_ = false;
};
