#pragma once
// Picture files for the tests, written by Qt's own image writers.

#include <QByteArray>
#include <QImage>

// The bytes of image as a file of format ("PNG", "BMP", "JPG", "ICO", ...).
QByteArray Encoded(const QImage& image, const char* format);
