// 新建 and 修改 on a disk that is full: a small tmpfs of the test's own,
// mounted over the program's folder (root only; skipped where mounting is
// refused).

#include "Graphics.h"
#include "ImageBox.h"
#include "RawBook.h"
#include "test_mainwindow_harness.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace {

class SmallDisk {
public:
    SmallDisk(const QString& at, const char* size) : at_(at)
    {
        const QByteArray options = QByteArray("size=") + size;
        mounted_ = ::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.constData())
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
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Image = QImage(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            bitmap->Image.setPixel(x, y, QRandomGenerator::global()->generate() | 0xFF000000u);
    return bitmap;
}

void Type(TForm_main& w, const QString& name, const QString& telephone)
{
    w.Edit1->setText(name);
    w.Edit3->setText(telephone);
}

} // namespace

class FullDiskTest : public QObject {
    Q_OBJECT
private slots:
    void shouldRefuseAddAndChangeAndKeepTheBookWhole()
    {
        TestFolder folder;
        SmallDisk disk(folder.path(), "1m");
        if (!disk.mounted())
            QSKIP(qPrintable(QStringLiteral("no small disk can be mounted here: ") + disk.refusal()));
        OverrideExecutablePathForTests(folder.executablePath());
        ScriptedDesktop desk;
        auto form = std::make_unique<TForm_main>();
        Form_main = form.get();
        Type(*form, QStringLiteral("张三"), QStringLiteral("110"));
        form->BitBtn1->click();
        QCOMPARE(form->ADOQuery1.RecordCount(), 1);
        disk.fill();

        const QString full = QStringLiteral("ADOQuery1: 磁盘已满.");
        Type(*form, QStringLiteral("李四"), QStringLiteral("120"));
        form->BitBtn1->click();
        QCOMPARE(desk.boxTexts(), QStringList{full});
        QCOMPARE(desk.boxes[0].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(form->ADOQuery1.State(), TADOQuery::dsBrowse);
        QCOMPARE(form->ADOQuery1.RecordCount(), 1);
        QCOMPARE(form->Edit1->text(), QStringLiteral("李四"));  // what was typed stays for another try

        desk.boxes.clear();
        desk.boxAnswers = {Mb::IDYES};
        Type(*form, QStringLiteral("张三"), QStringLiteral("119"));
        form->BitBtn2->click();
        QCOMPARE(desk.boxTexts(), (QStringList{QStringLiteral("确定要覆盖原来数据吗?"), full}));
        QCOMPARE(form->ADOQuery1.State(), TADOQuery::dsBrowse);
        QCOMPARE(form->ADOQuery1.FieldByName(QStringLiteral("电话"))->AsString().trimmed(), QStringLiteral("110"));

        const auto stored = [&] {
            RawBook raw(folder.databasePath());
            return QStringList{raw.integrityCheck(),
                               raw.texts(QStringLiteral("select trim(姓名) || '/' || trim(电话) from rem")).join(u',')};
        };
        QCOMPARE(stored(), (QStringList{"ok", "张三/110"}));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("filler"), QStringLiteral("Kalvo.mdb")}));  // no journal left

        // The next run opens the book, still on the full disk, and adds once there is room.
        desk.boxes.clear();
        form = std::make_unique<TForm_main>();
        Form_main = form.get();
        QVERIFY(desk.boxes.isEmpty());
        QCOMPARE(form->PanelText(1), QStringLiteral("总人数1"));
        disk.makeRoom();
        Type(*form, QStringLiteral("李四"), QStringLiteral("120"));
        form->BitBtn1->click();
        QVERIFY(desk.boxes.isEmpty());
        QCOMPARE(stored(), (QStringList{"ok", "张三/110,李四/120"}));
        form.reset();
    }

    // Room for a record's texts but not for its photo: the add or change is one
    // write, so nothing of it is stored (a half-stored add would come back as a
    // duplicate when the user tries again).
    void shouldStoreTextsAndPhotoTogetherOrNotAtAll()
    {
        TestFolder folder;
        SmallDisk disk(folder.path(), "1m");
        if (!disk.mounted())
            QSKIP(qPrintable(QStringLiteral("no small disk can be mounted here: ") + disk.refusal()));
        OverrideExecutablePathForTests(folder.executablePath());
        ScriptedDesktop desk;
        auto form = std::make_unique<TForm_main>();
        Form_main = form.get();
        form->Image1->Clear();
        Type(*form, QStringLiteral("张三"), QStringLiteral("110"));
        form->BitBtn1->click();
        disk.leaveRoom(32 * 1024);

        const QString full = QStringLiteral("ADOQuery1: 磁盘已满.");
        form->Image1->SetPicture(NoisePicture());
        Type(*form, QStringLiteral("李四"), QStringLiteral("120"));
        form->BitBtn1->click();
        QCOMPARE(desk.boxTexts(), QStringList{full});
        QCOMPARE(form->ADOQuery1.RecordCount(), 1);
        QCOMPARE(form->ADOQuery1.State(), TADOQuery::dsBrowse);
        QVERIFY(form->Image1->Picture());  // the picture stays for another try

        desk.boxes.clear();
        desk.boxAnswers = {Mb::IDYES};
        Type(*form, QStringLiteral("张三"), QStringLiteral("119"));
        form->BitBtn2->click();
        QCOMPARE(desk.boxTexts(), (QStringList{QStringLiteral("确定要覆盖原来数据吗?"), full}));
        QCOMPARE(form->ADOQuery1.State(), TADOQuery::dsBrowse);
        QVERIFY(form->ADOQuery1.FieldByName(QStringLiteral("jpg"))->IsNull());

        RawBook raw(folder.databasePath());
        QCOMPARE(raw.integrityCheck(), QStringLiteral("ok"));
        QCOMPARE(raw.texts(QStringLiteral("select trim(姓名) || '/' || trim(电话) || '/' || ifnull(length(jpg), 0) from rem")),
                 QStringList{QStringLiteral("张三/110/0")});

        // Texts alone still fit.
        form->Image1->Clear();
        Type(*form, QStringLiteral("李四"), QStringLiteral("120"));
        form->BitBtn1->click();
        QCOMPARE(form->ADOQuery1.RecordCount(), 2);
        form.reset();
    }
};

QTEST_MAIN(FullDiskTest)
#include "test_full_disk.moc"
