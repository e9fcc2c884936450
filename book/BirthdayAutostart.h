#pragma once
// The birthday reminder at desktop login: an XDG autostart entry that runs
// `tessaly-book birthdays --notify` when the user logs in. Off until the user
// turns it on; it runs without the login password, so whoever sits at the
// desktop sees the names and dates it shows.

#include <QByteArray>
#include <QString>

// The switch that turns it on, and what it says beside it.
inline constexpr char16_t BirthdayAutostartSwitch[] = u"登录桌面时提醒生日";
inline constexpr char16_t BirthdayAutostartNotice[] =
    u"开启后，提醒不经登录密码即显示：能看到这个桌面的人都会看到通知中的姓名和生日。";

// $XDG_CONFIG_HOME/autostart/tessaly-birthdays.desktop (~/.config when unset).
QString BirthdayAutostartPath();
// The entry's text for the program and the book (empty: the book beside the program).
QByteArray BirthdayAutostartEntry(const QString& program, const QString& database);
bool BirthdayAutostartIsOn();
// Writes the entry whole or removes it. Raises ExchangeError when the file cannot be written or removed.
void SetBirthdayAutostart(bool on, const QString& program, const QString& database = QString());
