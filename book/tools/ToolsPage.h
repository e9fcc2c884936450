#pragma once
// A page of the tools window that shows what the book holds: it reads the book
// when first shown, and again when shown after the book changed.

#include <QWidget>
#include <functional>

class ToolsSession;

class ToolsPage : public QWidget {
    Q_OBJECT
public:
    ToolsPage(ToolsSession& session, QWidget* parent);

protected:
    // reread reads the book again (and clears stale_); it runs when the page is
    // shown stale, and, where whileInView says so, as soon as the book changes in view.
    void followBook(std::function<void()> reread, bool whileInView);
    void showEvent(QShowEvent* event) override;

    ToolsSession& session_;
    bool stale_ = true;

private:
    std::function<void()> reread_;
};
