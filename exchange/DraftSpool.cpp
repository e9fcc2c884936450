#include "DraftSpool.h"

#include "exchange/SpoolFile.h"

#include <cstring>

DraftSpool::DraftSpool(std::shared_ptr<SpoolFile> file) : file_(std::move(file)) {}

namespace {

// A draft's texts as the spool holds them: each string its length in UTF-16
// units (-1 for a null one) and its units as they are in memory, each list its
// count first. Written and read back by the same process, so no byte order.
class TextWriter {
public:
    void add(const QString& text)
    {
        addCount(text.isNull() ? -1 : qint32(text.size()));
        bytes_.append(reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(sizeof(char16_t)));
    }
    void add(const QStringList& texts)
    {
        addCount(qint32(texts.size()));
        for (const QString& text : texts)
            add(text);
    }
    void addCount(qint32 count) { bytes_.append(reinterpret_cast<const char*>(&count), sizeof count); }
    QByteArray& bytes() { return bytes_; }

private:
    QByteArray bytes_;
};

class TextReader {
public:
    explicit TextReader(const QByteArray& bytes) : at_(bytes.constData()), end_(at_ + bytes.size()) {}

    qint32 count()
    {
        qint32 count = 0;
        need(sizeof count);
        std::memcpy(&count, at_, sizeof count);
        at_ += sizeof count;
        return count;
    }
    QString text()
    {
        const qint32 size = count();
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
        const qint32 size = count();
        texts.reserve(size);
        for (qint32 i = 0; i < size; ++i)
            texts.append(text());
        return texts;
    }

private:
    void need(qsizetype size) const
    {
        if (size < 0 || end_ - at_ < size)
            throw ExchangeError(QStringLiteral("导入的临时文件已损坏"));
    }
    const char* at_;
    const char* end_;
};

}  // namespace

void DraftSpool::take(ContactDraft&& draft)
{
    TextWriter out;
    for (const QString& text : draft.texts)
        out.add(text);
    out.addCount(qint32(draft.extras.size()));
    for (const DraftExtra& extra : draft.extras) {
        out.add(extra.label);
        out.add(extra.value);
    }
    out.add(draft.leftOut);
    out.add(draft.said);
    const qint64 offset = file_->append(out.bytes());
    if (!draft.photo.isEmpty())
        file_->append(draft.photo);
    held_.push_back({offset, out.bytes().size(), draft.photo.size(), draft.line});
    draft = ContactDraft();
}

void DraftSpool::take(DraftFailure&& failure)
{
    failures.append(std::move(failure));
}

ContactDraft DraftSpool::draft(int index) const
{
    const Held& held = held_[size_t(index)];
    const QByteArray bytes = file_->read(held.offset, held.textBytes);
    ContactDraft draft;
    draft.line = held.line;
    TextReader in(bytes);
    for (QString& text : draft.texts)
        text = in.text();
    const qint32 extras = in.count();
    draft.extras.reserve(extras);
    for (qint32 i = 0; i < extras; ++i) {
        DraftExtra extra;
        extra.label = in.text();
        extra.value = in.text();
        // The few labels of a file, shared by its cards, rather than one copy per card a plan holds.
        const auto known = labels_.constFind(extra.label);
        if (known != labels_.constEnd())
            extra.label = *known;
        else
            labels_.insert(extra.label);
        draft.extras.append(std::move(extra));
    }
    draft.leftOut = in.texts();
    draft.said = in.texts();
    if (held.photoBytes > 0)
        draft.photo = file_->read(held.offset + held.textBytes, held.photoBytes);
    return draft;
}

FittedPhoto DraftSpool::photo(int index) const
{
    const Held& held = held_[size_t(index)];
    return FittedPhoto(file_, held.offset + held.textBytes, held.photoBytes);
}
