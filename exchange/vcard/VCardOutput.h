#pragma once
// Content lines on their way out: text values escaped, long lines folded, the
// bytes gathered in large pieces before they reach the device.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

class VCardOutput {
public:
    explicit VCardOutput(QIODevice& device);
    VCardOutput(const VCardOutput&) = delete;
    VCardOutput& operator=(const VCardOutput&) = delete;

    // "NAME;PARAMS:value" with the value as it must stand (already escaped or encoded).
    void line(QByteArrayView nameAndParams, QByteArrayView value);
    // A text value: backslash, comma, semicolon and line breaks escaped.
    void text(QByteArrayView nameAndParams, const QString& value);
    // Writes what is gathered; throws ExchangeError when the device refuses it.
    void flush();

    // Appends the escaped UTF-8 of a text to a value under construction.
    static void appendEscaped(QByteArray& value, const QString& text);

private:
    void appendFolded(QByteArrayView line);

    QIODevice& device_;
    QByteArray buffer_;
    QByteArray scratch_;
};
