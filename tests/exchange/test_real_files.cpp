// Files as real programs write them, one fault of theirs each, read through
// the import's format table and fitted to the book's columns: every
// real-files/<name>.<ext> beside <name>.expected, the records it must give.

#include "exchange/ContactFitting.h"
#include "exchange/ContactIdentity.h"
#include "exchange/Formats.h"
#include "store/ContactSchema.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

const ColumnWidths bookWidths{10, 10, 15, 15, 15, 30, 100};

// One line a column or kept value, in the columns' order; failures last.
QString described(const DraftSet& set)
{
    QString out;
    for (const ContactDraft& draft : set.drafts) {
        const FittedContact fitted = FitDraft(draft, bookWidths);
        out += QStringLiteral("记录 第%1行\n").arg(draft.line);
        for (int i = 0; i < ContactTextCount; ++i) {
            if (!fitted.texts[i].isEmpty())
                out += ContactTextColumns()[i] + u'=' + fitted.texts[i] + u'\n';
        }
        for (const DraftExtra& kept : fitted.kept)
            out += QStringLiteral("另存=") + kept.label + u':' + kept.value + u'\n';
        if (!draft.photo.isEmpty())
            out += QStringLiteral("照片=%1 字节\n").arg(draft.photo.size());
    }
    for (const DraftFailure& failure : set.failures)
        out += QStringLiteral("失败 第%1行=%2\n").arg(failure.line).arg(failure.reason);
    return out;
}

QList<StoredContact> stored(const DraftSet& set)
{
    QList<StoredContact> contacts;
    for (const ContactDraft& draft : set.drafts) {
        const FittedContact fitted = FitDraft(draft, bookWidths);
        contacts.append(StoredContact{fitted.texts, QByteArray(), fitted.kept});
    }
    return contacts;
}

// What the book compares a card by: the name and every value with its kind.
QStringList holdings(const QList<StoredContact>& contacts)
{
    QStringList all;
    for (const StoredContact& c : contacts) {
        const ContactHoldings h = HoldingsOf(c.texts, c.kept, 0);
        all << h.name + u'|' + h.values.join(u'|');
    }
    return all;
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class RealFilesTest : public QObject {
    Q_OBJECT

private slots:
    void shouldGiveTheExpectedRecords_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(TestFolder::sourcePath(QStringLiteral(REAL_FILES)));
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
            if (file.suffix() != QLatin1String("expected"))
                QTest::newRow(qPrintable(file.fileName())) << file.filePath();
        }
    }

    void shouldGiveTheExpectedRecords()
    {
        QFETCH(QString, path);
        const ImportFormat* format = FindImportFormat(path);
        QVERIFY(format);
        const QString expectedPath =
            QFileInfo(path).path() + u'/' + QFileInfo(path).completeBaseName() + QStringLiteral(".expected");
        QString got;
        try {
            got = described(format->read(path));
        } catch (const ExchangeError& error) {
            got = QStringLiteral("拒绝=%1\n").arg(error.Message);
        }
        // TESSALY_WRITE_EXPECTED=1 writes what was read, for a new fixture to be checked by eye.
        if (qEnvironmentVariableIsSet("TESSALY_WRITE_EXPECTED")) {
            QFile out(expectedPath);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(got.toUtf8());
        }
        QCOMPARE(got, fileText(expectedPath));
    }

    // Exporting the records and importing the file into the same book adds no one:
    // every value comes back under a label of the same kind, in every format.
    void shouldComeBackTheSameThroughEveryExport_data() { shouldGiveTheExpectedRecords_data(); }

    void shouldComeBackTheSameThroughEveryExport()
    {
        QFETCH(QString, path);
        QList<StoredContact> contacts;
        try {
            contacts = stored(FindImportFormat(path)->read(path));
        } catch (const ExchangeError&) {
            QSKIP("a file refused whole has no records");
        }
        const TestFolder folder;
        for (const ExportFormat& format : ExportFormats()) {
            if (format.extension == QLatin1String("ics"))
                continue;
            const QString exported = folder.file(QStringLiteral("export.") + format.extension);
            format.write(exported, contacts);
            const QStringList back = holdings(stored(FindImportFormat(exported)->read(exported)));
            QVERIFY2(back == holdings(contacts), qPrintable(format.extension + u'\n' + back.join(u'\n')));
        }
    }
};

QTEST_GUILESS_MAIN(RealFilesTest)
#include "test_real_files.moc"
