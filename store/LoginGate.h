#pragma once
// The login password as a book holds it, for every program that opens the book
// outside the login window: read and compared exactly as the window does.

#include "store/LoginPassword.h"

#include <QByteArray>
#include <QString>
#include <optional>

class TADOConnection;

// The password of the book on the connection: the first row of pass, its mm
// decoded as the login window decodes it. A book without pass, or with an empty
// pass, has the factory password. Nothing when pass is there but cannot be read:
// then no password opens the book, as in the window. Reads nothing else.
std::optional<QByteArray> StoredLoginPassword(TADOConnection& connection);

// Gives a new book its pass table and the factory password's row, as the first
// login does. Raises EDatabaseError.
void AddFactoryLoginRow(TADOConnection& connection);

// The check a program makes before it shows or changes a contact.
class LoginCheck {
public:
    explicit LoginCheck(TADOConnection& connection) : current_(StoredLoginPassword(connection)) {}
    explicit LoginCheck(std::optional<QByteArray> current) : current_(std::move(current)) {}
    bool accepts(const QString& typed) const { return PasswordMatches(typed, current_); }

private:
    std::optional<QByteArray> current_;
};
