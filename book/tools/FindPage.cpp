#include "FindPage.h"

#include "book/ContactScan.h"
#include "book/tools/FoundModel.h"
#include "book/tools/TabChain.h"
#include "book/tools/ToolsSession.h"
#include "exchange/QrCode.h"
#include "photo/JpegCodec.h"
#include "store/ContactSchema.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr QSize PhotoSize(130, 160);
constexpr QSize QrSize(160, 160);

QPixmap qrOf(const StoredContact& contact)
{
    const QImage code = QrImage(EncodeQr(ContactQrText(contact)), 1);
    // Whole pixels per module keep the code sharp enough for a camera on the screen.
    const int scale = std::max(1, QrSize.width() / std::max(1, code.width()));
    return QPixmap::fromImage(code.scaled(code.size() * scale, Qt::KeepAspectRatio, Qt::FastTransformation));
}
}  // namespace

FindPage::FindPage(ToolsSession& session, QWidget* parent)
    : ToolsPage(session, parent), field_(new QLineEdit(this)), count_(new QLabel(this)), table_(new QTableView(this)),
      model_(new FoundModel(this)), photo_(new QLabel(this)), qr_(new QLabel(this)), note_(new QPlainTextEdit(this)),
      kept_(new QPlainTextEdit(this))
{
    field_->setPlaceholderText(QStringLiteral("姓名、电话、地址……或姓名的拼音（如 zs 找到张三）"));
    field_->setClearButtonEnabled(true);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {50, 70, 80, 120, 80, 110};
    for (int column = 0; column < int(std::size(widths)); ++column)
        table_->setColumnWidth(column, widths[column]);
    photo_->setFixedSize(PhotoSize);
    photo_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    photo_->setAlignment(Qt::AlignCenter);
    qr_->setFixedSize(QrSize);
    qr_->setAlignment(Qt::AlignCenter);
    qr_->setToolTip(QStringLiteral("用手机相机扫描，即可把这个联系人加入手机通讯录"));
    note_->setReadOnly(true);
    kept_->setReadOnly(true);
    kept_->setMinimumHeight(60);  // shares the height left with 备注
    kept_->setToolTip(QStringLiteral("导入时备注放不下而另外保存在通讯录文件中的值；窗口程序不显示，导出时会带上"));
    // Down in the field goes to the contacts found, as in a list that drops down.
    field_->installEventFilter(this);

    auto* search = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("查找(&F)："), this);
    label->setBuddy(field_);
    search->addWidget(label);
    search->addWidget(field_, 1);
    search->addWidget(count_);
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* details = new QFormLayout;
    for (int i = 0; i < int(texts_.size()); ++i) {
        texts_[size_t(i)] = new QLineEdit(this);
        texts_[size_t(i)]->setReadOnly(true);
        details->addRow(ContactTextColumns().at(i) + QStringLiteral("："), texts_[size_t(i)]);
    }
    details->addRow(ContactTextColumn(ContactText::Note) + QStringLiteral("："), note_);
    details->addRow(QStringLiteral("其他资料："), kept_);
    auto* side = new QVBoxLayout;
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(photo_);
    pictures->addWidget(qr_);
    side->addLayout(pictures);
    side->addLayout(details, 1);
    auto* sideBox = new QWidget(this);
    sideBox->setLayout(side);
    sideBox->setFixedWidth(320);

    auto* body = new QHBoxLayout;
    body->addWidget(table_, 1);
    body->addWidget(sideBox);
    auto* page = new QVBoxLayout(this);
    page->addLayout(search);
    page->addLayout(body, 1);

    SetTabChain({field_, table_, texts_[0], texts_[1], texts_[2], texts_[3], texts_[4], texts_[5], note_, kept_});
    connect(field_, &QLineEdit::textChanged, this, &FindPage::typed);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &FindPage::showSelected);
    connect(model_, &QAbstractItemModel::modelReset, this, &FindPage::showSelected);
    followBook([this] { load(); }, true);
}

void FindPage::showEvent(QShowEvent* event)
{
    ToolsPage::showEvent(event);
    field_->setFocus();
}

bool FindPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down
        && model_->rowCount() > 0) {
        table_->setFocus();
        table_->selectRow(0);
        return true;
    }
    return ToolsPage::eventFilter(watched, event);
}

void FindPage::load()
{
    stale_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ContactIndex index;
    RunToolAction([&] { index = ContactIndex(session_.book()); });
    QApplication::restoreOverrideCursor();
    model_->setIndex(std::move(index));
    typed();
}

void FindPage::typed()
{
    model_->find(field_->text());
    count_->setText(QStringLiteral("%1 个").arg(model_->rowCount()));
    // The count keeps the room of the widest it showed (the whole book, first):
    // never cut, and the field does not jump as one types.
    count_->setMinimumWidth(std::max(count_->minimumWidth(), count_->sizeHint().width()));
}

QStringList FindPage::shownTexts() const
{
    QStringList shown;
    for (QLineEdit* text : texts_)
        shown << text->text();
    shown << note_->toPlainText();
    return shown;
}

QString FindPage::keptText() const
{
    return kept_->toPlainText();
}

void FindPage::showSelected()
{
    const QModelIndex current = table_->selectionModel()->currentIndex();
    std::optional<StoredContact> contact;
    if (current.isValid())
        RunToolAction([&] {
            contact = ReadContact(session_.book(), model_->contacts().rowid(model_->contactAt(current.row())));
        });
    for (int i = 0; i < int(texts_.size()); ++i)
        texts_[size_t(i)]->setText(contact ? contact->texts[size_t(i)] : QString());
    note_->setPlainText(contact ? contact->text(ContactText::Note) : QString());
    QStringList kept;
    if (contact)
        for (const DraftExtra& value : contact->kept)
            kept << value.label + u':' + value.value;
    kept_->setPlainText(kept.join(u'\n'));
    photo_->clear();
    qr_->clear();
    if (!contact)
        return;
    try {
        qr_->setPixmap(qrOf(*contact));
    } catch (const ExchangeError&) {
        qr_->setText(QStringLiteral("内容太多，\n无法生成二维码"));
    }
    if (contact->photo.isEmpty())
        return;
    try {
        photo_->setPixmap(QPixmap::fromImage(DecodeJpegToFit(contact->photo, PhotoSize - QSize(4, 4))));
    } catch (const std::exception&) {
        photo_->setText(QStringLiteral("照片无法显示"));
    }
}
