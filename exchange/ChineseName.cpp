#include "ChineseName.h"

#include "platform/TextRules.h"

const QStringList& compoundSurnames()
{
    static const QStringList surnames = {
        u"欧阳"_qs, u"司马"_qs, u"诸葛"_qs, u"上官"_qs, u"东方"_qs, u"皇甫"_qs, u"尉迟"_qs, u"公孙"_qs,
        u"慕容"_qs, u"令狐"_qs, u"夏侯"_qs, u"宇文"_qs, u"长孙"_qs, u"司徒"_qs, u"司空"_qs, u"端木"_qs,
        u"独孤"_qs, u"南宫"_qs, u"西门"_qs, u"百里"_qs, u"呼延"_qs, u"轩辕"_qs, u"闻人"_qs, u"澹台"_qs,
        u"公羊"_qs, u"赫连"_qs, u"万俟"_qs, u"濮阳"_qs, u"太史"_qs, u"申屠"_qs, u"钟离"_qs, u"宗政"_qs,
        u"淳于"_qs, u"单于"_qs, u"拓跋"_qs, u"第五"_qs, u"东郭"_qs, u"仲孙"_qs, u"左丘"_qs, u"乐正"_qs,
        u"亓官"_qs, u"羊舌"_qs, u"梁丘"_qs, u"公冶"_qs, u"谷梁"_qs, u"段干"_qs, u"巫马"_qs, u"漆雕"_qs,
        u"壤驷"_qs, u"公良"_qs, u"鲜于"_qs, u"闾丘"_qs, u"司寇"_qs, u"子车"_qs, u"颛孙"_qs, u"微生"_qs,
        u"东门"_qs, u"公西"_qs, u"南门"_qs, u"归海"_qs, u"呼衍"_qs, u"纳兰"_qs, u"完颜"_qs, u"爱新觉罗"_qs,
    };
    return surnames;
}

namespace {

char32_t firstCodePoint(const QString& text)
{
    if (text.isEmpty())
        return 0;
    if (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[0], text[1]);
    return text[0].unicode();
}

char32_t lastCodePoint(const QString& text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return 0;
    if (n > 1 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[n - 2], text[n - 1]);
    return text[n - 1].unicode();
}

// Length in UTF-16 units of the first character.
qsizetype firstCharacterLength(const QString& text)
{
    return firstCodePoint(text) > 0xFFFF ? 2 : 1;
}

QStringList splitWords(const QString& text)
{
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool blank = i == text.size() || text[i].isSpace();
        if (blank && start >= 0) {
            words << text.mid(start, i - start);
            start = -1;
        } else if (!blank && start < 0) {
            start = i;
        }
    }
    return words;
}

}  // namespace

NameParts splitPersonName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QStringList words = splitWords(trimmed);
    const bool chinese = IsHan(firstCodePoint(trimmed));
    if (words.size() > 1) {
        if (chinese)
            return {words.first(), words.mid(1).join(QLatin1Char(' '))};
        return {words.last(), words.mid(0, words.size() - 1).join(QLatin1Char(' '))};
    }
    if (!chinese)
        return {QString(), trimmed};
    for (const QString& surname : compoundSurnames()) {
        if (trimmed.size() > surname.size() && trimmed.startsWith(surname))
            return {surname, trimmed.mid(surname.size())};
    }
    const qsizetype first = firstCharacterLength(trimmed);
    return {trimmed.left(first), trimmed.mid(first)};
}

QString joinNameParts(const QStringList& parts)
{
    QString joined;
    for (const QString& part : parts) {
        if (part.trimmed().isEmpty())
            continue;
        if (!joined.isEmpty() && !(IsHan(lastCodePoint(joined)) && IsHan(firstCodePoint(part))))
            joined += QLatin1Char(' ');
        joined += part;
    }
    return joined;
}
