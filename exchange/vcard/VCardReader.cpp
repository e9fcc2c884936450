#include "VCardReader.h"

#include "exchange/ContactLabels.h"
#include "exchange/HandOver.h"
#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardLines.h"
#include "exchange/vcard/VCardProperty.h"
#include "exchange/vcard/VCardValue.h"
#include "store/ContactSchema.h"

#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <functional>
#include <thread>
#include <variant>

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

// A card as read: its properties and the cards inside it, not yet mapped to drafts.
struct ReadCard {
    struct Nested {
        int line = 0;
        QList<VCardProperty> properties;
    };
    int line = 0;
    QList<VCardProperty> properties;
    QStringList said;  // what the reading says of the card: lines skipped, an END missing
    QList<Nested> nested;
    bool closed = true;
};

using ReadItem = std::variant<ReadCard, DraftFailure>;

// A card inside a card (version 2.1's AGENT): its name as 关系人, its other values under labels that name it.
void appendAsValues(ContactDraft& draft, const ContactDraft& nested)
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

// A closed card takes the cards inside it as its own values; a card never closed
// was cut short, and the cards after it are people of their own.
void giveCard(const ReadCard& card, DraftSink& sink)
{
    ContactDraft draft = draftOfCard(card.line, card.properties);
    draft.said = card.said + draft.said;
    QList<ContactDraft> nested;
    for (const ReadCard::Nested& inside : card.nested)
        nested.append(draftOfCard(inside.line, inside.properties));
    if (card.closed) {
        for (const ContactDraft& inside : nested)
            appendAsValues(draft, inside);
    }
    sink.take(std::move(draft));
    if (!card.closed) {
        for (ContactDraft& inside : nested)
            sink.take(std::move(inside));
    }
}

void give(ReadItem&& item, DraftSink& sink)
{
    if (ReadCard* card = std::get_if<ReadCard>(&item))
        giveCard(*card, sink);
    else
        sink.take(std::move(std::get<DraftFailure>(item)));
}

// Takes the content lines of one file and cuts them into cards.
class FileReader {
public:
    explicit FileReader(const std::function<void(ReadItem&&)>& give) : give_(give) {}

    void read(VCardLineReader& lines)
    {
        ContentLine line;
        while (lines.next(line))
            take(line);
        if (depth_ > 0) {
            card_.said << QStringLiteral("名片到文件结尾仍没有 END:VCARD，可能不完整");
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
                card_ = ReadCard{};
                card_.line = line.line;
                card_.properties.reserve(16);  // as many as most cards have, so the list seldom grows
            } else if (depth_ == 2) {
                nested_ = ReadCard::Nested{};
                nested_.line = line.line;
            }
        } else if (depth_ == 0) {
            if (!trimmed.isEmpty() && strayLine_ == 0)
                strayLine_ = line.line;
        } else if (isMarker(trimmed, "END:VCARD")) {
            if (--depth_ == 0)
                finishCard(true);
            else if (depth_ == 1)
                card_.nested.append(std::move(nested_));
        } else if (!trimmed.isEmpty()) {
            const int at = line.line;
            std::optional<VCardProperty> property = parseProperty(std::move(line));
            if (!property)
                card_.said << QStringLiteral("第 %1 行不是“名称:值”的形式，已跳过：%2")
                                  .arg(at)
                                  .arg(quotedForReport(QByteArrayView(line.text).trimmed().toByteArray()));
            else if (depth_ == 1)
                card_.properties.append(std::move(*property));
            else if (depth_ == 2)
                nested_.properties.append(std::move(*property));
        }
    }

    void finishCard(bool closed)
    {
        card_.closed = closed;
        give_(std::move(card_));
        card_ = ReadCard{};
        depth_ = 0;
    }

    void endStray()
    {
        if (strayLine_ == 0)
            return;
        give_(DraftFailure{strayLine_, QStringLiteral("第 %1 行起的内容不属于任何名片").arg(strayLine_)});
        strayLine_ = 0;
    }

    const std::function<void(ReadItem&&)>& give_;
    ReadCard card_;
    ReadCard::Nested nested_;
    int depth_ = 0;
    int strayLine_ = 0;
    bool sawCard_ = false;
    bool sawText_ = false;
};

void readInOneThread(VCardLineReader& lines, DraftSink& sink)
{
    FileReader([&sink](ReadItem&& item) { give(std::move(item), sink); }).read(lines);
}

// The lines are cut into cards on a thread of their own while this one maps
// the cards to drafts and hands them on: a large file is read on two cores.
void readInTwoThreads(VCardLineReader& lines, DraftSink& sink)
{
    HandOver<ReadItem> cards;
    std::thread cutting([&] {
        try {
            FileReader([&cards](ReadItem&& item) { cards.push(std::move(item)); }).read(lines);
            cards.close();
        } catch (const HandOverAbandoned&) {
            cards.close();
        } catch (...) {
            cards.close(std::current_exception());
        }
    });
    // However this thread leaves, the cutting one is told to stop and waited for.
    struct Stopped {
        HandOver<ReadItem>& cards;
        std::thread& thread;
        ~Stopped()
        {
            cards.abandon();
            thread.join();
        }
    } const stopped{cards, cutting};
    ReadItem item;
    while (cards.pop(item))
        give(std::move(item), sink);
    if (const std::exception_ptr error = cards.error())
        std::rethrow_exception(error);
}

}  // namespace

DraftSet readVCards(const QByteArray& bytes)
{
    DraftGathering gathered;
    const QByteArray text = withoutByteOrderMark(bytes);
    VCardLineReader lines(text);
    readInOneThread(lines, gathered);
    return std::move(gathered.set);
}

void readVCards(QIODevice& device, DraftSink& sink)
{
    const QByteArray start = device.peek(3);
    if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
        // UTF-16 is rare and turned into UTF-8 whole.
        const QByteArray text = withoutByteOrderMark(device.readAll());
        VCardLineReader lines(text);
        readInTwoThreads(lines, sink);
        return;
    }
    if (start == "\xEF\xBB\xBF")
        device.skip(3);
    VCardLineReader lines(device);
    readInTwoThreads(lines, sink);
}
