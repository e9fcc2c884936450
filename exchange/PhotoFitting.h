#pragma once
// The photo of an imported card as the book keeps it: JPEG data (anything
// that starts with the start-of-image marker) stays byte for byte; a PNG, GIF or BMP picture becomes a new JPEG with
// the photo settings, as a pasted bitmap does.

#include <QByteArray>
#include <QString>
#include <optional>

struct PhotoFit {
    std::optional<QByteArray> jpeg;  // what to store; nothing when there is no photo or it cannot be kept
    // For the report: why a photo given was not kept, or, beside a kept one, what
    // is wrong with it (JPEG data whose header does not read is kept as it is).
    QString problem;
};

PhotoFit FitPhoto(const QByteArray& bytes);

// Whether the bytes start as a picture the book takes does: JPEG, PNG, GIF or BMP.
bool isPictureData(const QByteArray& bytes);
