#pragma once
// The book as tessaly-book holds it: one connection and one query over the
// contact table, through the same engine as the window.

#include "exchange/ContactDraft.h"
#include "store/ADODB.h"

#include <QList>
#include <QString>
#include <array>

using ContactTexts = std::array<QString, ContactTextCount>;

struct BookRun;

class BookFile {
public:
    // Opens an existing book with the built-in key and the contact table on it,
    // after the run's login password opened it (none for a book this run made
    // or already opened). Raises EDatabaseError; "找不到通讯录 …" when there is
    // no such file; what UnlockBook raises.
    explicit BookFile(const QString& path, BookRun* gate = nullptr);

    TADOConnection connection{QStringLiteral("通讯录")};
    TADOQuery query{QStringLiteral("联系人")};

    // Every record's seven texts, trimmed, in table order.
    QList<ContactTexts> texts() const;
    // Every record with its photo's stored bytes, in table order.
    QList<StoredContact> contacts();

private:
    std::array<int, ContactTextCount> columns_{};  // where each text column is in the query
};

// Opens only the connection to an existing book. Raises EDatabaseError as BookFile does.
void OpenBookConnection(TADOConnection& connection, const QString& path);
// The same to the run's book, behind its login password.
void OpenBookConnection(TADOConnection& connection, BookRun& run);

// Creates an empty book as the window does on its first run and first login:
// the file with the key, the contact table and the factory password's row.
// Raises EDatabaseError; a half-made file is removed.
void CreateBook(const QString& path);
// The same, leaving the connection open on the new book.
void CreateBook(const QString& path, TADOConnection& connection);

// "D:/a/Kalvo.mdb" as messages show it.
QString ShownPath(const QString& path);
