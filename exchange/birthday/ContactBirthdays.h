#pragma once
// Every birthday a contact has: its 生日, and a lunar birthday a card gave
// beside a Gregorian one, which the import keeps as "农历生日:…" (Chinese
// families often celebrate the lunar one). The birthdays list, the reminder
// and the calendar file all take them from here.

#include "exchange/ContactDraft.h"
#include "exchange/birthday/Birthday.h"

#include <QList>
#include <QString>
#include <array>

struct ContactBirthday {
    Birthday birthday;
    QString text;  // as the book holds it
};

// 生日 first when it is understood, then each lunar birthday kept in 备注 or
// beside the record that 生日 does not already say. Blank or unread texts give none.
QList<ContactBirthday> BirthdaysOf(const std::array<QString, ContactTextCount>& texts,
                                   const QList<DraftExtra>& kept = {});
