#include "PrintPage.h"

#include "book/BookFile.h"
#include "book/PrintBook.h"
#include "book/tools/ProgressPanel.h"
#include "book/tools/ToolsSession.h"
#include "exchange/Formats.h"
#include "platform/Desktop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPixmap>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int PreviewHeight = 540;  // the page as the preview shows it, in pixels
constexpr int TypingPauseMs = 250;  // the preview follows a search once typing pauses

const QString AllCategories = QStringLiteral("全部联系人");

// The preview's photos, read from the book when a card shows them.
PhotoSource previewPhotos(const QString& book)
{
    return [book](const QList<qint64>& rowids) {
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, book);
        return BookPhotos(connection)(rowids);
    };
}

}  // namespace

PrintPage::PrintPage(ToolsSession& session, QWidget* parent)
    : ToolsPage(session, parent), style_(new QComboBox(this)), category_(new QComboBox(this)),
      find_(new QLineEdit(this)), preview_(new QLabel(this)), page_(new QSpinBox(this)), pages_(new QLabel(this)),
      save_(new QPushButton(QStringLiteral("保存为 PDF(&S)…"), this)),
      print_(new QPushButton(QStringLiteral("打印(&P)…"), this)), progress_(new ProgressPanel(this)),
      result_(new QLabel(this)), later_(new QTimer(this))
{
    for (PrintStyle style : {PrintStyle::List, PrintStyle::Cards})
        style_->addItem(PrintStyleName(style)
                        + (style == PrintStyle::List ? QStringLiteral("（按拼音排的两栏名单）")
                                                     : QStringLiteral("（每页八张，带照片）")));
    category_->addItem(AllCategories);
    find_->setPlaceholderText(QStringLiteral("姓名、电话或拼音，如 zs"));
    find_->setClearButtonEnabled(true);
    const PrintChoice defaults;
    auto* ticks = new QGroupBox(QStringLiteral("打印的内容"), this);
    auto* grid = new QGridLayout(ticks);
    for (int c = 0; c < PrintColumnCount; ++c) {
        auto* box = new QCheckBox(PrintColumnName(PrintColumn(c)), ticks);
        box->setChecked((defaults.columns >> c) & 1u);
        grid->addWidget(box, c / 2, c % 2);
        columns_ << box;
        connect(box, &QCheckBox::toggled, this, &PrintPage::choiceChanged);
    }
    preview_->setFixedSize(qRound(PreviewHeight / std::sqrt(2.0)), PreviewHeight);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    page_->setRange(1, 1);
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    later_->setSingleShot(true);

    auto* form = new QFormLayout;
    const auto labelled = [&](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        form->addRow(label, buddy);
    };
    labelled(QStringLiteral("样式(&Y)："), style_);
    labelled(QStringLiteral("类别(&L)："), category_);
    labelled(QStringLiteral("查找(&F)："), find_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(print_);
    buttons->addStretch(1);
    auto* left = new QVBoxLayout;
    auto* explain = new QLabel(QStringLiteral("把通讯录打印成按拼音排的名单或名片，保存为 PDF 或送到打印机。"), this);
    explain->setWordWrap(true);
    left->addWidget(explain);
    left->addLayout(form);
    left->addWidget(ticks);
    left->addLayout(buttons);
    left->addWidget(result_);
    left->addStretch(1);
    auto* pageRow = new QHBoxLayout;
    auto* pageLabel = new QLabel(QStringLiteral("预览 第(&N)"), this);
    pageLabel->setBuddy(page_);
    pageRow->addWidget(pageLabel);
    pageRow->addWidget(page_);
    pageRow->addWidget(pages_);
    pageRow->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addLayout(pageRow);
    right->addWidget(preview_);
    right->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(right);
    auto* page = new QVBoxLayout(this);
    page->addLayout(body, 1);
    page->addWidget(progress_);

    // Tab goes down the choices, the ticks, the buttons, then to the preview's page.
    QList<QWidget*> chain{style_, category_, find_};
    chain << QList<QWidget*>(columns_.begin(), columns_.end()) << save_ << print_ << page_;
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);

    connect(style_, &QComboBox::currentIndexChanged, this, &PrintPage::styleChanged);
    connect(category_, &QComboBox::currentIndexChanged, this, &PrintPage::choiceChanged);
    connect(find_, &QLineEdit::textChanged, this, [this] { later_->start(TypingPauseMs); });
    connect(later_, &QTimer::timeout, this, &PrintPage::followChoice);
    connect(page_, &QSpinBox::valueChanged, this, &PrintPage::showPreview);
    connect(save_, &QPushButton::clicked, this, &PrintPage::savePdf);
    connect(print_, &QPushButton::clicked, this, &PrintPage::printNow);
    styleChanged();
    followBook([this] { reload(); }, true);
}

PrintChoice PrintPage::choice() const
{
    PrintChoice choice;
    choice.style = style_->currentIndex() == 1 ? PrintStyle::Cards : PrintStyle::List;
    choice.category = category_->currentIndex() > 0 ? category_->currentText() : QString();
    choice.find = find_->text().trimmed();
    for (int c = 0; c < PrintColumnCount; ++c)
        choice.show(PrintColumn(c), columns_[c]->isChecked());
    return choice;
}

void PrintPage::styleChanged()
{
    enableTicks();
    choiceChanged();
}

void PrintPage::enableTicks()
{
    const PrintStyle style = choice().style;
    for (int c = 0; c < PrintColumnCount; ++c) {
        const PrintColumn column = PrintColumn(c);
        columns_[c]->setEnabled(PrintColumnApplies(style, column) && PrintColumnOptional(style, column));
        // The list always shows 电话; its box says so while the list is chosen.
        if (!PrintColumnOptional(style, column))
            columns_[c]->setChecked(true);
    }
}

void PrintPage::choiceChanged()
{
    // Several changes in a row (a style that ticks a box) make one preview.
    later_->start(0);
}

void PrintPage::followChoice()
{
    const PrintChoice chosen = choice();
    if (chosen.category != readCategory_ || chosen.find != readFind_)
        refresh();
    else
        showPreview();
}

void PrintPage::reload()
{
    stale_ = false;
    const QString chosen = category_->currentText();
    QStringList categories;
    RunToolAction([&] {
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, session_.book());
        categories = BookCategories(connection);
    });
    const QSignalBlocker quiet(category_);
    category_->clear();
    category_->addItem(AllCategories);
    category_->addItems(categories);
    category_->setCurrentIndex(std::max(0, category_->findText(chosen)));
    refresh();
}

void PrintPage::refresh()
{
    later_->stop();
    const PrintChoice chosen = choice();
    std::vector<PrintedContact> read;
    RunToolAction([&] {
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, session_.book());
        read = ReadPrintedContacts(connection, chosen, true);
    });
    contacts_ = std::move(read);
    readCategory_ = chosen.category;
    readFind_ = chosen.find;
    showPreview();
}

void PrintPage::showPreview()
{
    const qreal dpi = 2 * PreviewHeight / QPageSize(QPageSize::A4).size(QPageSize::Inch).height();
    int pages = 1;
    const QImage page =
        PrintPreviewPage(contacts_, choice(), previewPhotos(session_.book()), page_->value() - 1, dpi, &pages);
    // Drawn at twice the size and shrunk, so the small text stays readable.
    preview_->setPixmap(
        QPixmap::fromImage(page.scaled(preview_->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    const QSignalBlocker quiet(page_);
    page_->setRange(1, pages);
    pages_->setText(QStringLiteral("页，共 %1 页（%2 个联系人）").arg(pages).arg(contacts_.size()));
}

bool PrintPage::runJob(const std::function<QString(const PrintProgress&)>& job)
{
    if (working_)
        return false;
    working_ = true;
    // Nothing changes the choice while it prints: the ticks are held with the rest.
    QList<QWidget*> held{style_, category_, find_, save_, print_, page_};
    for (QCheckBox* box : std::as_const(columns_))
        held << box;
    for (QWidget* widget : held)
        widget->setEnabled(false);
    progress_->start(QStringLiteral("正在打印"), 1, true);
    bool cancelled = false;
    QString line;
    const bool done = RunToolAction([&] {
        try {
            line = job([this](int done, int total) {
                progress_->bar()->setMaximum(total);
                return progress_->advance(done);
            });
        } catch (const PrintCancelled&) {
            cancelled = true;
        }
    });
    progress_->finish();
    for (QWidget* widget : held)
        widget->setEnabled(true);
    enableTicks();  // the ticks a style leaves out stay off
    working_ = false;
    if (cancelled) {
        result_->setText(QStringLiteral("已取消打印，没有留下文件或打印任务。"));
        return false;
    }
    if (!done)
        return false;
    result_->setText(line);
    ShowToolReport({line});
    return true;
}

bool PrintPage::saveAs(const QString& target)
{
    if (QFileInfo::exists(target)
        && !AskTool(QStringLiteral("%1 已存在。要替换它吗？").arg(QDir::toNativeSeparators(target))))
        return false;
    const PrintChoice chosen = choice();
    return runJob(
        [&](const PrintProgress& progress) { return PrintBookToPdf(session_.book(), target, chosen, progress); });
}

bool PrintPage::savePdf()
{
    std::optional<QString> chosen = desktop().SaveFileName(this, QStringLiteral("PDF 文件 (*.pdf)|*.pdf"));
    if (!chosen || chosen->isEmpty())
        return false;
    if (FileExtension(*chosen) != QStringLiteral("pdf"))
        *chosen += QStringLiteral(".pdf");
    return saveAs(*chosen);
}

bool PrintPage::printNow()
{
    const PrintChoice chosen = choice();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);  // the pages keep margins of their own
    printer.setDocName(PrintTitle(chosen));
    if (!desktop().PrintDialog(this, printer))
        return false;
    return runJob([&](const PrintProgress& progress) {
        return PrintBookOn(session_.book(), printer, chosen, progress, [&] { printer.abort(); });
    });
}
