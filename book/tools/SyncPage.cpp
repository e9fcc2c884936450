#include "SyncPage.h"

#include "book/tools/ProgressPanel.h"
#include "book/tools/SyncJob.h"
#include "book/tools/TabChain.h"
#include "book/tools/ToolsSession.h"
#include "store/SyncTables.h"
#include "sync/SyncAccount.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum ConflictColumn { RecordColumn, FieldColumn, BookColumn, ServerColumn, KeepColumn, ColumnCount };
constexpr int RecRole = Qt::UserRole;
constexpr int FieldRole = Qt::UserRole + 1;

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setToolTip(text);
    return item;
}

}  // namespace

SyncPage::SyncPage(ToolsSession& session, QWidget* parent)
    : ToolsPage(session, parent), server_(new QLineEdit(this)), user_(new QLineEdit(this)),
      password_(new QLineEdit(this)), find_(new QPushButton(QStringLiteral("查找地址簿(&F)"), this)),
      books_(new QComboBox(this)), last_(new QLabel(this)),
      sync_(new QPushButton(QStringLiteral("立即同步(&S)"), this)), report_(new QPlainTextEdit(this)),
      conflicts_(new QTableWidget(0, ColumnCount, this)),
      keep_(new QPushButton(QStringLiteral("按所选保留并同步(&K)"), this)), progress_(new ProgressPanel(this)),
      watch_(new QTimer(this))
{
    server_->setPlaceholderText(QStringLiteral("https://dav.example.cn/ （手机同步用的 CardDAV 地址）"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setPlaceholderText(QStringLiteral("已存入钥匙环时可不填"));
    books_->setMinimumContentsLength(30);
    report_->setReadOnly(true);
    conflicts_->setHorizontalHeaderLabels({QStringLiteral("编号 姓名"), QStringLiteral("项目"),
                                           QStringLiteral("通讯录"), QStringLiteral("服务器"), QStringLiteral("保留")});
    conflicts_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    conflicts_->horizontalHeader()->setSectionResizeMode(BookColumn, QHeaderView::Stretch);
    conflicts_->horizontalHeader()->setSectionResizeMode(ServerColumn, QHeaderView::Stretch);
    conflicts_->verticalHeader()->hide();

    auto* explain = new QLabel(QStringLiteral("与手机共用个人 CardDAV "
                                              "服务器（Radicale、Nextcloud、群晖等）上的一个地址簿，两边"
                                              "的改动互相同步，"
                                              "什么都不丢。两边改了同一项时由您选择保留哪一边。"),
                               this);
    explain->setWordWrap(true);
    auto* form = new QFormLayout;
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(server_, 1);
    serverRow->addWidget(find_);
    auto* serverLabel = new QLabel(QStringLiteral("服务器(&V)："), this);
    serverLabel->setBuddy(server_);
    form->addRow(serverLabel, serverRow);
    form->addRow(QStringLiteral("用户名(&N)："), user_);
    form->addRow(QStringLiteral("密码(&P)："), password_);
    form->addRow(QStringLiteral("地址簿(&A)："), books_);
    form->addRow(QStringLiteral("上次同步："), last_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sync_);
    buttons->addStretch(1);
    auto* conflictButtons = new QHBoxLayout;
    conflictButtons->addWidget(new QLabel(QStringLiteral("两边都改了的项目："), this));
    conflictButtons->addStretch(1);
    conflictButtons->addWidget(keep_);
    auto* page = new QVBoxLayout(this);
    page->addWidget(explain);
    page->addLayout(form);
    page->addLayout(buttons);
    page->addWidget(report_, 1);
    page->addLayout(conflictButtons);
    page->addWidget(conflicts_, 1);
    page->addWidget(progress_);

    watch_->setInterval(100);
    SetTabChain(
        {server_, find_, user_, password_, books_, sync_, report_, conflicts_, keep_, progress_->cancelButton()});
    connect(find_, &QPushButton::clicked, this, &SyncPage::findBooks);
    connect(sync_, &QPushButton::clicked, this, [this] { syncNow(); });
    connect(keep_, &QPushButton::clicked, this, &SyncPage::keepChosen);
    connect(progress_, &ProgressPanel::cancelRequested, this, [this] {
        if (job_)
            job_->cancel();
    });
    connect(watch_, &QTimer::timeout, this, [this] {
        if (job_)
            progress_->report(job_->done(), job_->step());
    });
    followBook([this] { refresh(); }, false);
}

SyncPage::~SyncPage() = default;

void SyncPage::refresh()
{
    stale_ = false;
    RunToolAction([&] {
        TADOConnection book{QStringLiteral("通讯录")};
        OpenBookConnection(book, session_.book());
        const SyncAccount account = ReadSyncAccount(book.Handle());
        server_->setText(account.server.toString());
        user_->setText(account.user);
        books_->clear();
        if (account.isSetUp())
            books_->addItem(account.book.toString(), account.book.toString());
        const QString last = LastSync(book.Handle());
        last_->setText(last.isEmpty() ? QStringLiteral("还没有同步过") : last);
    });
    showConflicts();
    setBusy(false);
}

ServerAccess SyncPage::access() const
{
    ServerAccess access;
    if (!password_->text().isEmpty())
        access.password = password_->text();
    return access;
}

void SyncPage::findBooks()
{
    const QUrl server = QUrl::fromUserInput(server_->text().trimmed());
    const QString user = user_->text().trimmed();
    if (!server.isValid() || server_->text().trimmed().isEmpty() || user.isEmpty()) {
        ShowToolReport({QStringLiteral("请填写服务器地址和用户名。")}, false);
        return;
    }
    const QString choice = books_->currentData().toString();
    auto outcome = std::make_shared<SetupOutcome>();
    const ServerAccess given = access();
    SyncBackend backend_ = backend;
    startJob(QStringLiteral("查找地址簿"),
             new SyncJob(session_.book(), [=](TADOConnection& book, SyncBookFile&, const SyncOptions& o) {
                 ServerAccess a = given;
                 a.cancelled = o.cancelled;
                 *outcome = backend_.setUp(book, server, user, choice, a);
             }));
    after_ = [this, outcome] {
        report_->setPlainText(outcome->lines.join(u'\n'));
        if (outcome->chosen) {
            refresh();
            return;
        }
        books_->clear();
        for (const AddressBookChoice& found : outcome->found)
            books_->addItem(found.name.isEmpty() ? found.url.toString()
                                                 : found.name + QStringLiteral("  ") + found.url.toString(),
                            found.url.toString());
        if (!outcome->found.isEmpty())
            report_->appendPlainText(QStringLiteral("请在“地址簿”中选一个，再按“查找地址簿”。"));
    };
}

void SyncPage::syncNow(bool allowDeletes)
{
    auto report = std::make_shared<SyncReport>();
    const ServerAccess given = access();
    SyncBackend backend_ = backend;
    const QString path = session_.book();
    startJob(QStringLiteral("同步"),
             new SyncJob(path, [=](TADOConnection& book, SyncBookFile& side, const SyncOptions& o) {
                 SyncOptions options = o;
                 options.allowDeletes = allowDeletes;
                 ServerAccess a = given;
                 a.cancelled = o.cancelled;
                 *report = backend_.sync(book, side, path, a, options);
             }));
    after_ = [this, report, allowDeletes] { showReport(*report, allowDeletes); };
}

void SyncPage::keepChosen()
{
    RunToolAction([&] {
        TADOConnection book{QStringLiteral("通讯录")};
        OpenBookConnection(book, session_.book());
        SyncBookFile side(book, session_.book());
        for (int row = 0; row < conflicts_->rowCount(); ++row) {
            const auto* choice = qobject_cast<QComboBox*>(conflicts_->cellWidget(row, KeepColumn));
            const QTableWidgetItem* item = conflicts_->item(row, RecordColumn);
            if (!choice || !item || choice->currentIndex() <= 0)
                continue;
            ChooseSyncSide(side, item->data(RecRole).toLongLong(),
                           choice->currentIndex() == 1 ? Side::Book : Side::Server,
                           SyncField(item->data(FieldRole).toInt()));
        }
    });
    syncNow();
}

void SyncPage::startJob(const QString& what, SyncJob* job)
{
    job_ = job;
    job_->setParent(this);
    connect(job_, &SyncJob::finished, this, &SyncPage::jobFinished);
    setBusy(true);
    report_->clear();
    progress_->startInBackground(what, 0);
    watch_->start();
    job_->start();
}

void SyncPage::jobFinished()
{
    watch_->stop();
    progress_->finish();
    SyncJob* job = std::exchange(job_, nullptr);
    const QString failure = job->failure();
    job->deleteLater();
    setBusy(false);
    if (failure.isEmpty() && after_)
        after_();
    else if (!failure.isEmpty())
        ShowToolReport({failure}, false);
    after_ = nullptr;
    emit jobEnded();
}

void SyncPage::showReport(const SyncReport& report, bool allowDeletes)
{
    QStringList lines = report.lines;
    if (!report.backup.isEmpty())
        lines << QStringLiteral("同步删除联系人之前，通讯录已备份到 %1").arg(report.backup);
    lines << report.summary();
    report_->setPlainText(lines.join(u'\n'));
    refresh();
    if (report.uploaded + report.downloaded + report.deleted > 0)
        emit session_.bookChanged();
    if (report.stoppedForDeletes && !allowDeletes
        && AskTool(report.deletesWarning + QStringLiteral("\n\n仍要同步吗？")))
        syncNow(true);
}

void SyncPage::showConflicts()
{
    conflicts_->setRowCount(0);
    QList<SyncConflict> conflicts;
    RunToolAction([&] {
        TADOConnection book{QStringLiteral("通讯录")};
        OpenBookConnection(book, session_.book());
        SyncBookFile side(book, session_.book());
        conflicts = ReadSyncConflicts(side);
    });
    for (const SyncConflict& c : conflicts) {
        for (SyncField field : c.fields) {
            const int row = conflicts_->rowCount();
            conflicts_->insertRow(row);
            QTableWidgetItem* who = cell(QStringLiteral("%1 %2").arg(c.rec).arg(c.book.text(ContactText::Name)));
            who->setData(RecRole, c.rec);
            who->setData(FieldRole, int(field));
            conflicts_->setItem(row, RecordColumn, who);
            conflicts_->setItem(row, FieldColumn, cell(SyncFieldName(field)));
            conflicts_->setItem(row, BookColumn, cell(FieldText(c.book, field)));
            conflicts_->setItem(row, ServerColumn, cell(FieldText(c.server, field)));
            auto* choice = new QComboBox(conflicts_);
            choice->addItems({QStringLiteral("未选"), QStringLiteral("通讯录的"), QStringLiteral("服务器的")});
            if (c.choices.contains(field))
                choice->setCurrentIndex(c.choices.value(field) == Side::Book ? 1 : 2);
            conflicts_->setCellWidget(row, KeepColumn, choice);
        }
    }
    conflicts_->resizeColumnToContents(RecordColumn);
    conflicts_->resizeColumnToContents(FieldColumn);
    keep_->setEnabled(conflicts_->rowCount() > 0 && !job_);
}

void SyncPage::setBusy(bool busy)
{
    for (QWidget* w : std::initializer_list<QWidget*>{server_, user_, password_, find_, books_, sync_})
        w->setEnabled(!busy);
    keep_->setEnabled(!busy && conflicts_->rowCount() > 0);
}
