#pragma once
// Bounds-checked reading of one metafile record's parameters. Reading past the
// record marks it bad (and gives 0), so a damaged record stops the drawing
// instead of reading beyond it.

#include <QByteArrayView>
#include <QPolygonF>
#include <QRectF>
#include <QtEndian>

class RecordParams {
public:
    explicit RecordParams(QByteArrayView bytes) : bytes_(bytes) {}

    bool Bad() const { return bad_; }
    void MarkBad() { bad_ = true; }
    qsizetype Size() const { return bytes_.size(); }

    bool Has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    template <typename T>
    T At(qsizetype offset)
    {
        if (!Has(offset, qsizetype(sizeof(T)))) {
            bad_ = true;
            return T{};
        }
        return qFromLittleEndian<T>(bytes_.data() + offset);
    }
    quint16 U16(qsizetype offset) { return At<quint16>(offset); }
    qint16 I16(qsizetype offset) { return At<qint16>(offset); }
    quint32 U32(qsizetype offset) { return At<quint32>(offset); }
    qint32 I32(qsizetype offset) { return At<qint32>(offset); }
    float F32(qsizetype offset) { return At<float>(offset); }

    // The bytes from offset on, or length of them; empty and bad when they are not there.
    QByteArrayView Bytes(qsizetype offset, qsizetype length)
    {
        if (!Has(offset, length)) {
            bad_ = true;
            return {};
        }
        return bytes_.sliced(offset, length);
    }
    QByteArrayView Rest(qsizetype offset) { return Bytes(offset, bytes_.size() - offset); }

    // A point, a size (as a point), a box or a rectangle from offset, its
    // coordinates where Layout (Wmf::Point, Emf::Box, ...) places them.
    template <typename Layout>
    QPointF PointAt(qsizetype at)
    {
        using C = typename Layout::Coordinate;
        return QPointF(At<C>(at + Layout::X), At<C>(at + Layout::Y));
    }
    template <typename Layout>
    QSizeF SizeAt(qsizetype at)
    {
        const QPointF size = PointAt<Layout>(at);
        return QSizeF(size.x(), size.y());
    }
    template <typename Layout>
    QRectF BoxAt(qsizetype at)
    {
        using C = typename Layout::Coordinate;
        return QRectF(QPointF(At<C>(at + Layout::Left), At<C>(at + Layout::Top)),
                      QPointF(At<C>(at + Layout::Right), At<C>(at + Layout::Bottom)));
    }
    template <typename Layout>
    QRectF ExtentAt(qsizetype at)
    {
        using C = typename Layout::Coordinate;
        return QRectF(At<C>(at + Layout::X), At<C>(at + Layout::Y), At<C>(at + Layout::Width),
                      At<C>(at + Layout::Height));
    }

    // The bytes count points of two Coordinate values (x, y) take.
    template <typename Coordinate>
    static constexpr qint64 PointsSize(qint64 count)
    {
        return count * qint64(2 * sizeof(Coordinate));
    }
    // count points of two 16-bit or 32-bit coordinates (x, y) from offset.
    template <typename Coordinate>
    QPolygonF Points(qsizetype offset, qint64 count)
    {
        QPolygonF points;
        if (count < 0 || !Has(offset, PointsSize<Coordinate>(count))) {
            bad_ = true;
            return points;
        }
        points.reserve(count);
        constexpr qsizetype size = sizeof(Coordinate);
        for (qint64 i = 0; i < count; ++i)
            points.append(QPointF(At<Coordinate>(offset + i * 2 * size), At<Coordinate>(offset + i * 2 * size + size)));
        return points;
    }

private:
    QByteArrayView bytes_;
    bool bad_ = false;
};
