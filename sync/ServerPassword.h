#pragma once
// The sync server's password in the desktop's keyring (Secret Service through
// QtKeychain), never in the book: the book's own key is built into the program.
// Where no keyring answers, the caller keeps the password for the session and
// asks for it the next time. Nothing here logs or shows the password.

#include <QString>
#include <QUrl>
#include <optional>

// A keyring that has not answered by then counts as none.
constexpr int kKeyringWaitMs = 5000;

enum class KeyringAnswer { Stored, NoKeyring };

// The entry's name under the service "Tessaly": user@server address.
QString PasswordKey(const QString& user, const QUrl& server);

KeyringAnswer StorePassword(const QString& user, const QUrl& server, const QString& password,
                            int waitMs = kKeyringWaitMs);
// Nothing when there is no such entry, or no keyring answered.
std::optional<QString> ReadPassword(const QString& user, const QUrl& server, int waitMs = kKeyringWaitMs);
// False when no keyring answered; an entry that was not there counts as forgotten.
bool ForgetPassword(const QString& user, const QUrl& server, int waitMs = kKeyringWaitMs);
