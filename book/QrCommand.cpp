// qr NUMBER FILE.png|.svg: one contact as a QR code of its vCard, for a phone's camera.

#include "book/AtomicSave.h"
#include "book/BookFile.h"
#include "book/Commands.h"
#include "exchange/QrCode.h"
#include "platform/FileMessages.h"

#include <QFile>

namespace {

constexpr int PixelsPerModule = 8;

void writeQr(const QString& target, const QrMatrix& matrix, bool svg)
{
    SaveAtomically(target, [&](const QString& path) {
        const bool written = svg ? [&] {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(QrSvg(matrix)) >= 0 && file.flush();
        }()
                                 : QrImage(matrix, PixelsPerModule).save(path, "PNG");
        if (!written)
            throw ExchangeError(cannotWriteMessage(target));
    });
}

}  // namespace

int RunQr(BookRun& run, const QStringList& arguments)
{
    const QStringList operands = SplitArguments(QStringLiteral("qr"), arguments).operands;
    if (operands.size() != 2)
        throw UsageError(QStringLiteral("qr 需要编号和一个 .png 或 .svg 文件"));
    const qint64 number = RecordNumber(QStringLiteral("qr"), operands.at(0));
    const QString& target = operands.at(1);
    const QString suffix = target.section(u'.', -1).toLower();
    if (!target.contains(u'.') || (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg")))
        throw UsageError(QStringLiteral("qr 只能写 .png 或 .svg 文件，不能写 %1").arg(ShownPath(target)));

    BookFile book(run.database, &run);
    const QList<ContactTexts> texts = book.texts();
    for (int row = 0; row < texts.size(); ++row) {
        if (book.query.RecordId(row) != number)
            continue;
        StoredContact contact;
        contact.texts = texts[row];
        writeQr(target, EncodeQr(ContactQrText(contact)), suffix == QStringLiteral("svg"));
        run.console.out(QStringLiteral("已把 %1（编号 %2）的二维码写入 %3")
                            .arg(contact.text(ContactText::Name))
                            .arg(number)
                            .arg(ShownPath(target)));
        return ExitCode::Success;
    }
    throw Exception(QStringLiteral("没有编号为 %1 的联系人（编号见 list --numbers）").arg(number));
}
