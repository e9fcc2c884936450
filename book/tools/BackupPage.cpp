#include "BackupPage.h"

#include "book/BackupBook.h"
#include "book/tools/ToolsSession.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int PathRole = Qt::UserRole;
}

BackupPage::BackupPage(ToolsSession& session, QWidget* parent)
    : ToolsPage(session, parent), table_(new QTableWidget(0, 4, this)),
      backup_(new QPushButton(QStringLiteral("立即备份(&B)"), this)),
      restore_(new QPushButton(QStringLiteral("恢复所选备份(&R)…"), this)),
      refresh_(new QPushButton(QStringLiteral("刷新(&U)"), this))
{
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("时间"), QStringLiteral("大小"), QStringLiteral("联系人"), QStringLiteral("文件")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(0, 180);
    table_->setColumnWidth(1, 100);
    table_->setColumnWidth(2, 90);

    auto* explain =
        new QLabel(QStringLiteral("备份放在通讯录旁（%1）。恢复前会先备份当前的通讯录；Tessaly 窗口打开时不能恢复。")
                       .arg(QDir::toNativeSeparators(QFileInfo(session_.book()).absolutePath())),
                   this);
    explain->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(backup_);
    buttons->addWidget(refresh_);
    buttons->addStretch(1);
    buttons->addWidget(restore_);
    auto* page = new QVBoxLayout(this);
    page->addWidget(explain);
    page->addLayout(buttons);
    page->addWidget(table_, 1);

    connect(backup_, &QPushButton::clicked, this, &BackupPage::backUpNow);
    connect(restore_, &QPushButton::clicked, this, &BackupPage::restoreSelected);
    connect(refresh_, &QPushButton::clicked, this, &BackupPage::refresh);
    followBook([this] { refresh(); }, false);
}

void BackupPage::refresh()
{
    stale_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<BackupEntry> backups = BackupsBeside(session_.book());
    QApplication::restoreOverrideCursor();
    const QLocale chinese(QLocale::Chinese);
    table_->setRowCount(int(backups.size()));
    for (int row = 0; row < int(backups.size()); ++row) {
        const BackupEntry& backup = backups[row];
        const QStringList cells{
            backup.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), chinese.formattedDataSize(backup.size),
            backup.contacts < 0 ? QStringLiteral("无法打开") : QStringLiteral("%1 个").arg(backup.contacts),
            QDir::toNativeSeparators(backup.path)};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setData(PathRole, backup.path);
            table_->setItem(row, column, item);
        }
    }
    if (!backups.isEmpty())
        table_->selectRow(0);
    restore_->setEnabled(!backups.isEmpty());
}

bool BackupPage::backUpNow()
{
    QString line;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool made = RunToolAction(
        [&] { line = BackupBook(session_.book(), FreeBackupPath(session_.book(), QDateTime::currentDateTime())); });
    QApplication::restoreOverrideCursor();
    if (made)
        ShowToolReport({line});
    refresh();
    return made;
}

bool BackupPage::restoreSelected()
{
    const QTableWidgetItem* item = table_->currentItem();
    if (!item) {
        ShowToolReport({QStringLiteral("请先在表中选择一个备份。")}, false);
        return false;
    }
    const QString backup = item->data(PathRole).toString();
    if (!AskTool(QStringLiteral("用备份 %1 替换当前的通讯录吗？\n当前的通讯录会先备份在它旁边。")
                     .arg(QDir::toNativeSeparators(backup))))
        return false;
    QStringList lines;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool restored = RunToolAction([&] { lines = RestoreBackup(session_.book(), backup); });
    QApplication::restoreOverrideCursor();
    refresh();
    if (!restored)
        return false;
    ShowToolReport(lines);
    emit session_.bookChanged();
    return true;
}
