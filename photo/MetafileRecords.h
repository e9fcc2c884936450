#pragma once
// Bounds-checked reading of one metafile record's parameters. Reading past the
// record marks it bad (and gives 0), so a damaged record stops the drawing
// instead of reading beyond it.

#include <QByteArrayView>
#include <QPolygonF>
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

    // count points of two 16-bit or 32-bit coordinates (x, y) from offset.
    QPolygonF Points16(qsizetype offset, qint64 count)
    {
        QPolygonF points;
        if (count < 0 || !Has(offset, count * 4)) {
            bad_ = true;
            return points;
        }
        points.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            points.append(QPointF(I16(offset + i * 4), I16(offset + i * 4 + 2)));
        return points;
    }
    QPolygonF Points32(qsizetype offset, qint64 count)
    {
        QPolygonF points;
        if (count < 0 || !Has(offset, count * 8)) {
            bad_ = true;
            return points;
        }
        points.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            points.append(QPointF(I32(offset + i * 8), I32(offset + i * 8 + 4)));
        return points;
    }

private:
    QByteArrayView bytes_;
    bool bad_ = false;
};
