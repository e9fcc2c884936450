#include "HandlerGuard.h"

#include "platform/Desktop.h"
#include "platform/Errors.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ApplicationTitleFrom(const QString& executablePath)
{
    QString name = executablePath.mid(executablePath.lastIndexOf(u'/') + 1);
    qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString ApplicationTitle()
{
    return ApplicationTitleFrom(QCoreApplication::applicationFilePath());
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void ShowErrorBox(const QString& message)
{
    desktop().MessageBox(desktop().ActiveWindow(), ErrorBoxText(message), ApplicationTitle(), Mb::OK | Mb::ICONSTOP);
}

void ShowCurrentException()
{
    try {
        throw;
    } catch (const Exception& e) {
        ShowErrorBox(e.Message);
    } catch (const std::bad_alloc&) {
        ShowErrorBox(QStringLiteral("内存不足"));
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorBox(QStringLiteral("未知错误"));
    }
}
