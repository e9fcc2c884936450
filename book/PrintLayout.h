#pragma once
// A style's pages: how many there are, and each page's body drawn on its own,
// so a print draws one page after another and keeps none.

#include "book/PrintedContacts.h"

#include <QByteArray>
#include <QHash>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QRectF;

// How far a print got: done of total steps; false stops it.
using PrintProgress = std::function<bool(int done, int total)>;
// The stored photos (JPEG bytes) of some contacts by rowid, read when their cards are drawn.
using PhotoSource = std::function<QHash<qint64, QByteArray>(const QList<qint64>& rowids)>;

class PrintLayout {
public:
    virtual ~PrintLayout() = default;
    virtual int pageCount() const = 0;
    // Draws the body of one page (from 0); answers how many contacts it holds.
    virtual int drawPage(QPainter& painter, int page) const = 0;
};

// Lays the contacts out in the choice's style for the device's body: the list
// measures every entry first (progress goes from 0 to contacts.size()), the
// cards only count. Answers nullptr when progress said stop.
std::unique_ptr<PrintLayout> LayOutPrint(const QPaintDevice& device, const QRectF& body,
                                         const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                                         const PhotoSource& photos, const PrintProgress& progress);
