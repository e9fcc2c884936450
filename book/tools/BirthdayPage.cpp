#include "BirthdayPage.h"

#include "book/BirthdayAutostart.h"
#include "book/BookFile.h"
#include "book/ExportBook.h"
#include "book/tools/TabChain.h"
#include "book/tools/ToolsSession.h"
#include "exchange/Formats.h"
#include "exchange/birthday/UpcomingBirthdays.h"
#include "platform/AppPaths.h"
#include "platform/Desktop.h"
#include "store/ContactSchema.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int ColumnAir = 16;

QTableWidget* makeTable(const QStringList& columns, QWidget* parent)
{
    auto* table = new QTableWidget(0, int(columns.size()), parent);
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void fill(QTableWidget* table, const QList<QStringList>& rows)
{
    table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows[row].size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(rows[row][column]));
    table->resizeColumnsToContents();
    // Some air between the columns: fitted to the header alone they touch (the last one stretches).
    for (int column = 0; column + 1 < table->columnCount(); ++column)
        table->setColumnWidth(column, table->columnWidth(column) + ColumnAir);
}

}  // namespace

BirthdayPage::BirthdayPage(ToolsSession& session, QWidget* parent)
    : ToolsPage(session, parent), days_(new QSpinBox(this)), upcoming_(makeTable(UpcomingBirthdayColumns(), this)),
      unreadTitle_(new QLabel(this)), unread_(makeTable(ContactTextColumns(), this)),
      export_(new QPushButton(QStringLiteral("导出生日日历(&E)…"), this)),
      reminder_(new QCheckBox(QString::fromUtf16(BirthdayAutostartSwitch) + QStringLiteral("(&R)"), this))
{
    days_->setRange(0, 366);
    days_->setValue(30);
    days_->setSuffix(QStringLiteral(" 天"));
    reminder_->setChecked(BirthdayAutostartIsOn());
    auto* notice = new QLabel(QString::fromUtf16(BirthdayAutostartNotice), this);
    notice->setWordWrap(true);

    auto* top = new QHBoxLayout;
    auto* daysLabel = new QLabel(QStringLiteral("今后(&D)："), this);
    daysLabel->setBuddy(days_);
    top->addWidget(daysLabel);
    top->addWidget(days_);
    top->addWidget(new QLabel(QStringLiteral("内过生日的联系人（农历生日按农历算）"), this));
    top->addStretch(1);
    top->addWidget(export_);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(upcoming_, 3);
    page->addWidget(unreadTitle_);
    page->addWidget(unread_, 1);
    page->addWidget(reminder_);
    page->addWidget(notice);

    SetTabChain({days_, export_, upcoming_, unread_, reminder_});
    connect(days_, &QSpinBox::valueChanged, this, &BirthdayPage::load);
    connect(export_, &QPushButton::clicked, this, &BirthdayPage::exportCalendar);
    connect(reminder_, &QCheckBox::toggled, this, &BirthdayPage::setReminder);
    followBook([this] { load(); }, true);
}

void BirthdayPage::load()
{
    stale_ = false;
    QList<ContactTexts> contacts;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunToolAction([&] { contacts = BookFile(session_.book()).texts(); });
    QApplication::restoreOverrideCursor();
    QList<QStringList> rows;
    for (const UpcomingBirthday& u : UpcomingBirthdays(contacts, QDate::currentDate(), days_->value()))
        rows << UpcomingBirthdayRow(u, contacts[u.contact]);
    fill(upcoming_, rows);
    rows.clear();
    for (const int i : UnreadBirthdays(contacts))
        rows << QStringList(contacts[i].begin(), contacts[i].end());
    fill(unread_, rows);
    unreadTitle_->setText(rows.isEmpty()
                              ? QStringLiteral("每个生日都读得懂。")
                              : QStringLiteral("读不懂的生日（%1 个，不算在上面，也不导出）：").arg(rows.size()));
}

bool BirthdayPage::exportCalendar()
{
    const ExportFormat* format = FindExportFormat(QStringLiteral("生日.ics"));
    const std::optional<QString> chosen = desktop().SaveFileName(
        this, QStringLiteral("%1 (*.%2)|*.%2").arg(format->description, format->extension), QStringLiteral("生日.ics"));
    if (!chosen || chosen->isEmpty())
        return false;
    const QString target = FindExportFormat(*chosen) == format ? *chosen : *chosen + u'.' + format->extension;
    QString report;
    if (!RunToolAction([&] {
            report = ExportBook(session_.book(), target, *format, nullptr, QStringLiteral("本页下方列出它们"));
        }))
        return false;
    ShowToolReport({report});
    return true;
}

void BirthdayPage::setReminder(bool on)
{
    // The book beside the program needs no name: the entry then follows the program.
    const QString book = session_.book() == DatabasePathFor(ExecutablePath()) ? QString() : session_.book();
    RunToolAction([&] { SetBirthdayAutostart(on, ExecutablePath(), book); });
    const QSignalBlocker quiet(reminder_);
    reminder_->setChecked(BirthdayAutostartIsOn());
}
