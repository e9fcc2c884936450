#include "GuiReport.h"

#include "book/BookErrors.h"
#include "exchange/Formats.h"
#include "platform/Desktop.h"

namespace {

constexpr int BoxLines = 30;

QString captionFor(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("import")))
        return QStringLiteral("导入联系人");
    if (arguments.contains(QStringLiteral("export")))
        return QStringLiteral("导出联系人");
    return QStringLiteral("Tessaly 通讯录");
}

}  // namespace

QString ReportBoxText(const QStringList& lines)
{
    if (lines.size() <= BoxLines)
        return lines.join(u'\n');
    QStringList shown = lines.mid(0, BoxLines - 2);
    shown << QStringLiteral("……（另有 %1 行未显示）").arg(lines.size() - BoxLines + 1) << lines.last();
    return shown.join(u'\n');
}

void ShowReport(const QStringList& arguments, const QStringList& lines, int status)
{
    if (lines.isEmpty())
        return;
    const unsigned icon = status == ExitCode::Success ? Mb::ICONINFORMATION : Mb::ICONSTOP;
    desktop().MessageBox(nullptr, ReportBoxText(lines), captionFor(arguments), Mb::OK | icon);
}

std::optional<QString> AskExportFile()
{
    QStringList filter;
    for (const ExportFormat& format : ExportFormats())
        filter << QStringLiteral("%1 (*.%2)|*.%2").arg(format.description, format.extension);
    std::optional<QString> chosen = desktop().SaveFileName(nullptr, filter.join(u'|'));
    if (chosen && !chosen->isEmpty() && !FindExportFormat(*chosen))
        *chosen += u'.' + ExportFormats().first().extension;
    if (chosen && chosen->isEmpty())
        return std::nullopt;
    return chosen;
}
