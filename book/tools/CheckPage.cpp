#include "CheckPage.h"

#include "book/CheckBook.h"
#include "book/tools/ToolsSession.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CheckPage::CheckPage(ToolsSession& session, QWidget* parent)
    : ToolsPage(session, parent), result_(new QPlainTextEdit(this)),
      check_(new QPushButton(QStringLiteral("检查(&K)"), this))
{
    result_->setReadOnly(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(check_);
    buttons->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(buttons);
    page->addWidget(result_, 1);
    connect(check_, &QPushButton::clicked, this, &CheckPage::check);
    followBook([this] { check(); }, false);
}

bool CheckPage::check()
{
    stale_ = false;
    BookCheck checked;
    QStringList facts;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ran = RunToolAction([&] {
        checked = CheckBook(session_.book());
        facts = BookFileFacts(session_.book());
    });
    QApplication::restoreOverrideCursor();
    if (!ran) {
        result_->setPlainText(QStringLiteral("无法检查通讯录。"));
        return false;
    }
    QStringList lines = checked.lines;
    if (!checked.sound)
        lines << QStringLiteral("通讯录已损坏：请在“备份”页恢复一个备份。");
    result_->setPlainText((lines + facts).join(u'\n'));
    return checked.sound;
}
