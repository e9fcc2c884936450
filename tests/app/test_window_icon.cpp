// Both windows carry Tessaly's own icon, in every size the desktop folder ships.

#include "app/Startup.h"
#include "app/WindowIcon.h"
#include "forms/Unit_main.h"
#include "forms/Unit_mm.h"
#include "platform/AppPaths.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QTest>

class WindowIconTest : public QObject {
    Q_OBJECT
private slots:
    void shouldGiveBothWindowsTheIconInEverySize()
    {
        UseTessalyIcon();
        TestFolder folder;
        OverrideExecutablePathForTests(folder.executablePath());
        ScriptedDesktop desk;
        ApplicationWindows windows;
        for (QWidget* window : {static_cast<QWidget*>(Form_main), static_cast<QWidget*>(Form_mm)}) {
            const QIcon icon = window->windowIcon();
            QCOMPARE(icon.availableSizes(),
                     (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
            // The pictures themselves, not Qt's empty stand-in: the book's cover is opaque in its middle.
            const QImage picture = icon.pixmap(QSize(64, 64)).toImage();
            QCOMPARE(qAlpha(picture.pixel(32, 32)), 255);
        }
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("tessaly"));
    }
};

QTEST_MAIN(WindowIconTest)
#include "test_window_icon.moc"
