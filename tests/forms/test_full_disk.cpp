// 新建 and 修改 on a disk that is full: a small tmpfs of the test's own,
// mounted over the program's folder (root only; skipped where mounting is
// refused).

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "tests/forms/test_mainwindow_harness.h"
#include "tests/support/RawBook.h"
#include "tests/support/TestRandom.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace {

class SmallDisk {
public:
    SmallDisk(const QString& at, const char* size) : at_(at)
    {
        const QByteArray options = QByteArray("size=") + size;
        mounted_ =
            ::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData())
            == 0;
        if (!mounted_)
            refusal_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(at_).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString refusal() const { return refusal_; }

    // Takes every byte that is left, so the next write that needs room fails.
    void fill()
    {
        QFile filler(fillerPath());
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (const qint64 chunk : {65536, 4096, 512, 1}) {
            const QByteArray bytes(chunk, 'x');
            while (filler.write(bytes) == chunk) {
            }
        }
    }
    void makeRoom() { QVERIFY(QFile::remove(fillerPath())); }
    // Fills the disk but for about this many bytes.
    void leaveRoom(qint64 bytes)
    {
        fill();
        QFile filler(fillerPath());
        QVERIFY(filler.resize(filler.size() - bytes));
    }

private:
    QString fillerPath() const { return QDir(at_).filePath(QStringLiteral("filler")); }

    QString at_;
    bool mounted_ = false;
    QString refusal_;
};

// A picture whose JPEG takes far more room than a record's texts: noise compresses badly.
std::unique_ptr<TBitmap> NoisePicture()
{
    static QRandomGenerator random = SeededRandom("noise picture", 20261208);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Image = QImage(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            bitmap->Image.setPixel(x, y, random.generate() | 0xFF000000u);
    return bitmap;
}

void Type(TForm_main& w, const QString& name, const QString& telephone)
{
    w.Edit1->setText(name);
    w.Edit3->setText(telephone);
}

const QString DiskFull = QStringLiteral("ADOQuery1: 磁盘已满.");

// The program's folder on a small disk, with the main window on its book and
// one contact, 张三, added while there was room.
struct BookOnSmallDisk {
    TestFolder folder;
    SmallDisk disk{folder.path(), "1m"};
    ScriptedDesktop desk;
    std::unique_ptr<TForm_main> form;

    void open()
    {
        OverrideExecutablePathForTests(folder.executablePath());
        form = std::make_unique<TForm_main>();
        Form_main = form.get();
    }
    void addFirstContact()
    {
        Type(*form, QStringLiteral("张三"), QStringLiteral("110"));
        form->BitBtn1->click();
        QCOMPARE(form->ADOQuery1.RecordCount(), 1);
    }
    // The book as an independent reader finds it: its integrity check, then
    // name/telephone/photo length of every record.
    QStringList stored()
    {
        RawBook raw(folder.databasePath());
        return {raw.integrityCheck(),
                raw.texts(QStringLiteral("select trim(姓名) || '/' || trim(电话) || '/' || ifnull(length(jpg), 0) "
                                         "from rem"))
                    .join(u',')};
    }
    ~BookOnSmallDisk() { form.reset(); }  // the window lets go of the book before the disk goes
};

}  // namespace

#define SKIP_WITHOUT_SMALL_DISK(book)                                                                                  \
    if (!(book).disk.mounted())                                                                                        \
        QSKIP(qPrintable(QStringLiteral("no small disk can be mounted here: ") + (book).disk.refusal()));

class FullDiskTest : public QObject {
    Q_OBJECT
private slots:
    void shouldRefuseAddAndChangeAndKeepTheBookWhole()
    {
        BookOnSmallDisk book;
        SKIP_WITHOUT_SMALL_DISK(book);
        book.open();
        book.addFirstContact();
        const QString photoLength =
            QString::number(book.form->ADOQuery1.FieldByName(QStringLiteral("jpg"))->AsBytes().size());
        book.disk.fill();
        TForm_main& w = *book.form;
        ScriptedDesktop& desk = book.desk;

        Type(w, QStringLiteral("李四"), QStringLiteral("120"));
        w.BitBtn1->click();
        QCOMPARE(desk.boxTexts(), QStringList{DiskFull});
        QCOMPARE(desk.boxes[0].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(w.ADOQuery1.State(), TADOQuery::dsBrowse);
        QCOMPARE(w.ADOQuery1.RecordCount(), 1);
        QCOMPARE(w.Edit1->text(), QStringLiteral("李四"));  // what was typed stays for another try

        desk.boxes.clear();
        desk.boxAnswers = {Mb::IDYES};
        Type(w, QStringLiteral("张三"), QStringLiteral("119"));
        w.BitBtn2->click();
        QCOMPARE(desk.boxTexts(), (QStringList{QStringLiteral("确定要覆盖原来数据吗?"), DiskFull}));
        QCOMPARE(w.ADOQuery1.State(), TADOQuery::dsBrowse);
        QCOMPARE(w.ADOQuery1.FieldByName(QStringLiteral("电话"))->AsString().trimmed(), QStringLiteral("110"));

        QCOMPARE(book.stored(), (QStringList{"ok", "张三/110/" + photoLength}));
        QCOMPARE(QDir(book.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("filler"), QStringLiteral("Kalvo.mdb")}));  // no journal left

        // The next run opens the book, still on the full disk, and adds once there is room.
        desk.boxes.clear();
        book.open();
        QVERIFY(desk.boxes.isEmpty());
        QCOMPARE(book.form->PanelText(1), QStringLiteral("总人数1"));
        book.disk.makeRoom();
        Type(*book.form, QStringLiteral("李四"), QStringLiteral("120"));
        book.form->BitBtn1->click();
        QVERIFY(desk.boxes.isEmpty());
        // The first add after a start stores the start picture, as always.
        QCOMPARE(book.stored(), (QStringList{"ok", "张三/110/" + photoLength + ",李四/120/" + photoLength}));
    }

    // Room for a record's texts but not for its photo: the add or change is one
    // write, so nothing of it is stored (a half-stored add would come back as a
    // duplicate when the user tries again).
    void shouldStoreTextsAndPhotoTogetherOrNotAtAll()
    {
        BookOnSmallDisk book;
        SKIP_WITHOUT_SMALL_DISK(book);
        book.open();
        TForm_main& w = *book.form;
        w.Image1->Clear();
        book.addFirstContact();
        book.disk.leaveRoom(32 * 1024);

        w.Image1->SetPicture(NoisePicture());
        Type(w, QStringLiteral("李四"), QStringLiteral("120"));
        w.BitBtn1->click();
        QCOMPARE(book.desk.boxTexts(), QStringList{DiskFull});
        QCOMPARE(w.ADOQuery1.RecordCount(), 1);
        QCOMPARE(w.ADOQuery1.State(), TADOQuery::dsBrowse);
        QVERIFY(w.Image1->Picture());  // the picture stays for another try

        book.desk.boxes.clear();
        book.desk.boxAnswers = {Mb::IDYES};
        Type(w, QStringLiteral("张三"), QStringLiteral("119"));
        w.BitBtn2->click();
        QCOMPARE(book.desk.boxTexts(), (QStringList{QStringLiteral("确定要覆盖原来数据吗?"), DiskFull}));
        QCOMPARE(w.ADOQuery1.State(), TADOQuery::dsBrowse);
        QVERIFY(w.ADOQuery1.FieldByName(QStringLiteral("jpg"))->IsNull());
        QCOMPARE(book.stored(), (QStringList{"ok", "张三/110/0"}));

        // Texts alone still fit.
        w.Image1->Clear();
        Type(w, QStringLiteral("李四"), QStringLiteral("120"));
        w.BitBtn1->click();
        QCOMPARE(w.ADOQuery1.RecordCount(), 2);
    }
};

QTEST_MAIN(FullDiskTest)
#include "test_full_disk.moc"
