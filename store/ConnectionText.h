#pragma once
// Reading values back out of a connection or creation text:
// "key=value;key = value;..." with keys compared without regard to case and
// blanks around keys, values and "=" ignored.

#include <QString>

// The value of key, or a null QString when the text has no such key.
QString ConnectionValue(const QString& text, const QString& key);

// The only provider the engine answers to.
bool IsJetProvider(const QString& text);
