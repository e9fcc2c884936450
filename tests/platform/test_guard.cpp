#include "platform/Errors.h"
#include "platform/HandlerGuard.h"
#include "tests/support/ScriptedDesktop.h"

#include <QApplication>
#include <QTest>

class GuardTest : public QObject {
    Q_OBJECT
private slots:
    void shouldBuildTitleFromExecutableName()
    {
        QCOMPARE(ApplicationTitleFrom(QStringLiteral("/opt/tessaly/tessaly")), QStringLiteral("tessaly"));
        QCOMPARE(ApplicationTitleFrom(QStringLiteral("/x/TESSALY.BIN.exe")), QStringLiteral("Tessaly"));
        QCOMPARE(ApplicationTitleFrom(QStringLiteral("/a.b/Kontakt")), QStringLiteral("Kontakt"));
    }

    void shouldAddFullStopOnlyAfterCharactersSortingAfterIt()
    {
        QCOMPARE(ErrorBoxText(QStringLiteral("ADOQuery1: 无法在关闭的数据集上执行该操作")),
                 QStringLiteral("ADOQuery1: 无法在关闭的数据集上执行该操作."));
        QCOMPARE(ErrorBoxText(QStringLiteral("done.")), QStringLiteral("done."));
        QCOMPARE(ErrorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));
        QCOMPARE(ErrorBoxText(QStringLiteral("x/")), QStringLiteral("x/."));
        QCOMPARE(ErrorBoxText(QString()), QString());
    }

    void shouldShowEscapingErrorInStopBoxAndCarryOn()
    {
        ScriptedDesktop desk;
        bool after = false;
        Guarded([] { throw EDatabaseError(QStringLiteral("ADOQuery1: 无法在空数据集上执行该操作")); });
        Guarded([] { throw std::runtime_error("boom"); });
        Guarded([&] { after = true; });
        QVERIFY(after);
        QCOMPARE(desk.boxes.size(), 2);
        QCOMPARE(desk.boxes[0].text, QStringLiteral("ADOQuery1: 无法在空数据集上执行该操作."));
        QCOMPARE(desk.boxes[0].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(desk.boxes[0].caption, ApplicationTitle());
        QCOMPARE(desk.boxes[1].text, QStringLiteral("boom."));
    }
};

QTEST_MAIN(GuardTest)
#include "test_guard.moc"
