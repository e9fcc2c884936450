#include "PrintBook.h"

#include "book/AtomicSave.h"
#include "book/BookFile.h"
#include "book/ContactScan.h"
#include "book/PrintCardStyle.h"
#include "book/PrintFrame.h"
#include "book/PrintListStyle.h"
#include "platform/FileMessages.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int PdfDpi = 300;

// Only the connection: the contacts are read row by row, never the whole table with its photos.
void openBook(TADOConnection& connection, const QString& bookPath, BookRun* gate)
{
    if (gate)
        OpenBookConnection(connection, *gate);
    else
        OpenBookConnection(connection, bookPath);
}

std::unique_ptr<PrintLayout> layOut(const QPaintDevice& device, const QRectF& body,
                                    const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                                    const PhotoSource& photos, const PrintProgress& progress)
{
    if (choice.style == PrintStyle::Cards)
        return LayOutCards(device, body, contacts, choice, photos);
    return LayOutList(device, body, contacts, choice, progress);
}

}  // namespace

QString PrintTitle(const PrintChoice& choice)
{
    QString title = QStringLiteral("通讯录");
    if (!choice.category.trimmed().isEmpty())
        title += QStringLiteral(" · ") + choice.category.trimmed();
    if (!choice.find.trimmed().isEmpty())
        title += QStringLiteral(" · 查找“%1”").arg(choice.find.trimmed());
    return title;
}

PhotoSource BookPhotos(TADOConnection& connection)
{
    return [&connection](const QList<qint64>& rowids) {
        QHash<qint64, QByteArray> photos;
        const QHash<qint64, StoredContact> read = ReadContacts(connection, rowids);
        for (auto it = read.begin(); it != read.end(); ++it)
            if (!it->photo.isEmpty())
                photos.insert(it.key(), it->photo);
        return photos;
    };
}

PrintedPages PrintOnDevice(QPagedPaintDevice& device, const std::vector<PrintedContact>& contacts,
                           const PrintChoice& choice, const PhotoSource& photos, const PrintProgress& progress,
                           const std::function<void()>& abandon)
{
    const int total = int(contacts.size()) * 2;
    const PageFrame frame(device, PrintTitle(choice), choice.date, int(contacts.size()));
    const std::unique_ptr<PrintLayout> layout =
        layOut(device, frame.body(), contacts, choice, photos,
               [&](int done, int) { return !progress || progress(done, total); });
    if (!layout)
        throw PrintCancelled();
    QPainter painter;
    if (!painter.begin(&device))
        throw ExchangeError(QStringLiteral("无法开始打印"));
    int drawn = int(contacts.size());
    for (int page = 0; page < layout->pageCount(); ++page) {
        if (progress && !progress(drawn, total)) {
            if (abandon)
                abandon();
            throw PrintCancelled();
        }
        if (page > 0 && !device.newPage())
            throw ExchangeError(QStringLiteral("无法开始新的一页"));
        frame.draw(painter, page, layout->pageCount());
        painter.save();
        painter.setClipRect(frame.body());  // an entry taller than a page is cut at the foot, never over it
        drawn += layout->drawPage(painter, page);
        painter.restore();
    }
    if (!painter.end())
        throw ExchangeError(QStringLiteral("打印未能完成"));
    return {int(contacts.size()), layout->pageCount()};
}

QImage PrintPreviewPage(const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                        const PhotoSource& photos, int page, qreal dpi, int* pages)
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Inch);
    QImage image((a4 * dpi).toSize(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    const PageFrame frame(image, PrintTitle(choice), choice.date, int(contacts.size()));
    const std::unique_ptr<PrintLayout> layout = layOut(image, frame.body(), contacts, choice, photos, nullptr);
    if (pages)
        *pages = layout->pageCount();
    if (page < 0 || page >= layout->pageCount())
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    frame.draw(painter, page, layout->pageCount());
    painter.setClipRect(frame.body());
    layout->drawPage(painter, page);
    return image;
}

QString PrintReport(const PrintedPages& printed, const PrintChoice& choice)
{
    return QStringLiteral("已打印 %1 个联系人（%2 页，%3）")
        .arg(printed.contacts)
        .arg(printed.pages)
        .arg(PrintStyleName(choice.style));
}

QString PrintBookToPdf(const QString& bookPath, const QString& target, const PrintChoice& choice,
                       const PrintProgress& progress, BookRun* gate)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    openBook(connection, bookPath, gate);
    const std::vector<PrintedContact> contacts = ReadPrintedContacts(connection, choice);
    PrintedPages printed;
    // The pages go into a file beside the target that takes its name only once
    // the last page is written: a cancelled or failed print leaves nothing behind.
    SaveAtomically(target, [&](const QString& path) {
        QPdfWriter writer(path);
        writer.setResolution(PdfDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(PrintTitle(choice));
        writer.setCreator(QStringLiteral("Tessaly"));
        printed = PrintOnDevice(writer, contacts, choice, BookPhotos(connection), progress);
    });
    return PrintReport(printed, choice) + QStringLiteral("到 ") + ShownPath(target);
}

QString PrintBookOn(const QString& bookPath, QPagedPaintDevice& device, const PrintChoice& choice,
                    const PrintProgress& progress, const std::function<void()>& abandon)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    openBook(connection, bookPath, nullptr);
    const std::vector<PrintedContact> contacts = ReadPrintedContacts(connection, choice);
    return PrintReport(PrintOnDevice(device, contacts, choice, BookPhotos(connection), progress, abandon), choice);
}
