// The real message boxes show their texts as they stand, markup-like characters included.

#include "platform/HandlerGuard.h"
#include "platform/QtDesktop.h"
#include "ui/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
// What the box that opened showed, read while it is open; the box is then answered with its first button.
struct ShownBox {
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    bool seen = false;
};

ShownBox showAndRead(const std::function<void()>& open)
{
    ShownBox shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        shown.seen = label != nullptr;
        if (label) {
            shown.text = label->text();
            shown.format = label->textFormat();
        }
        box->buttons().constFirst()->click();
    });
    open();
    return shown;
}
}  // namespace

class BoxTextTest : public QObject {
    Q_OBJECT
    QtDesktop real;
    Desktop* previous = nullptr;

private slots:
    void initTestCase() { previous = setDesktop(&real); }
    void cleanupTestCase() { setDesktop(previous); }

    void shouldShowMarkupAsPlainCharacters_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString name = QStringLiteral("照片/<b>x</b>.jpg");
        QTest::newRow("InfoBox") << 0 << name << name;
        QTest::newRow("ConfirmBox") << 1 << name << name;
        QTest::newRow("error box") << 2 << QStringLiteral("无法打开 ") + name
                                   << QStringLiteral("无法打开 ") + name + u'.';
        QTest::newRow("entity and line break")
            << 0 << QStringLiteral("a &amp; b<br>c") << QStringLiteral("a &amp; b<br>c");
    }
    void shouldShowMarkupAsPlainCharacters()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const ShownBox shown = showAndRead([&] {
            if (kind == 0)
                InfoBox(text);
            else if (kind == 1)
                ConfirmBox(text);
            else
                ShowErrorBox(text);
        });
        QVERIFY(shown.seen);
        QCOMPARE(shown.text, expected);
        QCOMPARE(shown.format, Qt::PlainText);
    }
};

QTEST_MAIN(BoxTextTest)
#include "test_boxtext.moc"
