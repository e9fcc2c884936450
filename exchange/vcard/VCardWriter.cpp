#include "VCardWriter.h"

#include "exchange/ChineseName.h"
#include "exchange/PhoneNumber.h"
#include "exchange/pinyin/NameReading.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardOutput.h"

namespace {

void writeName(VCardOutput& out, const QString& name)
{
    out.text("FN", name);
    const NameParts parts = splitPersonName(name);
    QByteArray value;
    VCardOutput::appendEscaped(value, parts.family);
    value += ';';
    VCardOutput::appendEscaped(value, parts.given);
    value += ";;;";
    out.line("N", value);
    // Phones sort Chinese names by these under a non-Chinese interface.
    const QString family = phoneticOf(parts.family, true);
    const QString given = phoneticOf(parts.given, false);
    if (!family.isEmpty())
        out.text("X-PHONETIC-LAST-NAME", family);
    if (!given.isEmpty())
        out.text("X-PHONETIC-FIRST-NAME", given);
}

void writeBirthday(VCardOutput& out, const QString& birthday)
{
    if (birthday.isEmpty())
        return;
    const QString date = birthdayAsVCardDate(birthday);
    if (!date.isEmpty())
        out.line("BDAY", date.toLatin1());
    // The text as typed, so a round trip gives it back even when it is no date.
    out.text("X-TESSALY-BIRTHDAY", birthday);
}

void writeAddress(VCardOutput& out, const QString& address)
{
    if (address.isEmpty())
        return;
    QByteArray value(";;");
    VCardOutput::appendEscaped(value, address);
    value += ";;;;";
    out.line("ADR;TYPE=HOME", value);
}

void writePhoto(VCardOutput& out, const QByteArray& photo)
{
    if (photo.isEmpty())
        return;
    out.line("PHOTO;ENCODING=b;TYPE=JPEG", photo.toBase64());
}

void writeCard(VCardOutput& out, const StoredContact& contact)
{
    out.line("BEGIN", "VCARD");
    out.line("VERSION", "3.0");
    writeName(out, contact.text(ContactText::Name));
    const QString& phone = contact.text(ContactText::Phone);
    if (!phone.isEmpty())
        out.text(isChineseMobileNumber(phone) ? "TEL;TYPE=CELL" : "TEL;TYPE=VOICE", phone);
    if (!contact.text(ContactText::QQ).isEmpty())
        out.text("X-QQ", contact.text(ContactText::QQ));
    writeBirthday(out, contact.text(ContactText::Birthday));
    writeAddress(out, contact.text(ContactText::Address));
    if (!contact.text(ContactText::Category).isEmpty())
        out.text("CATEGORIES", contact.text(ContactText::Category));
    if (!contact.text(ContactText::Note).isEmpty())
        out.text("NOTE", contact.text(ContactText::Note));
    writePhoto(out, contact.photo);
    out.line("END", "VCARD");
}

}  // namespace

void writeVCards(QIODevice& device, const QList<StoredContact>& contacts)
{
    VCardOutput out(device);
    for (const StoredContact& contact : contacts)
        writeCard(out, contact);
    out.flush();
}
