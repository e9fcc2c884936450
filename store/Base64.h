#pragma once
// The stored password's text: RFC 4648 Base64, with a decoder that never rejects anything.

#include <QByteArray>

QByteArray Base64Encode(const QByteArray& bytes);
QByteArray Base64Decode(const QByteArray& text);
