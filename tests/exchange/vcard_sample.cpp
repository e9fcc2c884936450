// The vCard codec from outside, for the end-to-end script: "write FILE" writes
// the sample contacts below, "read FILE" prints what the reader makes of a file
// as JSON (texts in column order, extras, photo in base64, left out, failures).

#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace {

StoredContact contact(const QStringList& texts, const QByteArray& photo = QByteArray())
{
    StoredContact c;
    for (int i = 0; i < ContactTextCount; ++i)
        c.texts[i] = texts.value(i);
    c.photo = photo;
    return c;
}

// Every byte value, so a reader that mangles any of them shows it.
QByteArray samplePhoto()
{
    QByteArray photo("\xFF\xD8\xFF\xE0");
    for (int round = 0; round < 80; ++round)
        for (int b = 0; b < 256; ++b)
            photo += static_cast<char>(b);
    return photo + "\xFF\xD9";
}

QList<StoredContact> sampleContacts()
{
    return {
        contact({u"同学"_qs, u"欧阳修"_qs, u"1990年1月2日"_qs, u"+86 138 0013 8000"_qs, u"10001"_qs,
                 u"北京市海淀区中关村大街27号"_qs, u"醉翁之意不在酒，在乎山水之间也。"_qs.repeated(4)},
                samplePhoto()),
        contact({u"朋友,同事"_qs, u"John Smith"_qs, u"12/25"_qs, u"010-6234 5678"_qs, QString(), u"一路;二号"_qs,
                 u"第一行\n第二行 C:\\temp"_qs}),
        contact({QString(), u"张三"_qs, u"农历八月十五"_qs}),
    };
}

int write(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    writeVCards(file, sampleContacts());
    return 0;
}

int read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const DraftSet set = readVCards(file.readAll());
    QJsonArray drafts;
    for (const ContactDraft& d : set.drafts) {
        QJsonArray texts;
        for (const QString& t : d.texts)
            texts.append(t);
        QJsonArray extras;
        for (const DraftExtra& e : d.extras)
            extras.append(QJsonArray{e.label, e.value});
        drafts.append(QJsonObject{{"line", d.line},
                                  {"texts", texts},
                                  {"extras", extras},
                                  {"photo", QString::fromLatin1(d.photo.toBase64())},
                                  {"leftOut", QJsonArray::fromStringList(d.leftOut)}});
    }
    QJsonArray failures;
    for (const DraftFailure& f : set.failures)
        failures.append(QJsonObject{{"line", f.line}, {"reason", f.reason}});
    const QByteArray json = QJsonDocument(QJsonObject{{"drafts", drafts}, {"failures", failures}}).toJson();
    std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const QByteArray command(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (command == "write")
        return write(path);
    if (command == "read")
        return read(path);
    return 2;
}
