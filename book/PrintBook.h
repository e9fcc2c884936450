#pragma once
// The book on paper: the contacts a choice selects, in pinyin order, drawn in
// its style on any paged device (a PDF file, a printer) or as a preview page.
// The same for the export command and the 打印 page.

#include "book/PrintLayout.h"
#include "platform/Errors.h"

#include <QImage>
#include <QString>

class QPagedPaintDevice;
class TADOConnection;
struct BookRun;

// The person stopped the print; whatever it wrote is thrown away.
class PrintCancelled : public Exception {
public:
    PrintCancelled() : Exception(QStringLiteral("已取消打印")) {}
};

struct PrintedPages {
    int contacts = 0;
    int pages = 0;
};

// "通讯录", "通讯录 · 同事", "通讯录 · 查找“zs”": the title line's title.
QString PrintTitle(const PrintChoice& choice);
// The photos of the book open on the connection.
PhotoSource BookPhotos(TADOConnection& connection);

// Draws every page on the device, the layout measured first (for "共 M 页"),
// then one page after another. progress counts the measuring, then the
// contacts drawn (total: twice the contacts); raises PrintCancelled when it
// says stop, after abandon (a printer's abort, so no half job is printed).
PrintedPages PrintOnDevice(QPagedPaintDevice& device, const std::vector<PrintedContact>& contacts,
                           const PrintChoice& choice, const PhotoSource& photos, const PrintProgress& progress,
                           const std::function<void()>& abandon = nullptr);

// One page (from 0) as it prints, on an A4 image of dpi dots to the inch; pages
// answers how many the print has.
QImage PrintPreviewPage(const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                        const PhotoSource& photos, int page, qreal dpi, int* pages = nullptr);

// Prints the book's contacts to a PDF file, whole or not at all (the file is
// its owner's only); answers the report's line. Raises EDatabaseError,
// ExchangeError, PrintCancelled; the target is then as it was.
// With a run, only after its login password opened the book (see BookFile).
QString PrintBookToPdf(const QString& bookPath, const QString& target, const PrintChoice& choice,
                       const PrintProgress& progress = nullptr, BookRun* gate = nullptr);
// The same on a device the caller set up (a printer); answers the report's line.
QString PrintBookOn(const QString& bookPath, QPagedPaintDevice& device, const PrintChoice& choice,
                    const PrintProgress& progress = nullptr, const std::function<void()>& abandon = nullptr);

// "已打印 12 个联系人（2 页，通讯录）"
QString PrintReport(const PrintedPages& printed, const PrintChoice& choice);
