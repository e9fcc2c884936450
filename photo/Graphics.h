#pragma once
// The four picture kinds the photo box can hold, named as the window framework
// names them (the names appear in messages). A JPEG picture keeps its
// compressed bytes and decodes only to draw.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>

class QPainter;

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual QString ClassName() const = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Draws the picture stretched into rect. Never throws; what cannot be drawn is not drawn.
    virtual void Draw(QPainter& painter, const QRect& rect) const = 0;
    // Draws as a preview does: never decoding more pixels than rect holds, where
    // the kind can decode at a smaller scale. Never throws.
    virtual void DrawPreview(QPainter& painter, const QRect& rect) const { Draw(painter, rect); }
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    // Reads the whole content of a picture file of this kind; raises the kind's errors
    // (EReadError "读流发生错误", EInvalidGraphic "位图图象无效" / "图标图象无效" / "元文件无效", EJPEG).
    virtual void LoadFromBytes(const QByteArray& bytes) = 0;
};

// What each kind does alike: a copy of itself. Base is the class the kind builds on.
template <class Kind, class Base = TGraphic>
class TGraphicKind : public Base {
public:
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<Kind>(static_cast<const Kind&>(*this)); }
};

// A kind drawn from one decoded image, whose size is the image's.
class TImageGraphic : public TGraphic {
public:
    int Width() const override { return Image.width(); }
    int Height() const override { return Image.height(); }

    QImage Image;  // the image drawn; null when there is none
};

class TBitmap : public TGraphicKind<TBitmap, TImageGraphic> {
public:
    QString ClassName() const override { return QStringLiteral("TBitmap"); }
    bool Empty() const override;
    void Draw(QPainter& painter, const QRect& rect) const override;
    // A file that begins with the 14-byte header "BM...".
    void LoadFromBytes(const QByteArray& bytes) override;
};

class TIcon : public TGraphicKind<TIcon, TImageGraphic> {
public:
    QString ClassName() const override { return QStringLiteral("TIcon"); }
    bool Empty() const override;
    void Draw(QPainter& painter, const QRect& rect) const override;
    void LoadFromBytes(const QByteArray& bytes) override;

    QByteArray Data;  // the icon file's bytes
};

class TMetafile : public TGraphicKind<TMetafile> {
public:
    QString ClassName() const override { return QStringLiteral("TMetafile"); }
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void Draw(QPainter& painter, const QRect& rect) const override;
    // A placeable or standard Windows metafile, or an enhanced metafile.
    void LoadFromBytes(const QByteArray& bytes) override;

    QByteArray Data;        // the metafile's bytes, kept whole
    bool Enhanced = false;  // EMF rather than WMF
    int MMWidth = 0;        // size in pixels from the header
    int MMHeight = 0;
};

class TJPEGImage : public TGraphicKind<TJPEGImage> {
public:
    QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // Decodes (full scale, block smoothing, float DCT) and draws; a decode that
    // fails, or a picture beyond the pixel bound, draws nothing.
    void Draw(QPainter& painter, const QRect& rect) const override;
    // Decodes at the scale rect needs, and keeps that until another size is asked for.
    void DrawPreview(QPainter& painter, const QRect& rect) const override;
    // Every byte becomes the compressed data; a non-empty one has its header read at once.
    void LoadFromBytes(const QByteArray& bytes) override;

    // Takes over another picture: a JPEG's bytes unchanged, a bitmap's pixels
    // (compressed when saved). An icon or metafile raises EConvertError
    // "不能指派一个 TIcon 给一个 TJPEGImage".
    void Assign(const TGraphic& source);
    // The compressed bytes, compressing the bitmap first (quality 90, baseline, float DCT)
    // when there are none yet. A bitmap with no pixels gives zero bytes.
    QByteArray SaveToBytes();

    QByteArray Data;                   // compressed bytes, possibly empty
    QImage Bitmap;                     // source bitmap still to be compressed, if any
    bool Grayscale = false;            // from the header
    bool ProgressiveEncoding = false;  // several scans, from the header

private:
    int width_ = 0;
    int height_ = 0;
    mutable QImage decoded_;
    mutable bool decodeTried_ = false;
    mutable QImage preview_;
    mutable QSize previewSize_;  // what preview_ was decoded for
};
