#include "ContactFields.h"

#include "exchange/ContactValues.h"
#include "exchange/vcard/CardText.h"
#include "exchange/vcard/VCardCard.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

StoredContact storedOf(const FittedContact& fitted)
{
    StoredContact record;
    record.texts = fitted.texts;
    if (fitted.photo)
        record.photo = fitted.photo.bytes();
    record.kept = fitted.kept;
    return record;
}

}  // namespace

QByteArray PhotoDigest(const QByteArray& jpeg)
{
    if (jpeg.isEmpty())
        return {};
    return QCryptographicHash::hash(jpeg, QCryptographicHash::Sha1).toHex();
}

ContactFields FieldsOfRecord(const StoredContact& record)
{
    ContactValues lifted = LiftValues(record);
    ContactFields fields;
    fields.texts = std::move(lifted.texts);
    fields.values = std::move(lifted.values);
    fields.photo = PhotoDigest(record.photo);
    return fields;
}

StoredContact RecordOfCard(const QByteArray& card, const ColumnWidths& widths)
{
    const QList<CardLine> lines = SplitCard(card);
    if (lines.isEmpty() || lines.first().property.name != "BEGIN")
        throw ExchangeError(QStringLiteral("服务器上的名片无法读取"));
    QList<VCardProperty> properties = PropertiesOf(lines);
    // The frame is the reader's business, not the card's values.
    properties.removeIf([](const VCardProperty& p) { return p.name == "BEGIN" || p.name == "END"; });
    return storedOf(FitDraft(draftOfCard(1, properties), widths));
}

ContactFields FieldsOfCard(const QByteArray& card, const ColumnWidths& widths)
{
    return FieldsOfRecord(RecordOfCard(card, widths));
}

StoredContact RecordOfFields(const ContactFields& fields, const QByteArray& photo, const ColumnWidths& widths)
{
    ContactDraft draft;
    draft.texts = fields.texts;
    draft.extras = fields.values;
    // The photo as it stands: fitted once already, never compressed again.
    StoredContact record = storedOf(FitDraft(draft, widths));
    record.photo = photo;
    return record;
}

QByteArray PackFields(const ContactFields& fields)
{
    QJsonArray texts;
    for (const QString& text : fields.texts)
        texts.append(text);
    QJsonArray values;
    for (const DraftExtra& value : fields.values)
        values.append(QJsonArray{value.label, value.value});
    return QJsonDocument(QJsonObject{{u"texts"_qs, texts},
                                     {u"values"_qs, values},
                                     {u"photo"_qs, QString::fromLatin1(fields.photo)}})
        .toJson(QJsonDocument::Compact);
}

ContactFields UnpackFields(const QByteArray& packed)
{
    const QJsonObject object = QJsonDocument::fromJson(packed).object();
    ContactFields fields;
    const QJsonArray texts = object.value(u"texts"_qs).toArray();
    for (int i = 0; i < ContactTextCount && i < texts.size(); ++i)
        fields.texts[size_t(i)] = texts[i].toString();
    for (const QJsonValue& value : object.value(u"values"_qs).toArray()) {
        const QJsonArray pair = value.toArray();
        fields.values.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    fields.photo = object.value(u"photo"_qs).toString().toLatin1();
    return fields;
}

QByteArray SyncDigest(const StoredContact& record, const QByteArray& photoDigest)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&hash](const QString& text) {
        const QByteArray bytes = text.toUtf8();
        hash.addData(QByteArray::number(bytes.size()) + ':');
        hash.addData(bytes);
    };
    for (const QString& text : record.texts)
        add(text);
    add(QString::fromLatin1(photoDigest));
    for (const DraftExtra& value : record.kept) {
        add(value.label);
        add(value.value);
    }
    return hash.result().toHex();
}
