#include "ConnectionText.h"

#include "platform/Trim.h"

#include <QStringList>

QString ConnectionValue(const QString& text, const QString& key)
{
    const QStringList parts = text.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (TrimControl(part.left(eq)).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = TrimControl(part.mid(eq + 1));
        return value.isNull() ? QStringLiteral("") : value;
    }
    return QString();
}

bool IsJetProvider(const QString& text)
{
    return ConnectionValue(text, QStringLiteral("Provider"))
               .compare(QStringLiteral("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive)
           == 0;
}
