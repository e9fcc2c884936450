#pragma once
// The login password as the window handles it: bytes of code page 936, kept in
// the database as Base64 text in the fixed-width column mm of table pass.

#include <QByteArray>
#include <QString>
#include <optional>

// The password in force until the user changes it.
extern const QByteArray FactoryPassword;

// Widest password whose Base64 text fits the 50 characters of mm.
constexpr int MaxPasswordBytes = 36;

// An exact comparison of the typed text's bytes: same length, same bytes, no
// trimming. A password that could not be read from the database matches nothing.
bool PasswordMatches(const QString& typed, const std::optional<QByteArray>& current);

bool FitsPasswordColumn(const QByteArray& password);

// The text stored in mm for a password.
QString StoredPasswordText(const QByteArray& password);
// The password a value read from mm stands for: the column comes back padded,
// so the value is trimmed before it is decoded.
QByteArray PasswordFromStoredText(const QString& stored);
