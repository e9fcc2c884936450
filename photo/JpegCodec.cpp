#include "JpegCodec.h"

#include "platform/Errors.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

const int JpegMessageCode::NotJpeg = JERR_NO_SOI;
const int JpegMessageCode::NoImage = JERR_NO_IMAGE;
const int JpegMessageCode::EmptyInput = JERR_INPUT_EMPTY;
const int JpegMessageCode::ColourConversion = JERR_CONVERSION_NOTIMPL;
const int JpegMessageCode::TooManyScans = JERR_BAD_SCAN_SCRIPT;

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Ours jumps back to the setjmp in one of the Trapped* functions below. Those
// hold no objects with destructors, so the jump skips only libjpeg's own C
// frames; the C++ callers then see a plain failure result and throw.
struct ErrorTrap {
    jpeg_error_mgr manager;  // first member: libjpeg hands back &manager as cinfo->err
    std::jmp_buf jump;
    bool ranOut = false;  // the data ended before the picture did
};

[[noreturn]] void JumpToTrap(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

// Warnings (damaged data the library works around) are not shown anywhere.
// The end of the coded data is noted, as what follows it is only grey: the end
// of the file, or a marker met in the middle of the data that is no restart
// marker (after a restart marker the data goes on).
void NoteMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0 || !cinfo->is_decompressor)
        return;
    const int marker = reinterpret_cast<j_decompress_ptr>(cinfo)->unread_marker;
    const bool restart = marker >= 0xD0 && marker <= 0xD7;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF || (cinfo->err->msg_code == JWRN_HIT_MARKER && !restart))
        reinterpret_cast<ErrorTrap*>(cinfo->err)->ranOut = true;
}

void InstallTrap(ErrorTrap& trap)
{
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpToTrap;
    trap.manager.emit_message = NoteMessage;
}

[[noreturn]] void ThrowJpegError(const ErrorTrap& trap)
{
    throw EJPEG(QStringLiteral("JPEG error #%1").arg(trap.manager.msg_code));
}

// ---------------------------------------------------------------- decoding

// A file may claim many thousands of scans, each a pass over the whole picture;
// real ones have about ten.
constexpr int MaxScans = 256;

void LimitScans(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > MaxScans)
        ERREXIT1(cinfo, JpegMessageCode::TooManyScans, d->input_scan_number);
}

struct Decompressor {
    Decompressor()
    {
        std::memset(&info, 0, sizeof info);
        std::memset(&progress, 0, sizeof progress);
        InstallTrap(trap);
        info.err = &trap.manager;
        progress.progress_monitor = LimitScans;
    }
    ~Decompressor()
    {
        if (created)
            jpeg_destroy_decompress(&info);  // safe also after a failed create
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct info;
    jpeg_progress_mgr progress;
    ErrorTrap trap;
    bool created = false;
};

struct HeaderFacts {
    JpegHeader header;
    int outputWidth = 0;
    int outputHeight = 0;
    int outputComponents = 0;
};

// How a decode runs: at scaleEighths / 8 of full size (8: full size, the
// library's plain path), with at most memoryBudget bytes of the library's own
// buffers (a multi-scan file keeps every coefficient of the picture).
struct DecodeSettings {
    int scaleEighths = 8;
    long memoryBudget = 0;
};

// Reads the header and fixes the decoding settings. No C++ objects with destructors here.
bool TrappedReadHeader(Decompressor* d, const unsigned char* data, unsigned long size, HeaderFacts* facts,
                       DecodeSettings settings)
{
    if (setjmp(d->trap.jump))
        return false;
    d->created = true;
    jpeg_create_decompress(&d->info);
    d->info.mem->max_memory_to_use = settings.memoryBudget;
    d->info.progress = &d->progress;
    jpeg_mem_src(&d->info, data, size);
    jpeg_read_header(&d->info, TRUE);

    facts->header.Width = static_cast<int>(d->info.image_width);
    facts->header.Height = static_cast<int>(d->info.image_height);
    facts->header.Grayscale = d->info.jpeg_color_space == JCS_GRAYSCALE;
    facts->header.Progressive = jpeg_has_multiple_scans(&d->info) != 0;

    d->info.scale_num = settings.scaleEighths == 8 ? 1 : settings.scaleEighths;
    d->info.scale_denom = settings.scaleEighths == 8 ? 1 : 8;
    d->info.do_block_smoothing = TRUE;
    d->info.dct_method = JDCT_FLOAT;
    d->info.out_color_space = facts->header.Grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&d->info);
    facts->outputWidth = static_cast<int>(d->info.output_width);
    facts->outputHeight = static_cast<int>(d->info.output_height);
    facts->outputComponents = d->info.output_components;
    return true;
}

// A single-scan file whose data ends early would decode zeros, that is grey,
// for every row still to come: a header can claim 65,500 rows of them. Rows are
// read on for a little (the last rows with data may still be in the library's
// buffers), then the decode stops and the rest is filled with that grey.
// A multi-scan file has read all its data before the first row.
constexpr JSAMPLE MissingDataGrey = 128;

struct RowReading {
    long long rowsAfterEnd = -1;

    bool More(Decompressor* d)
    {
        if (d->info.output_scanline >= d->info.output_height)
            return false;
        if (!d->trap.ranOut || d->info.buffered_image || jpeg_has_multiple_scans(&d->info))
            return true;
        if (rowsAfterEnd < 0)
            rowsAfterEnd = 2LL * d->info.max_v_samp_factor * DCTSIZE;
        return rowsAfterEnd-- > 0;
    }
    // Ends the decode when every row was read; a decode stopped early is only destroyed.
    void Finish(Decompressor* d)
    {
        if (d->info.output_scanline >= d->info.output_height)
            jpeg_finish_decompress(&d->info);
    }
};

// Decodes every row into the caller's pixel buffer. No C++ objects with destructors here.
bool TrappedReadPixels(Decompressor* d, unsigned char* pixels, long long bytesPerLine)
{
    if (setjmp(d->trap.jump))
        return false;
    jpeg_start_decompress(&d->info);
    RowReading rows;
    while (rows.More(d)) {
        JSAMPROW row = pixels + bytesPerLine * d->info.output_scanline;
        jpeg_read_scanlines(&d->info, &row, 1);
    }
    const long long done = d->info.output_scanline;
    std::memset(pixels + bytesPerLine * done, MissingDataGrey, size_t(bytesPerLine * (d->info.output_height - done)));
    rows.Finish(d);
    return true;
}

// Decodes every row and keeps the nearest of them, and of their pixels, in
// the caller's smaller buffer (rowBuffer holds one decoded row). No C++ objects with destructors here.
bool TrappedReadPixelsSampled(Decompressor* d, unsigned char* pixels, long long bytesPerLine, int width, int height,
                              unsigned char* rowBuffer)
{
    if (setjmp(d->trap.jump))
        return false;
    jpeg_start_decompress(&d->info);
    const long long sourceWidth = d->info.output_width, sourceHeight = d->info.output_height;
    const int components = d->info.output_components;
    std::memset(pixels, MissingDataGrey, size_t(bytesPerLine * height));
    RowReading rows;
    while (rows.More(d)) {
        const long long y = d->info.output_scanline;
        JSAMPROW row = rowBuffer;
        jpeg_read_scanlines(&d->info, &row, 1);
        // Nearest row: the first source row of each target row is the one kept.
        const long long target = y * height / sourceHeight;
        if (y > 0 && (y - 1) * height / sourceHeight == target)
            continue;
        unsigned char* out = pixels + bytesPerLine * target;
        for (long long x = 0; x < width; ++x) {
            const unsigned char* in = rowBuffer + (x * sourceWidth / width) * components;
            for (int c = 0; c < components; ++c)
                out[x * components + c] = in[c];
        }
    }
    rows.Finish(d);
    return true;
}

// ---------------------------------------------------------------- encoding

// libjpeg-turbo's memory destination mallocs the output buffer and, as it
// fills, moves it into one twice the size, freeing the one before; the buffer
// it ends with is ours to free. The pointer it hands back is brought up to date
// only by term_destination, so after a failure that is called before the free:
// otherwise a buffer already freed would be freed again, and the current one lost.
struct Compressor {
    Compressor()
    {
        std::memset(&info, 0, sizeof info);
        InstallTrap(trap);
        info.err = &trap.manager;
    }
    ~Compressor()
    {
        if (destinationSet)
            info.dest->term_destination(&info);  // sets output to the current buffer; no other effect
        if (created)
            jpeg_destroy_compress(&info);
        std::free(output);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct info;
    ErrorTrap trap;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    bool created = false;
    bool destinationSet = false;
};

// Compresses rows of 3-byte RGB pixels. No C++ objects with destructors here.
bool TrappedCompress(Compressor* c, const unsigned char* pixels, int width, int height, long long bytesPerLine)
{
    if (setjmp(c->trap.jump))
        return false;
    c->created = true;
    jpeg_create_compress(&c->info);
    jpeg_mem_dest(&c->info, &c->output, &c->outputSize);
    c->destinationSet = true;
    c->info.image_width = static_cast<JDIMENSION>(width);
    c->info.image_height = static_cast<JDIMENSION>(height);
    c->info.input_components = 3;
    c->info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c->info);
    c->info.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&c->info, 90, TRUE);
    jpeg_start_compress(&c->info, TRUE);
    while (c->info.next_scanline < c->info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels) + bytesPerLine * c->info.next_scanline;
        jpeg_write_scanlines(&c->info, &row, 1);
    }
    jpeg_finish_compress(&c->info);
    return true;
}

const unsigned char* BytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

// The library's own buffers for a full-size decode: every coefficient of three
// components of the largest picture shown, and room for its tables and rows.
constexpr long FullDecodeMemoryBudget = 3L * 2 * MaxDecodePixels + (64L << 20);
constexpr long PreviewMemoryBudget = 128L << 20;

HeaderFacts ReadHeaderFor(Decompressor& d, const QByteArray& bytes, DecodeSettings settings)
{
    HeaderFacts facts;
    if (!TrappedReadHeader(&d, BytesOf(bytes), static_cast<unsigned long>(bytes.size()), &facts, settings))
        ThrowJpegError(d.trap);
    return facts;
}

QImage::Format FormatFor(const HeaderFacts& facts)
{
    return facts.outputComponents == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
}

// The smallest scale, in eighths, that still gives at least the size asked for.
int ScaleFor(const JpegHeader& header, QSize wanted)
{
    for (int eighths = 1; eighths < 8; ++eighths) {
        const qint64 width = (qint64(header.Width) * eighths + 7) / 8;
        const qint64 height = (qint64(header.Height) * eighths + 7) / 8;
        if (width >= wanted.width() && height >= wanted.height())
            return eighths;
    }
    return 8;
}

}  // namespace

JpegHeader ReadJpegHeader(const QByteArray& bytes)
{
    Decompressor d;
    return ReadHeaderFor(d, bytes, DecodeSettings{8, FullDecodeMemoryBudget}).header;
}

QByteArray CompressJpeg(const QImage& image)
{
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw EJPEG(QStringLiteral("JPEG error #%1").arg(JERR_OUT_OF_MEMORY));
    Compressor c;
    if (!TrappedCompress(&c, rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine()))
        ThrowJpegError(c.trap);
    return QByteArray(reinterpret_cast<const char*>(c.output), static_cast<qsizetype>(c.outputSize));
}

QImage DecodeJpeg(const QByteArray& bytes)
{
    Decompressor d;
    const HeaderFacts facts = ReadHeaderFor(d, bytes, DecodeSettings{8, FullDecodeMemoryBudget});
    if (qint64(facts.outputWidth) * facts.outputHeight > MaxDecodePixels)
        return {};
    QImage image(facts.outputWidth, facts.outputHeight, FormatFor(facts));
    if (image.isNull())
        return {};
    if (!TrappedReadPixels(&d, image.bits(), image.bytesPerLine()))
        ThrowJpegError(d.trap);
    return image;
}

QImage DecodeJpegToFit(const QByteArray& bytes, QSize size)
{
    if (size.isEmpty() || qint64(size.width()) * size.height() > MaxDecodePixels)
        return {};
    JpegHeader header;
    {
        Decompressor probe;
        header = ReadHeaderFor(probe, bytes, DecodeSettings{8, PreviewMemoryBudget}).header;
    }
    const QSize wanted = QSize(header.Width, header.Height).boundedTo(size);
    Decompressor d;
    const HeaderFacts facts = ReadHeaderFor(d, bytes, DecodeSettings{ScaleFor(header, wanted), PreviewMemoryBudget});
    QImage image(wanted, FormatFor(facts));
    if (image.isNull())
        return {};
    if (facts.outputWidth == wanted.width() && facts.outputHeight == wanted.height()) {
        if (!TrappedReadPixels(&d, image.bits(), image.bytesPerLine()))
            ThrowJpegError(d.trap);
        return image;
    }
    QByteArray row(qsizetype(facts.outputWidth) * facts.outputComponents, Qt::Uninitialized);
    if (!TrappedReadPixelsSampled(&d, image.bits(), image.bytesPerLine(), wanted.width(), wanted.height(),
                                  reinterpret_cast<unsigned char*>(row.data())))
        ThrowJpegError(d.trap);
    return image;
}
