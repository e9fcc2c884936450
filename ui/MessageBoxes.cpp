#include "MessageBoxes.h"

#include "platform/Desktop.h"

namespace {
const QString Caption = QStringLiteral("提示");
QWidget* g_applicationWindow = nullptr;
}  // namespace

const QString ProductWebPage = QStringLiteral("https://tessaly.org/");

void SetApplicationWindow(QWidget* window)
{
    g_applicationWindow = window;
}

void InfoBox(const QString& message)
{
    desktop().MessageBox(g_applicationWindow, message, Caption, Mb::OK | Mb::ICONINFORMATION);
}

bool ConfirmBox(const QString& question)
{
    return desktop().MessageBox(g_applicationWindow, question, Caption, Mb::YESNO | Mb::ICONQUESTION) == Mb::IDYES;
}

QString WorkingDirectoryOf(const QString& fileName)
{
    return fileName.left(fileName.lastIndexOf(u'/') + 1);
}

bool OpenDocument(const QString& fileName, const QString& parameters)
{
    desktop().ActiveWindow();
    return desktop().ShellOpen(fileName, parameters, WorkingDirectoryOf(fileName));
}
