#pragma once
// What the picture fuzz targets share: a Qt application on the offscreen
// platform (the icon reader is a plugin), and one round of loading a file's
// bytes into a picture of one kind and drawing it as the photo box and the
// preview do, onto small canvases. Only the kinds' own errors are expected;
// anything else escaping, or any crash, is a finding.

#include "photo/Graphics.h"
#include "platform/Errors.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

inline QByteArray FuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Loads and draws: stretched over the whole box, and fitted into a preview.
inline void LoadAndDraw(TGraphic& picture, const QByteArray& bytes)
{
    try {
        picture.LoadFromBytes(bytes);
    } catch (const Exception&) {
        return;  // refused with the kind's message, as the user would see it
    }
    QImage canvas(48, 40, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    picture.Draw(painter, QRect(0, 0, 48, 40));
    picture.DrawPreview(painter, QRect(4, 4, 30, 17));
    const std::unique_ptr<TGraphic> copy = picture.Clone();
    copy->Draw(painter, QRect(0, 0, 7, 5));
}
