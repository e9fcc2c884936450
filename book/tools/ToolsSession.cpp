#include "ToolsSession.h"

#include "book/BookWrite.h"
#include "book/GuiReport.h"
#include "exchange/ContactDraft.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"

#include <new>

QString ToolsCaption()
{
    return QStringLiteral("Tessaly 通讯录工具");
}

bool RunToolAction(const std::function<void()>& action)
{
    QString failure;
    try {
        action();
        return true;
    } catch (const ImportCancelled&) {
        ShowToolReport({QStringLiteral("已取消，通讯录未改动。")});
        return false;
    } catch (const Exception& e) {
        failure = e.Message;
    } catch (const std::bad_alloc&) {
        failure = QStringLiteral("内存不足");
    }
    ShowToolReport({QStringLiteral("错误：%1").arg(failure), QStringLiteral("通讯录未改动。")}, false);
    return false;
}

void ShowToolReport(const QStringList& lines, bool ok)
{
    desktop().MessageBox(nullptr, ReportBoxText(lines), ToolsCaption(),
                         Mb::OK | (ok ? Mb::ICONINFORMATION : Mb::ICONSTOP));
}

bool AskTool(const QString& question)
{
    return desktop().MessageBox(nullptr, question, ToolsCaption(), Mb::YESNO | Mb::ICONQUESTION) == Mb::IDYES;
}
