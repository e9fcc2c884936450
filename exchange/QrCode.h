#pragma once
// A contact as a QR code a phone's camera adds to its contacts: the contact's
// vCard 3.0 without the photo (a photo would make the code too dense to scan),
// error correction level M.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QImage>
#include <vector>

// The code's modules, row by row, true for dark.
struct QrMatrix {
    int width = 0;
    std::vector<bool> dark;
    bool at(int x, int y) const { return dark[size_t(y) * size_t(width) + size_t(x)]; }
};

// The white border every reader needs around the code, in modules.
constexpr int QrQuietZone = 4;

// The contact's vCard text as the code holds it.
QByteArray ContactQrText(const StoredContact& contact);

// The code of the bytes, in 8-bit mode, at the smallest version they fit.
// Raises ExchangeError when they do not fit a QR code at all.
QrMatrix EncodeQr(const QByteArray& bytes);

// Black modules on white with the quiet zone, scale pixels to a module.
QImage QrImage(const QrMatrix& matrix, int scale);
// The same as an SVG drawing, one path, a module one unit wide.
QByteArray QrSvg(const QrMatrix& matrix);
