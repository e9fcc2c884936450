#include "DuplicatesPage.h"

#include "book/tools/TabChain.h"
#include "book/tools/ToolsSession.h"
#include "exchange/ContactFitting.h"
#include "photo/JpegCodec.h"
#include "store/ContactSchema.h"
#include "store/ListedRecords.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr QSize ThumbSize(64, 80);
const QColor DifferentColor(255, 236, 179);  // a row whose values are not all the same
const QColor MergedColor(226, 240, 217);     // the column of what 合并 writes

QString rowTitle(int row)
{
    return row == GroupChoice::PhotoRow ? QStringLiteral("照片") : ContactTextColumns().at(row);
}

QPixmap thumbnail(const QByteArray& photo)
{
    try {
        return QPixmap::fromImage(DecodeJpegToFit(photo, ThumbSize));
    } catch (const std::exception&) {
        return {};
    }
}

// A refused merge sends the person to this page's own button, not to the command.
const ListingWords& listing()
{
    static const ListingWords words{QString(), QStringLiteral("请点“重新查找”再合并")};
    return words;
}

QString groupTitle(const GroupChoice& group)
{
    QStringList names;
    for (const StoredContact& record : group.group().records)
        if (!names.contains(record.text(ContactText::Name)))
            names << record.text(ContactText::Name);
    return QStringLiteral("%1（%2）").arg(names.join(QStringLiteral(" / ")), group.group().reasons.join(u'、'));
}

// A cell of the table: text or a photo, ticked when it is the value that stays.
QTableWidgetItem* cell(const QString& text, const QByteArray& photo, bool photoRow)
{
    auto* item = new QTableWidgetItem(photoRow && photo.isEmpty() ? QStringLiteral("（无照片）") : text);
    item->setToolTip(text);
    if (photoRow && !photo.isEmpty()) {
        const QPixmap shown = thumbnail(photo);
        if (shown.isNull())
            item->setText(QStringLiteral("照片无法显示"));
        item->setData(Qt::DecorationRole, shown);
    }
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}
}  // namespace

DuplicatesPage::DuplicatesPage(ToolsSession& session, QWidget* parent)
    : QWidget(parent), session_(session), list_(new QListWidget(this)), count_(new QLabel(this)),
      reasons_(new QLabel(this)), table_(new QTableWidget(this)),
      refresh_(new QPushButton(QStringLiteral("重新查找(&R)"), this)),
      split_(new QPushButton(QStringLiteral("移出本组(&X)"), this)),
      merge_(new QPushButton(QStringLiteral("合并本组(&M)…"), this)), result_(new QLabel(this))
{
    table_->setRowCount(GroupChoice::RowCount);
    QStringList rows;
    for (int row = 0; row < GroupChoice::RowCount; ++row)
        rows << rowTitle(row);
    table_->setVerticalHeaderLabels(rows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(true);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(30);
    table_->setRowHeight(int(ContactText::Note), 72);
    table_->setRowHeight(GroupChoice::PhotoRow, ThumbSize.height() + 8);
    table_->setIconSize(ThumbSize);
    table_->setToolTip(QStringLiteral("方向键选格，空格或回车勾选要保留的值"));
    list_->setMinimumWidth(210);
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* explain =
        new QLabel(QStringLiteral("同一电话、邮箱或 QQ，或写法不同的同一姓名再加一项相同的值，可能是同一个人。"
                                  "每行勾选合并后保留的值（黄色：各条不同），未选的值记入备注，不会丢失；"
                                  "不是同一个人的记录请移出本组。每次只合并一组，合并前先备份通讯录。"),
                   this);
    explain->setWordWrap(true);
    auto* groupsLabel = new QLabel(QStringLiteral("分组(&G)："), this);
    groupsLabel->setBuddy(list_);
    auto* tableLabel = new QLabel(QStringLiteral("对照(&T)："), this);
    tableLabel->setBuddy(table_);

    auto* left = new QVBoxLayout;
    auto* listHead = new QHBoxLayout;
    listHead->addWidget(groupsLabel);
    listHead->addStretch(1);
    listHead->addWidget(count_);
    left->addLayout(listHead);
    left->addWidget(list_, 1);
    left->addWidget(refresh_);
    auto* right = new QVBoxLayout;
    auto* tableHead = new QHBoxLayout;
    tableHead->addWidget(tableLabel);
    tableHead->addWidget(reasons_, 1);
    right->addLayout(tableHead);
    right->addWidget(table_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(split_);
    buttons->addStretch(1);
    buttons->addWidget(merge_);
    right->addLayout(buttons);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(explain);
    page->addLayout(body, 1);
    page->addWidget(result_);

    SetTabChain({list_, refresh_, table_, split_, merge_});

    connect(refresh_, &QPushButton::clicked, this, &DuplicatesPage::load);
    connect(split_, &QPushButton::clicked, this, &DuplicatesPage::splitCurrent);
    connect(merge_, &QPushButton::clicked, this, &DuplicatesPage::mergeSelected);
    connect(list_, &QListWidget::currentRowChanged, this, &DuplicatesPage::showGroup);
    connect(table_, &QTableWidget::itemChanged, this, &DuplicatesPage::cellChanged);
    // Enter or a double click ticks the cell, as Space does.
    connect(table_, &QTableWidget::itemActivated, this, [this](QTableWidgetItem* item) {
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(Qt::Checked);
    });
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int, int column) { split_->setEnabled(current() && column >= 0 && column < mergedColumn()); });
    connect(&session_, &ToolsSession::bookChanged, this, [this] {
        if (merging_)
            return;
        // A restore or an import: the merge named may no longer be undone by its backup.
        result_->clear();
        stale_ = true;
        if (isVisible())
            load();
    });
}

void DuplicatesPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (stale_)
        load();
    list_->setFocus();
}

void DuplicatesPage::load()
{
    stale_ = false;
    QList<GroupChoice> found;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunToolAction([&] {
        BookFile book(session_.book());
        noteWidth_ = ContactWidths(book.query)[int(ContactText::Note)];
        for (ListedGroup& group : ListDuplicates(book.connection))
            found << GroupChoice(std::move(group));
    });
    QApplication::restoreOverrideCursor();
    found_ = std::move(found);
    fillList();
}

void DuplicatesPage::fillList()
{
    const int row = std::min(list_->currentRow(), int(found_.size()) - 1);
    list_->clear();
    for (const GroupChoice& group : std::as_const(found_))
        list_->addItem(groupTitle(group));
    count_->setText(QStringLiteral("%1 组").arg(found_.size()));
    list_->setCurrentRow(std::max(row, 0));
    showGroup();
}

const GroupChoice* DuplicatesPage::current() const
{
    const int row = list_->currentRow();
    return row >= 0 && row < found_.size() ? &found_[row] : nullptr;
}

int DuplicatesPage::mergedColumn() const
{
    return current() ? current()->size() : 0;
}

void DuplicatesPage::showGroup()
{
    fillTable();
    const bool shown = current() != nullptr;
    merge_->setEnabled(shown);
    // The first record is the one 移出本组 takes until another column is chosen.
    if (shown)
        table_->setCurrentCell(int(ContactText::Name), 0);
    split_->setEnabled(shown);
    reasons_->setText(shown ? QStringLiteral("相同的：%1").arg(current()->group().reasons.join(u'、'))
                            : QStringLiteral("没有可能重复的联系人"));
}

void DuplicatesPage::fillTable()
{
    filling_ = true;
    const GroupChoice* group = current();
    const int records = group ? group->size() : 0;
    table_->setColumnCount(group ? records + 1 : 0);
    if (group) {
        QStringList headers;
        for (qint64 number : group->group().numbers)
            headers << QStringLiteral("编号 %1").arg(number);
        headers << QStringLiteral("合并后");
        table_->setHorizontalHeaderLabels(headers);
        for (int row = 0; row < GroupChoice::RowCount; ++row) {
            const bool photoRow = row == GroupChoice::PhotoRow;
            for (int r = 0; r < records; ++r) {
                const StoredContact& record = group->group().records[r];
                QTableWidgetItem* item = cell(photoRow ? QString() : record.texts[row], record.photo, photoRow);
                if (group->canPick(row, r))
                    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                if (group->differs(row))
                    item->setBackground(DifferentColor);
                table_->setItem(row, r, item);
            }
        }
    }
    filling_ = false;
    showChoices();
}

void DuplicatesPage::showChoices()
{
    const GroupChoice* group = current();
    if (!group)
        return;
    filling_ = true;
    const int records = group->size();
    for (int row = 0; row < GroupChoice::RowCount; ++row)
        for (int r = 0; r < records; ++r)
            if (group->canPick(row, r))
                table_->item(row, r)->setCheckState(group->picked(row) == r ? Qt::Checked : Qt::Unchecked);
    const MergedContact merged = group->merged(noteWidth_);
    for (int row = 0; row < GroupChoice::RowCount; ++row) {
        const bool photoRow = row == GroupChoice::PhotoRow;
        QTableWidgetItem* item = cell(photoRow ? QString() : merged.texts[row], merged.photo, photoRow);
        if (row == int(ContactText::Note) && !merged.keptAside.isEmpty())
            item->setToolTip(
                item->text()
                + QStringLiteral("\n备注已满：另有 %1 项另行保存，导出时一并写出").arg(merged.keptAside.size()));
        item->setBackground(MergedColor);
        table_->setItem(row, records, item);
    }
    filling_ = false;
}

void DuplicatesPage::cellChanged(QTableWidgetItem* item)
{
    if (filling_ || !current() || item->column() >= mergedColumn())
        return;
    if (item->checkState() == Qt::Checked)
        found_[list_->currentRow()].pick(item->row(), item->column());
    // One tick a row: the others go off, and a tick taken off comes back. The
    // cells stay (this one is still being changed); only their ticks and the
    // merged column change.
    showChoices();
}

bool DuplicatesPage::splitCurrent()
{
    const int column = table_->currentColumn();
    if (!current() || column < 0 || column >= mergedColumn())
        return false;
    const int row = list_->currentRow();
    // Remembered in the book: the record stays out of this group when it is listed again.
    QList<qint64> others = found_[row].group().numbers;
    const qint64 record = others.takeAt(column);
    if (!RunToolAction([&] {
            BookFile book(session_.book());
            StoreApart(book.connection.Handle(), record, others);
        }))
        return false;
    found_[row].split(column);
    // A record alone is no group any more.
    if (found_[row].size() < 2)
        found_.removeAt(row);
    fillList();
    list_->setCurrentRow(std::min(row, int(found_.size()) - 1));
    return true;
}

bool DuplicatesPage::mergeSelected()
{
    const GroupChoice* group = current();
    if (!group)
        return false;
    QStringList others;
    for (qint64 number : group->group().numbers.mid(1))
        others << QString::number(number);
    if (!AskTool(QStringLiteral("把编号 %1 并入编号 %2，合并为一条吗？\n合并前会先备份通讯录。")
                     .arg(others.join(u'、'))
                     .arg(group->group().numbers.first())))
        return false;
    MergeOutcome outcome;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool merged = RunToolAction([&] {
        BookFile book(session_.book());
        outcome = MergeListed(book, session_.book(), group->group().numbers, group->choice(), listing());
    });
    QApplication::restoreOverrideCursor();
    if (!merged)
        return false;
    QString text =
        QStringLiteral("已把编号 %1 并入编号 %2（%3）。合并前的通讯录已备份到：\n%4\n恢复它（备份页）即可撤销合并。")
            .arg(others.join(u'、'))
            .arg(group->group().numbers.first())
            .arg(outcome.name, QDir::toNativeSeparators(outcome.backup));
    if (outcome.keptAside > 0)
        text += QStringLiteral("备注已满：%1 项另行保存，导出时一并写出。").arg(outcome.keptAside);
    result_->setText(text);
    found_.removeAt(list_->currentRow());
    fillList();
    merging_ = true;
    emit session_.bookChanged();
    merging_ = false;
    return true;
}
