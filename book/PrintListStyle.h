#pragma once
// 通讯录, the list: two columns a page, the entries under their heading
// letters; an entry is the name in bold (with its 类别 when ticked), then its
// lines, each value wrapped under its label. A heading stays with the entry
// under it, and no entry is split across columns or pages.

#include "book/PrintLayout.h"
#include "book/PrintText.h"

#include <QRectF>

class ListStyle {
public:
    ListStyle(const QPaintDevice& device, const QRectF& body, const PrintChoice& choice);

    qreal columnWidth() const { return columnWidth_; }
    qreal entryHeight(const PrintedContact& contact) const;
    qreal headingHeight() const { return headingHeight_; }
    void drawEntry(QPainter& painter, QPointF at, const PrintedContact& contact) const;
    void drawHeading(QPainter& painter, QPointF at, QChar letter) const;

private:
    QList<WrappedLine> lines(const PrintedContact& contact) const;

    const QPaintDevice& device_;
    PrintFonts fonts_;
    PrintChoice choice_;
    qreal columnWidth_;
    qreal indent_;
    qreal nameHeight_;
    qreal headingHeight_;
    qreal spacing_;
};

// Where each entry goes: the entries walked in order, a heading before the
// first of each letter, a new column when the next entry with its heading
// does not fit, two columns a page.
struct ListPlace {
    int page = 0;
    int column = 0;
    qreal y = 0;  // from the body's top
};

class ListPaging {
public:
    ListPaging(qreal columnHeight, qreal headingHeight) : columnHeight_(columnHeight), headingHeight_(headingHeight) {}
    // Where the entry of this height goes, with its heading when it has one.
    ListPlace place(qreal height, bool withHeading);
    int pages() const { return at_.page + 1; }

private:
    qreal columnHeight_;
    qreal headingHeight_;
    ListPlace at_;
};

std::unique_ptr<PrintLayout> LayOutList(const QPaintDevice& device, const QRectF& body,
                                        const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                                        const PrintProgress& progress);
