#include "JpegCodec.h"

#include "Errors.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

const int JpegMessageCode::NotJpeg = JERR_NO_SOI;
const int JpegMessageCode::NoImage = JERR_NO_IMAGE;
const int JpegMessageCode::EmptyInput = JERR_INPUT_EMPTY;
const int JpegMessageCode::ColourConversion = JERR_CONVERSION_NOTIMPL;

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Ours jumps back to the setjmp in one of the Trapped* functions below. Those
// hold no objects with destructors, so the jump skips only libjpeg's own C
// frames; the C++ callers then see a plain failure result and throw.
struct ErrorTrap {
    jpeg_error_mgr manager;  // first member: libjpeg hands back &manager as cinfo->err
    std::jmp_buf jump;
};

[[noreturn]] void JumpToTrap(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

// Warnings (damaged data the library works around) are not shown anywhere.
void IgnoreMessage(j_common_ptr, int) {}

void InstallTrap(ErrorTrap& trap)
{
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpToTrap;
    trap.manager.emit_message = IgnoreMessage;
}

[[noreturn]] void ThrowJpegError(const ErrorTrap& trap)
{
    throw EJPEG(QStringLiteral("JPEG error #%1").arg(trap.manager.msg_code));
}

// ---------------------------------------------------------------- decoding

struct Decompressor {
    Decompressor()
    {
        std::memset(&info, 0, sizeof info);
        InstallTrap(trap);
        info.err = &trap.manager;
    }
    ~Decompressor()
    {
        if (created)
            jpeg_destroy_decompress(&info);  // safe also after a failed create
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct info;
    ErrorTrap trap;
    bool created = false;
};

struct HeaderFacts {
    JpegHeader header;
    int outputWidth = 0;
    int outputHeight = 0;
    int outputComponents = 0;
};

// Reads the header and fixes the decoding settings. No C++ objects with destructors here.
bool TrappedReadHeader(Decompressor* d, const unsigned char* data, unsigned long size, HeaderFacts* facts)
{
    if (setjmp(d->trap.jump))
        return false;
    d->created = true;
    jpeg_create_decompress(&d->info);
    jpeg_mem_src(&d->info, data, size);
    jpeg_read_header(&d->info, TRUE);

    facts->header.Width = static_cast<int>(d->info.image_width);
    facts->header.Height = static_cast<int>(d->info.image_height);
    facts->header.Grayscale = d->info.jpeg_color_space == JCS_GRAYSCALE;
    facts->header.Progressive = jpeg_has_multiple_scans(&d->info) != 0;

    d->info.scale_num = 1;
    d->info.scale_denom = 1;
    d->info.do_block_smoothing = TRUE;
    d->info.dct_method = JDCT_FLOAT;
    d->info.out_color_space = facts->header.Grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&d->info);
    facts->outputWidth = static_cast<int>(d->info.output_width);
    facts->outputHeight = static_cast<int>(d->info.output_height);
    facts->outputComponents = d->info.output_components;
    return true;
}

// Decodes every row into the caller's pixel buffer. No C++ objects with destructors here.
bool TrappedReadPixels(Decompressor* d, unsigned char* pixels, long long bytesPerLine)
{
    if (setjmp(d->trap.jump))
        return false;
    jpeg_start_decompress(&d->info);
    while (d->info.output_scanline < d->info.output_height) {
        JSAMPROW row = pixels + bytesPerLine * d->info.output_scanline;
        jpeg_read_scanlines(&d->info, &row, 1);
    }
    jpeg_finish_decompress(&d->info);
    return true;
}

// ---------------------------------------------------------------- encoding

// Compressed output grows in one malloc'd buffer; realloc failure becomes a library error.
struct MemoryDestination {
    jpeg_destination_mgr manager;  // first member: libjpeg hands back &manager as cinfo->dest
    unsigned char* buffer = nullptr;
    size_t capacity = 0;
    size_t length = 0;
};

MemoryDestination* DestinationOf(j_compress_ptr cinfo)
{
    return reinterpret_cast<MemoryDestination*>(cinfo->dest);
}

void StartDestination(j_compress_ptr cinfo)
{
    MemoryDestination* dest = DestinationOf(cinfo);
    const size_t initial = 64 * 1024;
    dest->buffer = static_cast<unsigned char*>(std::malloc(initial));
    if (!dest->buffer)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    dest->capacity = initial;
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = initial;
}

boolean GrowDestination(j_compress_ptr cinfo)
{
    MemoryDestination* dest = DestinationOf(cinfo);
    const size_t grown = dest->capacity * 2;
    auto* bigger = static_cast<unsigned char*>(std::realloc(dest->buffer, grown));
    if (!bigger)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    dest->buffer = bigger;
    dest->manager.next_output_byte = bigger + dest->capacity;
    dest->manager.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

void FinishDestination(j_compress_ptr cinfo)
{
    MemoryDestination* dest = DestinationOf(cinfo);
    dest->length = dest->capacity - dest->manager.free_in_buffer;
}

struct Compressor {
    Compressor()
    {
        std::memset(&info, 0, sizeof info);
        InstallTrap(trap);
        info.err = &trap.manager;
        destination.manager.init_destination = StartDestination;
        destination.manager.empty_output_buffer = GrowDestination;
        destination.manager.term_destination = FinishDestination;
    }
    ~Compressor()
    {
        if (created)
            jpeg_destroy_compress(&info);
        std::free(destination.buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct info;
    ErrorTrap trap;
    MemoryDestination destination;
    bool created = false;
};

// Compresses rows of 3-byte RGB pixels. No C++ objects with destructors here.
bool TrappedCompress(Compressor* c, const unsigned char* pixels, int width, int height, long long bytesPerLine)
{
    if (setjmp(c->trap.jump))
        return false;
    c->created = true;
    jpeg_create_compress(&c->info);
    c->info.dest = &c->destination.manager;
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

}  // namespace

JpegHeader ReadJpegHeader(const QByteArray& bytes)
{
    Decompressor d;
    HeaderFacts facts;
    if (!TrappedReadHeader(&d, BytesOf(bytes), static_cast<unsigned long>(bytes.size()), &facts))
        ThrowJpegError(d.trap);
    return facts.header;
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
    return QByteArray(reinterpret_cast<const char*>(c.destination.buffer),
                      static_cast<qsizetype>(c.destination.length));
}

QImage DecodeJpeg(const QByteArray& bytes)
{
    Decompressor d;
    HeaderFacts facts;
    if (!TrappedReadHeader(&d, BytesOf(bytes), static_cast<unsigned long>(bytes.size()), &facts))
        ThrowJpegError(d.trap);
    if (qint64(facts.outputWidth) * facts.outputHeight > MaxDecodePixels)
        return {};
    const QImage::Format format =
        facts.outputComponents == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
    QImage image(facts.outputWidth, facts.outputHeight, format);
    if (image.isNull())
        return {};
    if (!TrappedReadPixels(&d, image.bits(), image.bytesPerLine()))
        ThrowJpegError(d.trap);
    return image;
}
