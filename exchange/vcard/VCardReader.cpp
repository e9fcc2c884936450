#include "VCardReader.h"

#include "exchange/ContactLabels.h"
#include "exchange/HandOver.h"
#include "exchange/Utf16ByZeroBytes.h"
#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardLines.h"
#include "exchange/vcard/VCardProperty.h"
#include "exchange/vcard/VCardValue.h"
#include "store/ContactSchema.h"

#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <functional>
#include <thread>
#include <variant>

namespace {

// The encoding of UTF-16 text, known by its byte order mark or, without one, by its zero bytes.
std::optional<QStringConverter::Encoding> utf16Of(QByteArrayView start)
{
    if (start.startsWith("\xFF\xFE"))
        return QStringConverter::Utf16LE;
    if (start.startsWith("\xFE\xFF"))
        return QStringConverter::Utf16BE;
    return Utf16ByZeroBytes(start);
}

// UTF-8 with its byte order mark removed; UTF-16 files (with their mark or without) become UTF-8.
QByteArray withoutByteOrderMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.sliced(3);
    if (const std::optional<QStringConverter::Encoding> wide = utf16Of(bytes)) {
        const bool marked = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        QStringDecoder decoder(*wide);
        return QString(decoder.decode(bytes.sliced(marked ? 2 : 0))).toUtf8();
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
        bool agent = false;  // opened by AGENT: the person's assistant
    };
    int line = 0;
    QList<VCardProperty> properties;
    QStringList said;  // what the reading says of the card: lines skipped, an END missing
    QList<Nested> nested;
    bool closed = true;
};

using ReadItem = std::variant<ReadCard, DraftFailure>;

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
        const Agent agent = depth_ == 1 ? agentOf(trimmed) : Agent::None;
        if (agent == Agent::Follows) {
            agentFollows_ = true;  // "AGENT:" alone: the assistant's card starts on the next line
            return;
        }
        if (agent == Agent::Opens || isMarker(trimmed, "BEGIN:VCARD")) {
            endStray();
            if (depth_++ == 0) {
                sawCard_ = true;
                card_ = ReadCard{};
                card_.line = line.line;
                card_.properties.reserve(16);  // as many as most cards have, so the list seldom grows
            } else if (depth_ == 2) {
                nested_ = ReadCard::Nested{};
                nested_.line = line.line;
                nested_.agent = agent == Agent::Opens || agentFollows_;
            }
            agentFollows_ = false;
        } else if (depth_ == 0) {
            takeStray(line, trimmed);
        } else if (isMarker(trimmed, "END:VCARD")) {
            if (--depth_ == 0)
                finishCard(true);
            else if (depth_ == 1)
                card_.nested.append(std::move(nested_));
        } else if (!trimmed.isEmpty()) {
            agentFollows_ = false;
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

    enum class Agent { None, Opens, Follows };

    // "AGENT:BEGIN:VCARD" opens the assistant's card in version 2.1; "AGENT:" alone says it follows.
    static Agent agentOf(QByteArrayView trimmed)
    {
        if (trimmed.size() < 6 || (trimmed[0] | 0x20) != 'a' || (trimmed[5] != ':' && trimmed[5] != ';')
            || trimmed.first(5).compare("AGENT", Qt::CaseInsensitive) != 0)
            return Agent::None;
        const QByteArrayView value = trimmed.sliced(trimmed.indexOf(':') + 1).trimmed();
        if (value.isEmpty())
            return Agent::Follows;
        return isMarker(value, "BEGIN:VCARD") ? Agent::Opens : Agent::None;
    }

    // Lines outside every card. Some writers leave out the first card's BEGIN:VCARD:
    // lines that end with END:VCARD and say the version and a name are that card.
    void takeStray(ContentLine& line, QByteArrayView trimmed)
    {
        if (trimmed.isEmpty())
            return;
        if (strayLine_ == 0) {
            strayLine_ = line.line;
            stray_.clear();
        }
        if (isMarker(trimmed, "END:VCARD")) {
            const auto has = [this](QByteArrayView name) {
                return std::any_of(stray_.cbegin(), stray_.cend(), [name](const auto& p) { return p.name == name; });
            };
            if (has("VERSION") && (has("N") || has("FN"))) {
                sawCard_ = true;
                card_ = ReadCard{};
                card_.line = strayLine_;
                card_.properties = std::move(stray_);
                card_.said << QStringLiteral("名片缺少开头的 BEGIN:VCARD，已按名片读取");
                strayLine_ = 0;
                finishCard(true);
            }
            return;
        }
        constexpr qsizetype mostKept = 256;  // a card's worth: what is not a card stays one failure
        if (stray_.size() < mostKept) {
            if (std::optional<VCardProperty> property = parseProperty(std::move(line)))
                stray_.append(std::move(*property));
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
    QList<VCardProperty> stray_;
    bool agentFollows_ = false;
    int depth_ = 0;
    int strayLine_ = 0;
    bool sawCard_ = false;
    bool sawText_ = false;
};

void give(ReadItem&& item, DraftSink& sink);

// A card inside a card (version 2.1's AGENT, or a card simply nested): its name as
// 助理 or 关系人, its other values under labels that name it ("电话（助理 Susan）"),
// never in the person's columns.
void appendAsValues(ContactDraft& draft, const ContactDraft& nested, bool agent)
{
    const QString role = agent ? u"助理"_qs : u"关系人"_qs;
    const QString name = nested.text(ContactText::Name).trimmed();
    if (!name.isEmpty())
        draft.extras.append({role, name});
    const QString kind = AnotherPersonsKind(role, name);
    for (int i = 0; i < ContactTextCount; ++i) {
        if (i != int(ContactText::Name) && !nested.texts[i].trimmed().isEmpty())
            draft.extras.append({LabelWithKind(ContactTextColumns()[i], kind), nested.texts[i]});
    }
    for (const DraftExtra& extra : nested.extras)
        draft.extras.append({LabelWithKind(extra.label, kind), extra.value});
}

// Version 3.0 writes the assistant's card into AGENT's value, its line ends escaped as "\n".
bool holdsACard(const VCardProperty& p)
{
    return p.name == "AGENT"
           && p.value.trimmed()
                      .first(std::min<qsizetype>(11, p.value.trimmed().size()))
                      .compare("BEGIN:VCARD", Qt::CaseInsensitive)
                  == 0;
}

void appendEmbeddedCards(ContactDraft& draft, const VCardProperty& agent)
{
    const QByteArray card = unescapeText(QString::fromUtf8(agent.value), true).toUtf8();
    DraftGathering inside;
    VCardLineReader lines(card);
    FileReader([&inside](ReadItem&& item) { give(std::move(item), inside); }).read(lines);
    for (const ContactDraft& nested : inside.set.drafts)
        appendAsValues(draft, nested, true);
}

// A closed card takes the cards inside it as its own values; a card never closed
// was cut short, and the cards after it are people of their own.
void giveCard(ReadCard& card, DraftSink& sink)
{
    QList<VCardProperty> embedded;
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        if (card.properties[i].name.size() == 5 && holdsACard(card.properties[i]))
            embedded.append(card.properties.takeAt(i--));
    }
    ContactDraft draft = draftOfCard(card.line, card.properties);
    draft.said = card.said + draft.said;
    for (const VCardProperty& agent : embedded)
        appendEmbeddedCards(draft, agent);
    QList<ContactDraft> nested;
    for (const ReadCard::Nested& inside : card.nested)
        nested.append(draftOfCard(inside.line, inside.properties));
    if (card.closed) {
        for (qsizetype i = 0; i < nested.size(); ++i)
            appendAsValues(draft, nested[i], card.nested[i].agent);
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
    const QByteArray start = device.peek(Utf16SampleBytes);
    if (utf16Of(start)) {
        // UTF-16 is rare and turned into UTF-8 whole.
        const QByteArray text = withoutByteOrderMark(device.readAll());
        VCardLineReader lines(text);
        readInTwoThreads(lines, sink);
        return;
    }
    if (start.startsWith("\xEF\xBB\xBF"))
        device.skip(3);
    VCardLineReader lines(device);
    readInTwoThreads(lines, sink);
}
