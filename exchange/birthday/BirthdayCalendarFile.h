#pragma once
// The birthdays as an iCalendar file (RFC 5545) that calendar programs import:
// one all-day event per Gregorian birthday, repeated every year (29 February on
// the last day of February), and for a lunar birthday, which no repetition
// rule can follow, one event in each lunar year from this year on for 20 more;
// a lunar birthday kept beside a Gregorian 生日 gets its events too.
// Every event has a UID that stays the same from one export to the next, so a
// calendar updates what it imported before, and an alarm the day before.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>

constexpr int LunarBirthdayYearsAhead = 20;

// The calendar for the contacts whose 生日 is understood; `now` gives this
// year and the events' time stamp.
QByteArray BirthdaysAsICalendar(const QList<StoredContact>& contacts, const QDateTime& now);

// For the export table: the calendar as of now, written to a new file at path.
void WriteBirthdayCalendarFile(const QString& path, const QList<StoredContact>& contacts);
// What the export wrote, for its report: "3 个生日", with the texts left out
// and where they are listed ("birthdays --not-understood 列出它们").
QString BirthdayCalendarSummary(const QList<StoredContact>& contacts, const QString& leftOutListed);
