#include "FileLook.h"

#include "exchange/xls/BareBiffReader.h"
#include "exchange/xls/FreeXlReader.h"

#include <QtEndian>
#include <algorithm>

namespace {

struct Signature {
    QByteArrayView start;
    const char* kind;
};

// Kinds people save under a spreadsheet's name by mistake.
QString knownKind(const QByteArray& bytes, qsizetype fileSize)
{
    const QByteArrayView head(bytes.constData(), std::min(bytes.size(), kFileLookBytes));
    if (head.startsWith("PK\x03\x04")) {
        if (head.contains("xl/"))
            return QStringLiteral(".xlsx 工作簿");
        if (head.contains("word/"))
            return QStringLiteral(".docx 文档");
        return QStringLiteral("zip 压缩包");
    }
    if (looksLikeOle2(bytes) || looksLikeBareBiff(bytes))
        return QStringLiteral(".xls 工作簿");
    static const Signature signatures[] = {
        {"\xFF\xD8\xFF", "JPEG 图片"},
        {"\x89PNG\r\n\x1A\n", "PNG 图片"},
        {"GIF87a", "GIF 图片"},
        {"GIF89a", "GIF 图片"},
        {"%PDF-", "PDF 文档"},
        {"Rar!\x1A\x07", "RAR 压缩包"},
        {"7z\xBC\xAF\x27\x1C", "7z 压缩包"},
        {"\x1F\x8B", "gzip 压缩包"},
        {"SQLite format 3", "数据库文件"},
        {"RIFF", "音频或视频文件"},
        {"\x7F"
         "ELF",
         "程序文件"},
    };
    for (const Signature& s : signatures)
        if (head.startsWith(s.start))
            return QString::fromUtf8(s.kind);
    if (head.size() >= 26 && head.startsWith("BM")
        && qFromLittleEndian<quint32>(head.data() + 2) == static_cast<quint32>(fileSize))
        return QStringLiteral("BMP 图片");
    QByteArrayView text = head;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\r' || text.front() == '\n'))
        text = text.sliced(1);
    if (text.size() >= 11 && QByteArray(text.data(), 11).toUpper() == "BEGIN:VCARD")
        return QStringLiteral("vCard 名片（.vcf）");
    return QString();
}

// UTF-16 without a byte order mark: every ASCII character brings a zero byte,
// and they stand nearly all at even places (big-endian) or at odd ones
// (little-endian).
bool looksLikeUtf16(QByteArrayView head)
{
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < head.size(); ++i)
        if (head[i] == '\0')
            ++(i % 2 ? odd : even);
    const qsizetype zeros = even + odd;
    return zeros * 20 >= head.size() && std::max(even, odd) * 10 >= zeros * 9;
}

// Text has almost no control characters other than tab, line feed and carriage return.
bool looksLikeText(const QByteArray& bytes)
{
    const QByteArrayView head(bytes.constData(), std::min(bytes.size(), kFileLookBytes));
    // A byte order mark declares text, however many control characters the cells hold.
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")
        || looksLikeUtf16(head))
        return true;
    qsizetype control = 0;
    for (char c : head) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f') || b == 0x7F)
            ++control;
    }
    return control * 100 <= head.size();
}

}  // namespace

FileLook fileLook(const QByteArray& bytes)
{
    return fileLook(bytes, bytes.size());
}

FileLook fileLook(const QByteArray& head, qsizetype fileSize)
{
    const QString known = knownKind(head, fileSize);
    if (!known.isEmpty())
        return {false, known};
    if (looksLikeText(head))
        return {true, QStringLiteral("文本文件")};
    return {false, QStringLiteral("二进制文件")};
}

QString notWhatItSays(const QString& expected, const FileLook& look)
{
    return QStringLiteral("不是 %1，看起来是 %2").arg(expected, look.kind);
}
