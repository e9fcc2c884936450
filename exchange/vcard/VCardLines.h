#pragma once
// A vCard file cut into its logical content lines: folded lines unfolded,
// quoted-printable soft line breaks joined, and the base64 lines of a
// version 2.1 picture gathered up to the blank line that ends them. Real
// files also break a value with a bare line break or after a "\" at the line's
// end: such a line goes on the value before it, with the break kept as "\n".
// Lines starting with "#" are comments and skipped. CR LF, LF, a bare CR and
// CR CR LF each end one line, so line numbers are those an editor shows.

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

struct ContentLine {
    int line = 0;     // the physical line it starts on, 1-based
    QByteArray text;  // "group.NAME;PARAMS:value", raw bytes
};

class VCardLineReader {
public:
    // bytes: UTF-8 or an ASCII-compatible code page.
    explicit VCardLineReader(QByteArrayView bytes);
    // The same read from the device piece by piece, holding little more than the line at hand.
    explicit VCardLineReader(QIODevice& device);

    // The next logical line, false at the end of the bytes.
    bool next(ContentLine& line);

private:
    // The next physical line without its line end, false at the end.
    bool peekPhysical(QByteArrayView& text);
    void skipPhysical();
    // The length of the line at hand up to its first CR or LF; -1 when the bytes at hand have neither.
    qsizetype lineLength() const;
    // Reads the device's next piece after the unread rest of the bytes; false at its end.
    bool readMore();

    QIODevice* device_ = nullptr;
    QByteArray piece_;  // what was read of the device and not yet taken
    QByteArrayView bytes_;
    qsizetype at_ = 0;
    int lineNumber_ = 1;
    qsizetype peekedAt_ = -1;  // where the line peeked at starts, -1 when none is
    // Its length, kept alone: a view written and read back whole as two halves
    // and one piece stalls the processor on every line.
    qsizetype peekedLength_ = 0;
};
