#include "StoredText.h"

#include "platform/Gbk.h"

#include <QStringDecoder>

bool IsWellFormedUtf8(QByteArrayView bytes)
{
    // Qt's check refuses what the standard refuses: overlong forms, surrogates,
    // values past U+10FFFF, cut or stray sequences.
    return bytes.isValidUtf8();
}

QString FromWellFormedUtf8(QByteArrayView bytes)
{
    // QString::fromUtf8 drops a leading byte order mark, which would move every
    // later value of a record by one character.
    thread_local QStringDecoder decoder(QStringConverter::Utf8,
                                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString DecodeStoredText(QByteArrayView bytes)
{
    if (IsWellFormedUtf8(bytes))
        return FromWellFormedUtf8(bytes);
    return fromGbk(bytes.toByteArray());
}
