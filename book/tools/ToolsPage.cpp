#include "ToolsPage.h"

#include "book/tools/ToolsSession.h"

ToolsPage::ToolsPage(ToolsSession& session, QWidget* parent) : QWidget(parent), session_(session) {}

void ToolsPage::followBook(std::function<void()> reread, bool whileInView)
{
    reread_ = std::move(reread);
    connect(&session_, &ToolsSession::bookChanged, this, [this, whileInView] {
        stale_ = true;
        if (whileInView && isVisible())
            reread_();
    });
}

void ToolsPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (stale_ && reread_)
        reread_();
}
