#pragma once
// Texts and numbers as an import's spool file holds them: each string its
// length in UTF-16 units (-1 for a null one) and its units as they are in
// memory, each list its count first. Written and read back by the same
// process, so no byte order and no version.

#include "exchange/ContactDraft.h"  // ExchangeError

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstring>

class SpoolTextWriter {
public:
    void add(const QString& text)
    {
        addNumber(text.isNull() ? qint32(-1) : qint32(text.size()));
        bytes_.append(reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(sizeof(char16_t)));
    }
    void add(const QStringList& texts)
    {
        addNumber(qint32(texts.size()));
        for (const QString& text : texts)
            add(text);
    }
    // A contact's seven texts, in column order.
    void add(const std::array<QString, ContactTextCount>& texts)
    {
        for (const QString& text : texts)
            add(text);
    }
    // Labelled values: their count, then each label and value.
    void add(const QList<DraftExtra>& values)
    {
        addNumber(qint32(values.size()));
        for (const DraftExtra& value : values) {
            add(value.label);
            add(value.value);
        }
    }
    template <typename Number>
    void addNumber(Number number)
    {
        bytes_.append(reinterpret_cast<const char*>(&number), sizeof number);
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

class SpoolTextReader {
public:
    explicit SpoolTextReader(const QByteArray& bytes) : at_(bytes.constData()), end_(at_ + bytes.size()) {}

    template <typename Number = qint32>
    Number number()
    {
        Number number{};
        need(sizeof number);
        std::memcpy(&number, at_, sizeof number);
        at_ += sizeof number;
        return number;
    }
    QString text()
    {
        const qint32 size = number();
        if (size < 0)
            return QString();
        need(qsizetype(size) * qsizetype(sizeof(char16_t)));
        QString text(size, Qt::Uninitialized);
        std::memcpy(text.data(), at_, size_t(size) * sizeof(char16_t));
        at_ += qsizetype(size) * qsizetype(sizeof(char16_t));
        return text;
    }
    QStringList texts()
    {
        QStringList texts;
        const qint32 size = number();
        texts.reserve(size);
        for (qint32 i = 0; i < size; ++i)
            texts.append(text());
        return texts;
    }

    std::array<QString, ContactTextCount> contactTexts()
    {
        std::array<QString, ContactTextCount> texts;
        for (QString& t : texts)
            t = text();
        return texts;
    }
    QList<DraftExtra> labelledValues()
    {
        QList<DraftExtra> values;
        const qint32 size = number();
        values.reserve(size);
        for (qint32 i = 0; i < size; ++i) {
            DraftExtra value;
            value.label = text();
            value.value = text();
            values.append(std::move(value));
        }
        return values;
    }

private:
    // Raises ExchangeError when the bytes end before what they promise.
    void need(qsizetype size) const
    {
        if (size < 0 || end_ - at_ < size)
            throw ExchangeError(QStringLiteral("导入的临时文件已损坏"));
    }
    const char* at_;
    const char* end_;
};
