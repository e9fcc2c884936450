#include "VCardReader.h"

#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardLines.h"
#include "exchange/vcard/VCardProperty.h"

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

bool isMarker(const QByteArray& trimmed, QByteArrayView marker)
{
    return trimmed.size() == marker.size() && trimmed.compare(marker, Qt::CaseInsensitive) == 0;
}

class FileReader {
public:
    DraftSet read(const QByteArray& bytes)
    {
        VCardLineReader lines(bytes);
        ContentLine line;
        while (lines.next(line))
            take(line);
        if (inside_)
            result_.failures.append({cardLine_, QStringLiteral("名片到文件结尾仍没有 END:VCARD，可能不完整")});
        endStray();
        if (!sawCard_ && sawText_)
            throw ExchangeError(QStringLiteral("这不是 vCard 名片文件：没有一张以 BEGIN:VCARD 开始的名片"));
        return std::move(result_);
    }

private:
    void take(const ContentLine& line)
    {
        const QByteArray trimmed = line.text.trimmed();
        if (!trimmed.isEmpty())
            sawText_ = true;
        if (isMarker(trimmed, "BEGIN:VCARD")) {
            endStray();
            if (inside_)
                result_.failures.append({cardLine_, QStringLiteral("名片没有 END:VCARD 就开始了下一张")});
            inside_ = true;
            sawCard_ = true;
            cardLine_ = line.line;
            properties_.clear();
            damage_.clear();
        } else if (!inside_) {
            if (!trimmed.isEmpty() && strayLine_ == 0)
                strayLine_ = line.line;
        } else if (isMarker(trimmed, "END:VCARD")) {
            if (damage_.isEmpty())
                result_.drafts.append(draftOfCard(cardLine_, properties_));
            else
                result_.failures.append({cardLine_, damage_});
            inside_ = false;
        } else if (!trimmed.isEmpty()) {
            std::optional<VCardProperty> property = parseProperty(line);
            if (property)
                properties_.append(std::move(*property));
            else if (damage_.isEmpty())
                damage_ = QStringLiteral("第 %1 行无法读取：不是“名称:值”的形式").arg(line.line);
        }
    }

    void endStray()
    {
        if (strayLine_ == 0)
            return;
        result_.failures.append({strayLine_, QStringLiteral("第 %1 行起的内容不属于任何名片").arg(strayLine_)});
        strayLine_ = 0;
    }

    DraftSet result_;
    QList<VCardProperty> properties_;
    QString damage_;
    int cardLine_ = 0;
    int strayLine_ = 0;
    bool inside_ = false;
    bool sawCard_ = false;
    bool sawText_ = false;
};

}  // namespace

DraftSet readVCards(const QByteArray& bytes)
{
    return FileReader().read(withoutByteOrderMark(bytes));
}
