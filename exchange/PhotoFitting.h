#pragma once
// The photo of an imported card as the book keeps it: JPEG data stays byte for
// byte; a PNG, GIF or BMP picture becomes a new JPEG with the photo settings,
// as a pasted bitmap does.

#include <QByteArray>
#include <QString>
#include <optional>

struct PhotoFit {
    std::optional<QByteArray> jpeg;  // what to store; nothing when there is no photo or it cannot be kept
    QString problem;                 // why a photo given was not kept, for the report; empty otherwise
};

PhotoFit FitPhoto(const QByteArray& bytes);
