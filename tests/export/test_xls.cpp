#include "export/XlsExport.h"
#include "export/XlsSink.h"
#include "platform/Errors.h"
#include "platform/Gbk.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"
#include "tests/support/TestFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>
#include <sys/file.h>

namespace {

const QStringList& kColumns = ContactTextColumns();

QByteArray bof()
{
    return QByteArray::fromHex("090808000000100000000000");
}
QByteArray eof()
{
    return QByteArray::fromHex("0a000000");
}

// A LABEL record laid out by hand, for comparing whole files.
QByteArray label(quint16 column, quint16 row, const QByteArray& text)
{
    auto le = [](quint16 v) { return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8)); };
    return le(0x0204) + le(quint16(text.size() + 8)) + le(row) + le(column) + le(0) + le(quint16(text.size())) + text;
}

QByteArray headerRow()
{
    const char* names[] = {"\xC0\xE0\xB1\xF0", "\xD0\xD5\xC3\xFB", "\xC9\xFA\xC8\xD5", "\xB5\xE7\xBB\xB0", "QQ",
                           "\xB5\xD8\xD6\xB7", "\xB1\xB8\xD7\xA2"};
    QByteArray out;
    for (quint16 i = 0; i < 7; ++i)
        out += label(i, 0, names[i]);
    return out;
}

QByteArray padded(const QByteArray& text, int width)
{
    return text + QByteArray(width - text.size(), ' ');
}

// The row a record of (category, name, QQ) gives, other fields null; ASCII only.
QByteArray recordRow(quint16 row, const QByteArray& category, const QByteArray& name, const QByteArray& qq)
{
    return label(0, row, padded(category, 10)) + label(1, row, padded(name, 10)) + label(2, row, "") + label(3, row, "")
           + label(4, row, padded(qq, 15)) + label(5, row, "") + label(6, row, "");
}

// A device that takes only so many bytes in all, like a disk that fills up.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }
    QByteArray taken;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 n = std::min(size, room_ - taken.size());
        if (n <= 0)
            return -1;
        taken.append(data, n);
        return n;
    }

private:
    qint64 room_;
};

// Appends a record of (category, name, QQ), other fields null.
void add(ContactBook& book, const QString& category, const QString& name, const QString& qq)
{
    book.query.AppendRecord({category, name, QVariant(), QVariant(), qq});
}

}  // namespace

class XlsTest : public QObject {
    Q_OBJECT
private slots:
    void shouldWriteOneLabelRecordPerCell_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("header QQ") << 4 << 0 << "QQ" << QByteArray::fromHex("04020a0000000400000002005151");
        QTest::newRow("padded QQ 777") << 4 << 1 << "777            "
                                       << QByteArray::fromHex("040217000100040000000f00373737") + QByteArray(12, ' ');
        QTest::newRow("empty text") << 6 << 3 << "" << QByteArray::fromHex("040208000300060000000000");
        QTest::newRow("gbk name") << 1 << 0 << "姓名" << QByteArray::fromHex("04020c000000010000000400d0d5c3fb");
        QTest::newRow("high row and column") << 0x1234 << 0xFFFF << "a"
                                             << QByteArray::fromHex("04020900ffff3412000001006"
                                                                    "1");
    }
    void shouldWriteOneLabelRecordPerCell()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        WriteXlsLabel(buffer, quint16(column), quint16(row), text);
        QCOMPARE(buffer.data().toHex(' '), bytes.toHex(' '));
    }

    void shouldRaiseWriteErrorOnShortWrite()
    {
        for (qint64 room : {0, 5, 12, 15}) {
            FillingDevice device(room);
            try {
                WriteXlsLabel(device, 1, 1, QStringLiteral("王小明"));
                QFAIL("a short write must raise");
            } catch (const EWriteError& e) {
                QCOMPARE(e.Message, QStringLiteral("写流出错"));
            }
        }
    }

    void shouldAddExtensionUnlessPresent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << "report"
                               << "report.xls";
        QTest::newRow("upper") << "REPORT.XLS"
                               << "REPORT.XLS";
        QTest::newRow("mixed") << "report.Xls"
                               << "report.Xls";
        QTest::newRow("xlsx") << "report.xlsx"
                              << "report.xlsx";
        QTest::newRow("inside") << "my.xls.txt"
                                << "my.xls.txt";
        QTest::newRow("other") << "report.txt"
                               << "report.txt.xls";
        QTest::newRow("chinese") << "/tmp/通讯录"
                                 << "/tmp/通讯录.xls";
        QTest::newRow("folder holds it") << "/home/a.xls/b"
                                         << "/home/a.xls/b";
    }
    void shouldAddExtensionUnlessPresent()
    {
        QFETCH(QString, name);
        QFETCH(QString, result);
        QCOMPARE(EnsureExtension(name, ".xls"), result);
    }

    void shouldWriteOnlyHeaderForEmptyView()
    {
        ContactBook book;
        const QString file = book.folder.file("empty.xls");
        TestFolder::writeAll(file, QByteArray(500, 'x'));  // an older, longer file is replaced
        QVERIFY(ExportToXls(book.query, file, kColumns));
        const QByteArray bytes = TestFolder::readAll(file);
        QCOMPARE(bytes.size(), 126);
        QCOMPARE(bytes.toHex(' '), (bof() + headerRow() + eof()).toHex(' '));
    }

    void shouldCreateTheFileForItsOwnerOnlyAndKeepAnOldFilesMode()
    {
        ContactBook book;
        const QString created = book.folder.file("new.xls");
        QVERIFY(ExportToXls(book.query, created, kColumns));
        QCOMPARE(QFile::permissions(created),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const QString old = book.folder.file("old.xls");
        TestFolder::writeAll(old, "x");
        QVERIFY(QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(ExportToXls(book.query, old, kColumns));
        QVERIFY(QFile::permissions(old).testFlag(QFile::ReadOther));
    }

    void shouldWritePaddedValuesAndNullsInViewOrder()
    {
        ContactBook book;
        add(book, "friend", "Bob", "777");
        add(book, "work", "Ann", "12");
        add(book, "friend", "Cy", "9");
        book.query.SetFilter("类别 = 'friend'");
        book.query.SetFiltered(true);
        book.query.SetSort("姓名 DESC");

        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(ExportToXls(book.query, buffer, kColumns));
        QCOMPARE(buffer.data().toHex(' '), (bof() + headerRow() + recordRow(1, "friend", "Cy", "9")
                                            + recordRow(2, "friend", "Bob", "777") + eof())
                                               .toHex(' '));
        // The walk ends on the last record, and the grid follows the query again.
        QCOMPARE(book.query.RecNo(), 2);
        QVERIFY(!book.query.ControlsDisabled());
    }

    void shouldWriteCellsInGbkAsToGbkDoes()
    {
        ContactBook book;
        const QString rare = QString::fromUcs4(U"\U00020000");
        book.query.AppendRecord({"朋友", "王" + rare, "€ 1990", QVariant(), "777", "北京·海淀", "备注 Ä"});
        QByteArray expected = bof() + headerRow();
        for (quint16 i = 0; i < 7; ++i)
            expected += label(i, 1, toGbk(book.query.FieldByName(kColumns[i])->AsString()));
        expected += eof();
        QVERIFY(expected.contains(toGbk(rare)));

        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(ExportToXls(book.query, buffer, kColumns));
        QCOMPARE(buffer.data().toHex(' '), expected.toHex(' '));
    }

    void shouldReportFileThatCannotBeCreated_data()
    {
        QTest::addColumn<QString>("name");  // inside the test folder
        QTest::addColumn<QString>("why");
        QTest::newRow("missing folder") << "missing/report.xls"
                                        << "文件夹不存在";
        QTest::newRow("under a plain file") << "plain.txt/report.xls"
                                            << "文件夹不存在";
        QTest::newRow("a folder") << "folder.xls"
                                  << "这是一个文件夹";
    }
    void shouldReportFileThatCannotBeCreated()
    {
        QFETCH(QString, name);
        QFETCH(QString, why);
        ContactBook book;
        TestFolder::writeAll(book.folder.file("plain.txt"), "plain");
        QVERIFY(QDir(book.folder.path()).mkdir("folder.xls"));
        QString reason;
        QVERIFY(!ExportToXls(book.query, book.folder.file(name), kColumns, &reason));
        QCOMPARE(reason, QStringLiteral("无法创建文件“%1”:%2").arg(book.folder.file(name), why));
        QCOMPARE(TestFolder::readAll(book.folder.file("plain.txt")), QByteArray("plain"));
        QVERIFY(!QFile::exists(book.folder.file("missing")));

        QVERIFY(!ExportToXls(book.query, QString(), kColumns, &reason));
        QCOMPARE(reason, QStringLiteral("没有文件名"));
    }

    void shouldLeaveFileAnotherProgramHoldsWhole()
    {
        ContactBook book;
        const QString file = book.folder.file("held.xls");
        TestFolder::writeAll(file, "held");
        QFile holder(file);
        QVERIFY(holder.open(QIODevice::ReadOnly));
        QCOMPARE(flock(holder.handle(), LOCK_EX | LOCK_NB), 0);
        QString reason;
        QVERIFY(!ExportToXls(book.query, file, kColumns, &reason));
        QCOMPARE(reason, QStringLiteral("无法创建文件“%1”:文件正被其他程序使用").arg(file));
        QCOMPARE(TestFolder::readAll(file), QByteArray("held"));
    }

    void shouldReportARefusedPieceThroughTheDeviceWithoutThrowing()
    {
        FillingDevice device(1000);
        XlsSink sink(device);
        const QByteArray piece(40 * 1024, 'x');
        QCOMPARE(sink.write(piece), qint64(piece.size()));  // collected, not yet handed on
        qint64 second = 0;
        try {
            second = sink.write(piece);  // hands on 80 KiB; the device takes 1000 bytes
        } catch (...) {
            QFAIL("an exception left QIODevice::write");
        }
        QCOMPARE(second, qint64(-1));
        QCOMPARE(sink.write("more", 4), qint64(-1));  // and every write after it fails
        QCOMPARE(device.taken.size(), 1000);
        QVERIFY_THROWS_EXCEPTION(EWriteError, sink.Finish());
    }

    void shouldReportFullDiskAndKeepWhatWasWritten()
    {
        ContactBook book;
        book.fill(200, "x");
        FillingDevice device(126 + 1000);
        QString reason;
        QVERIFY(!ExportToXls(book.query, device, kColumns, &reason));
        QCOMPARE(reason, QStringLiteral("写流出错"));
        QVERIFY(!book.query.ControlsDisabled());
        QVERIFY(device.taken.startsWith(bof() + headerRow()));
        QVERIFY(!device.taken.endsWith(eof()));

        QString fullReason;
        QVERIFY(!ExportToXls(book.query, QStringLiteral("/dev/full"), kColumns, &fullReason));
        QCOMPARE(fullReason, QStringLiteral("写流出错"));
    }

    void shouldReportFieldThatCannotBeRead()
    {
        ContactBook book;
        add(book, "friend", "Bob", "777");
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString reason;
        QVERIFY(!ExportToXls(book.query, buffer, {"类别", "年龄"}, &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!book.query.ControlsDisabled());
    }

    void shouldRefuseMoreRowsThanTheFormatNumbers()
    {
        ContactBook book;
        book.fill(65536, "x");
        QCOMPARE(book.query.RecordCount(), 65536);
        const QString file = book.folder.file("big.xls");
        TestFolder::writeAll(file, "keep me");
        QString reason;
        QVERIFY(!ExportToXls(book.query, file, kColumns, &reason));
        QCOMPARE(reason, QStringLiteral("记录超过65535条"));
        QCOMPARE(TestFolder::readAll(file), QByteArray("keep me"));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(!ExportToXls(book.query, buffer, kColumns));
        QVERIFY(buffer.data().isEmpty());

        // One record fewer fits: the last row is numbered 65535.
        book.query.Last();
        book.query.Delete();
        QVERIFY(ExportToXls(book.query, file, kColumns));
        const QByteArray bytes = TestFolder::readAll(file);
        QCOMPARE(bytes.size(), 126 + 65535 * (6 * 12 + 22));
        QCOMPARE(bytes.right(16), label(6, 65535, "") + eof());
    }

    void shouldRefuseToOverwriteTheDatabase()
    {
        ContactBook book;
        add(book, "friend", "Bob", "777");
        const QByteArray before = TestFolder::readAll(book.folder.databasePath());
        QString reason;
        QVERIFY(!ExportToXls(book.query, book.folder.path() + "/./Kalvo.mdb", kColumns, &reason));
        QCOMPARE(reason, QStringLiteral("不能覆盖数据库文件"));
        QCOMPARE(TestFolder::readAll(book.folder.databasePath()), before);
        QCOMPARE(book.query.RecordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(XlsTest)
#include "test_xls.moc"
