#include "store/ContactSchema.h"
#include "store/FilterExpr.h"

#include <QTest>
#include <optional>
#include <vector>

namespace {

const QStringList kColumns = ContactTextColumns() + QStringList{PhotoColumn()};
const QList<bool> kBlob{false, false, false, false, false, false, false, true};

// A record given as texts in column order; std::nullopt is a null value.
class Row : public FilterRow {
public:
    Row(std::initializer_list<std::optional<QString>> values) : values_(values) {}
    bool IsNull(int column) const override { return column >= int(values_.size()) || !values_[column].has_value(); }
    QStringView Text(int column) const override
    {
        return IsNull(column) ? QStringView() : QStringView(*values_[column]);
    }

private:
    std::vector<std::optional<QString>> values_;
};

bool matches(const QString& filter, const Row& row)
{
    return FilterExpr::Parse(filter, kColumns, kBlob)->Matches(row);
}

const Row wang{"朋友", "王小明", "1990-01-02", "13812345678", "777", "北京", "O'Neil's friend"};
const Row smith{"同事", "John Smith", std::nullopt, "010-555", "1234", std::nullopt, "50% off"};
const Row numbers{"", "", "", "1e3", " -2.5", "12345678901234567890", ""};

}  // namespace

class FilterTest : public QObject {
    Q_OBJECT
private slots:
    void shouldEvaluateConditions_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("wangMatches");
        QTest::addColumn<bool>("smithMatches");
        QTest::newRow("equals") << "类别 = '朋友'" << true << false;
        QTest::newRow("not equal") << "类别 <> '朋友'" << false << true;
        QTest::newRow("contains %") << "姓名 like  '%王%'" << true << false;
        QTest::newRow("starts with *") << "姓名 like  '王*'" << true << false;
        QTest::newRow("like must cover whole value") << "姓名 like '王'" << false << false;
        QTest::newRow("_ is no wildcard") << "QQ like '7_7'" << false << false;
        QTest::newRow("? is no wildcard") << "QQ like '12?4'" << false << false;
        QTest::newRow("? in a note finds no note") << "备注 like  '%?%'" << false << false;
        QTest::newRow("trailing blank in pattern kept") << "姓名 like  '%王 %'" << false << false;
        QTest::newRow("like ignores ascii case") << "姓名 like '%SMITH'" << false << true;
        QTest::newRow("equals ignores ascii case") << "姓名 = 'john smith'" << false << true;
        QTest::newRow("column ignores ascii case") << "qq = '777'" << true << false;
        QTest::newRow("bracketed column") << "[姓名] like '%Smith%'" << false << true;
        QTest::newRow("doubled apostrophe") << "备注 like '%O''Neil''s%'" << true << false;
        QTest::newRow("percent in value is wildcard") << "备注 like '%50% off%'" << false << true;
        QTest::newRow("and") << "类别 = '朋友' and 姓名 like  '%王%'" << true << false;
        QTest::newRow("and both needed") << "类别 = '朋友' AND 电话 like '010*'" << false << false;
        QTest::newRow("or") << "类别 = '同事' Or 电话 like '138*'" << true << true;
        QTest::newRow("and binds tighter") << "类别 = '同事' or 类别 = '朋友' and QQ = '1'" << false << true;
        QTest::newRow("parentheses") << "(类别 = '同事' or 类别 = '朋友') and QQ = '777'" << true << false;
        QTest::newRow("nested parentheses") << "((QQ = 1234))" << false << true;
        QTest::newRow("number compares numerically") << "QQ > 800" << false << true;
        QTest::newRow("number le") << "QQ <= 777" << true << false;
        QTest::newRow("number ge no blanks") << "QQ >=1234" << false << true;
        QTest::newRow("number equals 777.0") << "QQ = 777.0" << true << false;
        QTest::newRow("text less than") << "QQ < '8'" << true << true;
        QTest::newRow("number against non-numeric text") << "电话 = 010" << false << false;
        QTest::newRow("negative number") << "QQ > -1" << true << true;
        QTest::newRow("fraction") << "QQ < 777.5" << true << false;
        QTest::newRow("null matches nothing") << "生日 like '*'" << true << false;
        QTest::newRow("null not unequal either") << "地址 <> 'x'" << true << false;
        QTest::newRow("empty filter matches all") << "  " << true << true;
    }
    void shouldEvaluateConditions()
    {
        QFETCH(QString, filter);
        QFETCH(bool, wangMatches);
        QFETCH(bool, smithMatches);
        QCOMPARE(matches(filter, wang), wangMatches);
        QCOMPARE(matches(filter, smith), smithMatches);
    }

    void shouldReadColumnTextsAsNumbers_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("expected");
        QTest::newRow("exponent") << "电话 = 1000" << true;
        QTest::newRow("leading blank and sign") << "QQ = -2.5" << true;
        QTest::newRow("many digits") << "地址 > 1e19" << true;
        QTest::newRow("text fallback") << "备注 = 0" << false;
    }
    void shouldReadColumnTextsAsNumbers()
    {
        QFETCH(QString, filter);
        QFETCH(bool, expected);
        QCOMPARE(matches(filter, numbers), expected);
    }

    void shouldRefuseWhatDoesNotParse_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("unescaped apostrophe") << "姓名 like  '%O'Neil%'";
        QTest::newRow("unterminated quote") << "姓名 = 'abc";
        QTest::newRow("unknown column") << "年龄 = 5";
        QTest::newRow("blob column") << "jpg = 'x'";
        QTest::newRow("missing value") << "姓名 =";
        QTest::newRow("missing operator") << "姓名 '王'";
        QTest::newRow("bare word value") << "姓名 = 王";
        QTest::newRow("dangling and") << "姓名 = '王' and";
        QTest::newRow("missing close paren") << "(姓名 = '王'";
        QTest::newRow("stray close paren") << "姓名 = '王')";
        QTest::newRow("unterminated bracket") << "[姓名 = '王'";
        QTest::newRow("malformed number") << "QQ = 12ab";
        QTest::newRow("stray character") << "姓名 == '王'";
        QTest::newRow("keyword as column") << "and = '王'";
    }
    void shouldRefuseWhatDoesNotParse()
    {
        QFETCH(QString, filter);
        QVERIFY_THROWS_EXCEPTION(FilterSyntaxError, FilterExpr::Parse(filter, kColumns, kBlob));
    }

    // Texts far longer than a search makes, such as a name that closes its
    // quote and goes on with parentheses: refused or evaluated, never a crash.
    void shouldStayWithinTheStackForLongTexts()
    {
        const QString condition = QStringLiteral("QQ = 777");
        const QString deep = QString(100000, u'(') + condition + QString(100000, u')');
        QVERIFY_THROWS_EXCEPTION(FilterSyntaxError, FilterExpr::Parse(deep, kColumns, kBlob));
        const QString nested = QString(100, u'(') + condition + QString(100, u')');
        QVERIFY(matches(nested, wang));

        QStringList chain(200000, condition);
        QVERIFY(matches(chain.join(QStringLiteral(" and ")), wang));
        QVERIFY(!matches(chain.join(QStringLiteral(" and ")) + QStringLiteral(" and QQ = 1"), wang));
        chain.fill(QStringLiteral("QQ = 1"));
        QVERIFY(!matches(chain.join(QStringLiteral(" or ")), wang));
        QVERIFY(matches(chain.join(QStringLiteral(" or ")) + QStringLiteral(" or QQ = 777"), wang));
    }

    void shouldMatchLikePatternsWithBacktracking_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty pattern empty value") << ""
                                                   << "" << true;
        QTest::newRow("empty pattern") << ""
                                       << "a" << false;
        QTest::newRow("only wildcard") << "%"
                                       << "" << true;
        QTest::newRow("backtrack") << "%ab%abc"
                                   << "abxababc" << true;
        QTest::newRow("backtrack fails") << "%ab%abd"
                                         << "abxababc" << false;
        QTest::newRow("wildcards mixed") << "a*b%c"
                                         << "aXXbYYc" << true;
        QTest::newRow("_ is itself") << "a_b"
                                     << "aXb" << false;
        QTest::newRow("_ matches _") << "a_b"
                                     << "a_b" << true;
        QTest::newRow("? is itself") << "%?%"
                                     << "what" << false;
        QTest::newRow("? matches ?") << "%?%"
                                     << "what?" << true;
        QTest::newRow("chinese") << "%小%"
                                 << "王小明" << true;
        QTest::newRow("pieces may not overlap") << "%a%a"
                                                << "a" << false;
        QTest::newRow("start and end may not overlap") << "ab%b"
                                                       << "ab" << false;
        QTest::newRow("start, middle and end") << "a%b%c"
                                               << "abc" << true;
        QTest::newRow("middle taken leftmost") << "x%ab%b"
                                               << "xabab" << true;
        QTest::newRow("literals around run") << "_%?"
                                             << "_x?" << true;
        QTest::newRow("literal after run") << "%_"
                                           << "ab" << false;
        QTest::newRow("letter head found in either case") << "%sMi%"
                                                          << "John SMITH" << true;
        QTest::newRow("no ascii folding beyond ascii") << "%ä%"
                                                       << "Ä" << false;
    }
    void shouldMatchLikePatternsWithBacktracking()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, value);
        QFETCH(bool, expected);
        QString escaped = pattern;
        escaped.replace("'", "''");
        const Row row{"", value};
        QCOMPARE(matches("姓名 like '" + escaped + "'", row), expected);
    }
};

QTEST_APPLESS_MAIN(FilterTest)
#include "test_filter.moc"
