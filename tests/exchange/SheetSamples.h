#pragma once
// Small helpers the spreadsheet tests share: a stored contact from its seven
// texts, a draft's texts and extras as lists that compare and print well, the
// message of a refusal.

#include "exchange/ContactDraft.h"

#include <QString>
#include <QStringList>

inline StoredContact storedContact(std::array<QString, ContactTextCount> texts)
{
    StoredContact c;
    c.texts = std::move(texts);
    return c;
}

inline QStringList textsOf(const ContactDraft& d)
{
    return QStringList(d.texts.begin(), d.texts.end());
}

inline QStringList textsOf(const StoredContact& c)
{
    return QStringList(c.texts.begin(), c.texts.end());
}

// "label=value|label=value"
inline QString extrasOf(const ContactDraft& d)
{
    QStringList parts;
    for (const DraftExtra& e : d.extras)
        parts.append(e.label + QLatin1Char('=') + e.value);
    return parts.join(QLatin1Char('|'));
}

// The message of the ExchangeError the call raises; "(no error)" when it raises none.
template <typename Call>
inline QString errorOf(Call call)
{
    try {
        call();
    } catch (const ExchangeError& e) {
        return e.Message;
    }
    return QStringLiteral("(no error)");
}
