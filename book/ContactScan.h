#pragma once
// The contact table read once, row by row in table order, for a command that
// looks at every contact and keeps few (find): the seven texts as the file
// holds them, UTF-8, trimmed as list shows them, never all in memory at once.

#include "exchange/ContactDraft.h"
#include "exchange/ContactIdentity.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <optional>

struct ScannedContact {
    std::array<QByteArrayView, ContactTextCount> texts;  // valid during the visit only
    QList<QByteArray> kept;  // the values kept beside it, UTF-8, by the scans of a path or a run
    std::array<bool, ContactTextCount> isNull{};
    qint64 rowid = 0;  // the record's identity in the table
};

struct BookRun;
class TADOConnection;
struct sqlite3;

// Visits every contact of the book open on the connection. Raises EDatabaseError.
void ScanContacts(TADOConnection& connection, const std::function<void(const ScannedContact&)>& visit);
// Opens the existing book at path and visits every contact, with the values
// kept beside it, as a search looks at them. Raises EDatabaseError.
void ScanContacts(const QString& path, const std::function<void(const ScannedContact&)>& visit);
// On the run's book, behind its login password, only the contacts keeps
// keeps are visited; keeps looks at each while the book is read, and its
// contact is valid during that look only. Raises what UnlockBook raises too.
void ScanContacts(BookRun& run, const std::function<bool(const ScannedContact&)>& keeps,
                  const std::function<void(const ScannedContact&)>& visit);

// When a scan's visit runs: after SQLite has read each record into a row of
// its result, or inside the read, from the values where SQLite holds them
// (faster: no record is copied out into a row, but the visit must not use the
// connection meanwhile).
enum class RecordVisit { AfterTheRead, InsideTheRead };

// Every record of the book open on the connection, in table order, with its
// identity: the seven texts as the book's list reads them (trimmed, UTF-8 or
// else GB18030) and the values kept beside it, no photo; both valid during
// the visit only. What the visit throws comes out as thrown. Raises EDatabaseError.
void ScanRecordTexts(TADOConnection& connection,
                     const std::function<void(const std::array<QString, ContactTextCount>& texts,
                                              const QList<DraftExtra>& kept, qint64 rowid)>& visit,
                     RecordVisit when = RecordVisit::AfterTheRead);

// What every record holds, in table order, for telling whether a card is new.
QList<ContactHoldings> BookHoldings(sqlite3* db);

// Records by their identity, as ReadContact reads one; the ones gone are left out.
QHash<qint64, StoredContact> ReadContacts(TADOConnection& connection, const QList<qint64>& rowids);
// One record by its identity: the seven texts trimmed (UTF-8, else GB18030), the
// photo's stored bytes and the values kept beside it; nothing when the record is gone. Raises EDatabaseError.
std::optional<StoredContact> ReadContact(const QString& path, qint64 rowid);
