// 生日 texts as people type them, read into Gregorian or lunar dates; and the
// texts that must stay not understood.

#include "exchange/birthday/Birthday.h"

#include <QTest>

namespace {

// "公历 1990-05-01", "农历 闰04-02" (no year), or "不懂".
QString described(const std::optional<Birthday>& b)
{
    if (!b)
        return u"不懂"_qs;
    const QString year = b->year ? QStringLiteral("%1-").arg(b->year) : QString();
    return QStringLiteral("%1 %2%3%4-%5")
        .arg(b->isLunar() ? u"农历"_qs : u"公历"_qs, year, b->leapMonth ? u"闰"_qs : QString())
        .arg(b->month, 2, 10, QLatin1Char('0'))
        .arg(b->day, 2, 10, QLatin1Char('0'));
}

}  // namespace

class TestBirthdayText : public QObject {
    Q_OBJECT
private slots:
    void shouldReadTheTextAsOneCertainDate_data();
    void shouldReadTheTextAsOneCertainDate();
};

void TestBirthdayText::shouldReadTheTextAsOneCertainDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QList<std::pair<const char16_t*, const char16_t*>> cases{
        // Gregorian, with a year
        {u"1990-05-01", u"公历 1990-05-01"},
        {u"1990-5-1", u"公历 1990-05-01"},
        {u"1990/5/1", u"公历 1990-05-01"},
        {u"1990.5.1", u"公历 1990-05-01"},
        {u"19900501", u"公历 1990-05-01"},
        {u"1990年5月1日", u"公历 1990-05-01"},
        {u"1990年05月01号", u"公历 1990-05-01"},
        {u" 1990 年 5 月 1 日 ", u"公历 1990-05-01"},
        {u"１９９０年５月１日", u"公历 1990-05-01"},
        {u"１９９０－０５－０１", u"公历 1990-05-01"},
        {u"一九九〇年五月一日", u"公历 1990-05-01"},
        {u"二〇〇〇年十二月三十一日", u"公历 2000-12-31"},
        {u"2000-02-29", u"公历 2000-02-29"},
        {u"公历1990-05-01", u"公历 1990-05-01"},
        {u"1990-05-01(阳历)", u"公历 1990-05-01"},
        {u"新历：1990年5月1日", u"公历 1990-05-01"},
        // Gregorian, month and day
        {u"5月1日", u"公历 05-01"},
        {u"5月1号", u"公历 05-01"},
        {u"5月1", u"公历 05-01"},
        {u"5-1", u"公历 05-01"},
        {u"05-01", u"公历 05-01"},
        {u"5/1", u"公历 05-01"},
        {u"12.25", u"公历 12-25"},
        {u"--0501", u"公历 05-01"},
        {u"--05-01", u"公历 05-01"},
        {u"2-29", u"公历 02-29"},
        {u"五月一日", u"公历 05-01"},
        {u"十月一号", u"公历 10-01"},
        {u"元月一日", u"公历 01-01"},
        {u"阳历八月十五", u"公历 08-15"},
        {u"國曆8月15日", u"公历 08-15"},
        // lunar, named by the calendar before or after
        {u"农历八月十五", u"农历 08-15"},
        {u"阴历八月十五", u"农历 08-15"},
        {u"旧历八月十五", u"农历 08-15"},
        {u"八月十五农历", u"农历 08-15"},
        {u"八月十五（农历）", u"农历 08-15"},
        {u"【农历】八月十五", u"农历 08-15"},
        {u"農曆八月十五", u"农历 08-15"},
        {u"农历 八月十五日", u"农历 08-15"},
        {u"农历:8月15日", u"农历 08-15"},
        {u"农历8-15", u"农历 08-15"},
        {u"阴历1985-4-2", u"农历 1985-04-02"},
        {u"1985-4-2阴历", u"农历 1985-04-02"},
        {u"1985.04.02 (阴历)", u"农历 1985-04-02"},
        {u"农历19850402", u"农历 1985-04-02"},
        {u"农历1985年4月2日", u"农历 1985-04-02"},
        {u"农历十月三十", u"农历 10-30"},
        {u"农历十一月二十", u"农历 11-20"},
        {u"农历十二月廿三", u"农历 12-23"},
        // lunar by its own words: 正月 冬月 腊月, 初一, 廿, 卅, 闰
        {u"1988年腊月初八", u"农历 1988-12-08"},
        {u"一九八八年腊月初八", u"农历 1988-12-08"},
        {u"正月初一", u"农历 01-01"},
        {u"正月十五", u"农历 01-15"},
        {u"冬月初十", u"农历 11-10"},
        {u"臘月廿九", u"农历 12-29"},
        {u"三月廿一", u"农历 03-21"},
        {u"九月卅", u"农历 09-30"},
        {u"5月初八", u"农历 05-08"},
        {u"元月初一", u"农历 01-01"},
        {u"闰四月初二", u"农历 闰04-02"},
        {u"农历闰四月初二", u"农历 闰04-02"},
        {u"閏四月初二", u"农历 闰04-02"},
        {u"2020年闰四月初二", u"农历 2020-闰04-02"},
        {u"1987年闰六月廿九", u"农历 1987-闰06-29"},
        {u"1987年闰六月三十", u"不懂"},  // that leap month has 29 days
        // not understood: either calendar, or no whole date
        {u"八月十五", u"不懂"},
        {u"十月三十", u"不懂"},
        {u"8月十五", u"不懂"},
        {u"八月15", u"不懂"},
        {u"元月十五", u"不懂"},
        {u"1990年八月十五", u"不懂"},
        {u"", u"不懂"},
        {u"   ", u"不懂"},
        {u"1990", u"不懂"},
        {u"1990年5月", u"不懂"},
        {u"5月", u"不懂"},
        {u"0501", u"不懂"},
        {u"900501", u"不懂"},
        {u"90-5-1", u"不懂"},
        {u"90年5月1日", u"不懂"},
        {u"1990-5/1", u"不懂"},
        {u"1990.5.1.", u"不懂"},
        {u"01/05/1990", u"不懂"},
        {u"25/12", u"不懂"},
        {u"1990-02-29", u"不懂"},
        {u"2-30", u"不懂"},
        {u"13-1", u"不懂"},
        {u"0-1", u"不懂"},
        {u"1990-00-10", u"不懂"},
        {u"0000-05-01", u"不懂"},
        {u"1604-05-01", u"公历 05-01"},  // Apple's year for "no year"
        {u"5月32日", u"不懂"},
        {u"十三月一日", u"不懂"},
        {u"五月三十二日", u"不懂"},
        {u"二月三十日", u"不懂"},
        {u"1990-05-01T10:00", u"不懂"},
        {u"生日1990-05-01", u"不懂"},
        {u"大约五月", u"不懂"},
        {u"不详", u"不懂"},
        // lunar dates that do not exist
        {u"初十一", u"不懂"},
        {u"正月初十一", u"不懂"},
        {u"正月初", u"不懂"},
        {u"正月廿", u"不懂"},
        {u"正月廿十", u"不懂"},
        {u"正月卅一", u"不懂"},
        {u"农历八月三十一", u"不懂"},
        {u"农历1985-4-31", u"不懂"},
        {u"十三月初一", u"不懂"},
        {u"闰十三月初一", u"不懂"},
        {u"1988年闰四月初二", u"不懂"},    // 1988 has no leap month
        {u"1988年腊月三十", u"不懂"},      // 腊月 of 1988 has 29 days
        {u"农历1850年八月十五", u"不懂"},  // before the table
        // contradictions and doubled names
        {u"公历正月初一", u"不懂"},
        {u"阳历闰四月初二", u"不懂"},
        {u"农历八月十五公历", u"不懂"},
        {u"农历1990-06-03公历", u"不懂"},
        {u"1990-06-03（农历五月初十）", u"不懂"},
        {u"农历农历八月十五", u"不懂"},
        {u"闰4-2", u"不懂"},
    };
    for (const auto& [text, expected] : cases)
        QTest::newRow(QString::fromUtf16(text).toUtf8().constData())
            << QString::fromUtf16(text) << QString::fromUtf16(expected);
}

void TestBirthdayText::shouldReadTheTextAsOneCertainDate()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(described(ReadBirthday(text)), expected);
}

QTEST_APPLESS_MAIN(TestBirthdayText)
#include "test_birthday_text.moc"
