#pragma once
// The tools window on a book in a temporary folder, with the scripted desktop.

#include "book/tools/ToolsWindow.h"
#include "photo/JpegCodec.h"
#include "tests/book/BookTesting.h"
#include "tests/support/ScriptedDesktop.h"

#include <QImage>
#include <QTabWidget>
#include <QTest>

struct ToolsRun {
    ScriptedDesktop desktop;
    TestBook book;
    ToolsWindow window{book.path};

    template <typename Page>
    Page* show(const QString& key)
    {
        window.show();
        window.showPage(key);
        return qobject_cast<Page*>(window.page(key));
    }
    QString file(const QString& name) const { return book.folder.file(name); }
    void write(const QString& name, const QByteArray& bytes) const { TestFolder::writeAll(file(name), bytes); }
    // The texts of every box shown so far, joined.
    QString said() const { return desktop.boxTexts().join(u'\n'); }
};

// A small real JPEG, as a photo in the book or in a card.
inline QByteArray smallJpeg()
{
    QImage image(24, 32, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return CompressJpeg(image);
}
