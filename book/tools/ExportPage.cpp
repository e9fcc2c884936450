#include "ExportPage.h"

#include "book/ExportBook.h"
#include "book/tools/ProgressPanel.h"
#include "book/tools/ToolsSession.h"
#include "exchange/Formats.h"
#include "platform/Desktop.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ExportPage::ExportPage(ToolsSession& session, QWidget* parent)
    : QWidget(parent), session_(session), format_(new QComboBox(this)), file_(new QLineEdit(this)),
      browse_(new QPushButton(QStringLiteral("浏览(&B)…"), this)),
      export_(new QPushButton(QStringLiteral("导出(&E)"), this)), result_(new QLabel(this)),
      progress_(new ProgressPanel(this))
{
    for (const ExportFormat& format : ExportFormats())
        format_->addItem(QStringLiteral("%1 (*.%2)").arg(format.description, format.extension), format.extension);
    file_->setText(QDir::home().filePath(QStringLiteral("通讯录.") + ExportFormats().first().extension));
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse_);
    auto* form = new QFormLayout;
    auto* formatLabel = new QLabel(QStringLiteral("格式(&F)："), this);
    formatLabel->setBuddy(format_);
    auto* fileLabel = new QLabel(QStringLiteral("文件(&W)："), this);
    fileLabel->setBuddy(file_);
    form->addRow(formatLabel, format_);
    form->addRow(fileLabel, fileRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(export_);
    auto* page = new QVBoxLayout(this);
    page->addWidget(new QLabel(QStringLiteral("把通讯录中的全部联系人按表中顺序写入一个文件。"), this));
    page->addLayout(form);
    page->addLayout(buttons);
    page->addWidget(progress_);
    page->addWidget(result_);
    page->addStretch(1);

    connect(format_, &QComboBox::currentIndexChanged, this, &ExportPage::formatChosen);
    connect(browse_, &QPushButton::clicked, this, &ExportPage::browse);
    connect(export_, &QPushButton::clicked, this, &ExportPage::exportNow);
}

void ExportPage::formatChosen()
{
    const QString extension = format_->currentData().toString();
    const QFileInfo info(file_->text());
    if (!file_->text().isEmpty())
        file_->setText(info.dir().filePath(info.completeBaseName() + u'.' + extension));
}

void ExportPage::browse()
{
    const ExportFormat& format = ExportFormats().at(format_->currentIndex());
    const std::optional<QString> chosen =
        desktop().SaveFileName(this, QStringLiteral("%1 (*.%2)|*.%2").arg(format.description, format.extension));
    if (!chosen || chosen->isEmpty())
        return;
    file_->setText(FindExportFormat(*chosen) ? *chosen : *chosen + u'.' + format.extension);
    if (const ExportFormat* named = FindExportFormat(file_->text()))
        format_->setCurrentIndex(format_->findData(named->extension));
}

bool ExportPage::exportNow()
{
    const QString target = file_->text().trimmed();
    const ExportFormat* format = FindExportFormat(target);
    if (target.isEmpty() || !format) {
        ShowToolReport({QStringLiteral("请写出要导出的文件名，扩展名为 %1 之一。").arg(ExportPatterns().join(u' '))},
                       false);
        file_->setFocus();
        return false;
    }
    if (QFileInfo::exists(target)
        && !AskTool(QStringLiteral("%1 已存在。要替换它吗？").arg(QDir::toNativeSeparators(target))))
        return false;
    // The formats write a whole file in one call: the bar only says that the work goes on.
    progress_->start(QStringLiteral("正在导出"), 0, false);
    export_->setEnabled(false);
    QString line;
    const bool written = RunToolAction(
        [&] { line = ExportBook(session_.book(), target, *format, nullptr, QStringLiteral("生日页列出它们")); });
    export_->setEnabled(true);
    progress_->finish();
    if (!written)
        return false;
    result_->setText(line);
    ShowToolReport({line});
    return true;
}
