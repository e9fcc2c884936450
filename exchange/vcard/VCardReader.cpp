#include "VCardReader.h"

#include "exchange/ContactLabels.h"
#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardLines.h"
#include "exchange/vcard/VCardProperty.h"
#include "exchange/vcard/VCardValue.h"
#include "store/ContactSchema.h"

#include <QIODevice>
#include <QString>
#include <QStringDecoder>

namespace {

// UTF-8 with its byte order mark removed; UTF-16 files (with their mark) become UTF-8.
QByteArray withoutByteOrderMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.sliced(3);
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return QString(decoder.decode(bytes.sliced(2))).toUtf8();
    }
    return bytes;
}

bool isMarker(QByteArrayView trimmed, QByteArrayView marker)
{
    return trimmed.size() == marker.size() && trimmed.compare(marker, Qt::CaseInsensitive) == 0;
}

class FileReader {
public:
    explicit FileReader(DraftSink& sink) : sink_(sink) {}

    void read(VCardLineReader& lines)
    {
        ContentLine line;
        while (lines.next(line))
            take(line);
        if (depth_ > 0) {
            said_ << QStringLiteral("名片到文件结尾仍没有 END:VCARD，可能不完整");
            finishCard(false);
        }
        endStray();
        if (!sawCard_ && sawText_)
            throw ExchangeError(QStringLiteral("这不是 vCard 名片文件：没有一张以 BEGIN:VCARD 开始的名片"));
    }

private:
    void take(ContentLine& line)
    {
        const QByteArrayView trimmed = QByteArrayView(line.text).trimmed();
        if (!trimmed.isEmpty())
            sawText_ = true;
        if (isMarker(trimmed, "BEGIN:VCARD")) {
            endStray();
            if (depth_++ == 0) {
                sawCard_ = true;
                cardLine_ = line.line;
                properties_.clear();
                said_.clear();
            } else if (depth_ == 2) {
                nestedLine_ = line.line;
                nested_.clear();
            }
        } else if (depth_ == 0) {
            if (!trimmed.isEmpty() && strayLine_ == 0)
                strayLine_ = line.line;
        } else if (isMarker(trimmed, "END:VCARD")) {
            if (--depth_ == 0)
                finishCard(true);
            else if (depth_ == 1)
                finishNested();
        } else if (!trimmed.isEmpty()) {
            const int at = line.line;
            std::optional<VCardProperty> property = parseProperty(std::move(line));
            if (!property)
                said_ << QStringLiteral("第 %1 行不是“名称:值”的形式，已跳过：%2")
                             .arg(at)
                             .arg(quotedForReport(QByteArrayView(line.text).trimmed().toByteArray()));
            else if (depth_ == 1)
                properties_.append(std::move(*property));
            else if (depth_ == 2)
                nested_.append(std::move(*property));
        }
    }

    // A closed card takes the cards inside it as its own values; a card never closed
    // was cut short, and the cards after it are people of their own.
    void finishCard(bool closed)
    {
        ContactDraft draft = draftOfCard(cardLine_, properties_);
        draft.said = said_ + draft.said;
        if (closed) {
            for (const ContactDraft& nested : nestedCards_)
                appendAsValues(draft, nested);
        }
        sink_.take(std::move(draft));
        if (!closed) {
            for (ContactDraft& nested : nestedCards_)
                sink_.take(std::move(nested));
        }
        nestedCards_.clear();
        depth_ = 0;
    }

    void finishNested() { nestedCards_.append(draftOfCard(nestedLine_, nested_)); }

    // A card inside a card (version 2.1's AGENT): its name as 关系人, its other values under labels that name it.
    static void appendAsValues(ContactDraft& draft, const ContactDraft& nested)
    {
        const QString name = nested.text(ContactText::Name).trimmed();
        if (!name.isEmpty())
            draft.extras.append({u"关系人"_qs, name});
        const QString kind = name.isEmpty() ? u"关系人"_qs : name;
        for (int i = 0; i < ContactTextCount; ++i) {
            if (i != int(ContactText::Name) && !nested.texts[i].trimmed().isEmpty())
                draft.extras.append({LabelWithKind(ContactTextColumns()[i], kind), nested.texts[i]});
        }
        for (const DraftExtra& extra : nested.extras)
            draft.extras.append({LabelWithKind(extra.label, kind), extra.value});
    }

    void endStray()
    {
        if (strayLine_ == 0)
            return;
        sink_.take(DraftFailure{strayLine_, QStringLiteral("第 %1 行起的内容不属于任何名片").arg(strayLine_)});
        strayLine_ = 0;
    }

    DraftSink& sink_;
    QList<VCardProperty> properties_;
    QList<VCardProperty> nested_;
    QList<ContactDraft> nestedCards_;
    QStringList said_;
    int depth_ = 0;
    int cardLine_ = 0;
    int nestedLine_ = 0;
    int strayLine_ = 0;
    bool sawCard_ = false;
    bool sawText_ = false;
};

}  // namespace

DraftSet readVCards(const QByteArray& bytes)
{
    DraftGathering gathered;
    const QByteArray text = withoutByteOrderMark(bytes);
    VCardLineReader lines(text);
    FileReader(gathered).read(lines);
    return std::move(gathered.set);
}

void readVCards(QIODevice& device, DraftSink& sink)
{
    const QByteArray start = device.peek(3);
    if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
        // UTF-16 is rare and turned into UTF-8 whole.
        const QByteArray text = withoutByteOrderMark(device.readAll());
        VCardLineReader lines(text);
        FileReader(sink).read(lines);
        return;
    }
    if (start == "\xEF\xBB\xBF")
        device.skip(3);
    VCardLineReader lines(device);
    FileReader(sink).read(lines);
}
