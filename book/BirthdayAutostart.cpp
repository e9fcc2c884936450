#include "BirthdayAutostart.h"

#include "book/AtomicSave.h"
#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

// One argument of an Exec line: quoted when it holds anything but plain
// characters, with ", `, $ and \ escaped inside the quotes, and then every
// backslash doubled again, as the key's string value requires; % is written %%.
QString execArgument(const QString& argument)
{
    static const QString plain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:=@");
    QString quoted;
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) {
        needsQuotes = needsQuotes || (c.unicode() < 128 && !plain.contains(c));
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u"\\\\"_qs;  // the quoting's backslash, doubled as every backslash in a value
        quoted += c == u'%' ? u"%%"_qs : c == u'\\' ? u"\\\\"_qs : QString(c);
    }
    return needsQuotes ? u'"' + quoted + u'"' : quoted;
}

}  // namespace

QString BirthdayAutostartPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + u"/.config"_qs;
    return config + u"/autostart/tessaly-birthdays.desktop"_qs;
}

QByteArray BirthdayAutostartEntry(const QString& program, const QString& database)
{
    QStringList exec{execArgument(program)};
    if (!database.isEmpty())
        exec << u"--db"_qs << execArgument(database);
    exec << u"birthdays"_qs << u"--notify"_qs;
    const QStringList lines{
        u"[Desktop Entry]"_qs,
        u"Type=Application"_qs,
        u"Name=Tessaly Birthday Reminder"_qs,
        u"Name[zh_CN]=Tessaly 生日提醒"_qs,
        u"Comment=Shows today's and the next three days' birthdays at login"_qs,
        u"Comment[zh_CN]=登录桌面时提醒今天和之后 3 天的生日"_qs,
        u"Exec="_qs + exec.join(u' '),
        u"Icon=tessaly"_qs,
        u"Terminal=false"_qs,
        u"NoDisplay=true"_qs,
        u"X-GNOME-Autostart-enabled=true"_qs,
    };
    return (lines.join(u'\n') + u'\n').toUtf8();
}

bool BirthdayAutostartIsOn()
{
    return QFile::exists(BirthdayAutostartPath());
}

void SetBirthdayAutostart(bool on, const QString& program, const QString& database)
{
    const QString path = BirthdayAutostartPath();
    if (!on) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw ExchangeError(QStringLiteral("无法删除 %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw ExchangeError(QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(QFileInfo(path).path())));
    const QByteArray entry = BirthdayAutostartEntry(program, database);
    SaveAtomically(path, [&](const QString& temporary) { WriteWholeFile(temporary, entry); });
}
