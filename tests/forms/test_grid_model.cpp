// The grid's model keeps Qt's model rules while the query under it opens,
// filters, sorts, appends, changes, deletes, holds, releases and closes; and
// after every step it shows exactly the query's view.

#include "forms/DBGridModel.h"
#include "store/ContactSchema.h"
#include "tests/support/ContactBook.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <functional>
#include <memory>

namespace {
struct Step {
    const char* name;
    std::function<void(TADOQuery&)> act;
};

QStringList modelNames(const TDBGridModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.index(row, 1).data().toString().trimmed();
    return names;
}

void change(TADOQuery& query, const QString& name)
{
    query.Edit();
    query.FieldByName(ContactTextColumn(ContactText::Name))->SetAsString(name);
    query.Post();
}
}  // namespace

class GridModelTest : public QObject {
    Q_OBJECT
private slots:
    void shouldKeepModelRulesAndShowTheViewThroughEveryStep()
    {
        ContactBook book;
        book.addNames({"丙", "甲", "乙", "丁"});
        TDataSource source{&book.query};
        TDBGridModel model;
        model.SetDataSource(&source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        const std::vector<Step> steps{
            {"open", [&](TADOQuery&) { book.reopen(); }},
            {"filter",
             [](TADOQuery& q) {
                 q.SetFilter(QStringLiteral("姓名 <> '丁'"));
                 q.SetFiltered(true);
             }},
            {"sort", [](TADOQuery& q) { q.SetSort(QStringLiteral("姓名   ASC")); }},
            {"append",
             [](TADOQuery& q) {
                 q.AppendRecord({QString(), QStringLiteral("戊")});
             }},
            {"change",
             [](TADOQuery& q) {
                 q.First();
                 change(q, QStringLiteral("己"));
             }},
            {"move", [](TADOQuery& q) { q.Last(); }},
            {"delete", [](TADOQuery& q) { q.Delete(); }},
            {"filter off", [](TADOQuery& q) { q.SetFiltered(false); }},
            {"hold", [](TADOQuery& q) { q.DisableControls(); }},
            {"append while held",
             [](TADOQuery& q) {
                 q.AppendRecord({QString(), QStringLiteral("庚")});
                 q.AppendRecord({QString(), QStringLiteral("辛")});
                 q.First();
                 q.Delete();
             }},
            {"release", [](TADOQuery& q) { q.EnableControls(); }},
            {"delete all",
             [](TADOQuery& q) {
                 while (q.RecordCount() > 0)
                     q.Delete();
             }},
            {"append to empty",
             [](TADOQuery& q) {
                 q.AppendRecord({QString(), QStringLiteral("壬")});
             }},
            {"close", [](TADOQuery& q) { q.Close(); }},
            {"open again", [&](TADOQuery&) { book.reopen(); }},
        };
        QStringList shownWhenHeld;
        for (const Step& step : steps) {
            step.act(book.query);
            const char* at = step.name;
            if (book.query.ControlsDisabled()) {
                if (shownWhenHeld.isEmpty())
                    shownWhenHeld = modelNames(model);
                QVERIFY2(modelNames(model).size() == shownWhenHeld.size(), at);  // a held grid does not follow
                continue;
            }
            shownWhenHeld.clear();
            if (!book.query.Active()) {
                QVERIFY2(model.rowCount() == 0 && model.columnCount() == 0, at);
                continue;
            }
            QVERIFY2(modelNames(model) == book.viewNames(), at);
            QVERIFY2(model.columnCount() == ContactTextColumns().size() + 1, at);
            const int recNo = book.query.RecNo();
            QVERIFY2(model.CurrentRow() == (recNo > 0 ? recNo - 1 : -1), at);
        }
    }
};

QTEST_MAIN(GridModelTest)
#include "test_grid_model.moc"
