#include "LoginPassword.h"

#include "platform/Gbk.h"
#include "platform/Trim.h"
#include "store/Base64.h"

const QByteArray FactoryPassword = QByteArrayLiteral("480917");

bool PasswordMatches(const QString& typed, const std::optional<QByteArray>& current)
{
    return current.has_value() && toGbk(typed) == *current;
}

bool FitsPasswordColumn(const QByteArray& password)
{
    return password.size() <= MaxPasswordBytes;
}

QString StoredPasswordText(const QByteArray& password)
{
    return QString::fromLatin1(Base64Encode(password));
}

QByteArray PasswordFromStoredText(const QString& stored)
{
    return Base64Decode(TrimControlBytes(toGbk(stored)));
}
