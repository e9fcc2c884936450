#pragma once
// Finding a name by the pinyin typed for it, as Chinese phones do: "zs",
// "zhangs", "zhsanf" or "sanfeng" find 张三丰. The typed letters must run from
// the start of some piece of the name through the following pieces, each
// piece's syllable typed whole or by a prefix of it, to the end of the text.

#include "exchange/pinyin/NameReading.h"

#include <QByteArray>
#include <QStringView>
#include <optional>
#include <span>
#include <vector>

class PinyinPattern {
public:
    // The pattern of a typed text made only of Latin letters (blanks and
    // apostrophes ignored, case ignored; ü may be typed as ü, v or u); nullopt
    // for any other text, and for one with no letter at all.
    static std::optional<PinyinPattern> parse(QStringView typed);

    // Whether the pattern finds the name read into these pieces.
    bool matches(std::span<const NamePiece> pieces) const;

    // The letters as matched: lower case, ü as v.
    const QByteArray& letters() const { return letters_; }

private:
    explicit PinyinPattern(QByteArray letters) : letters_(std::move(letters)) {}

    QByteArray letters_;
    mutable std::vector<quint64> reached_, next_;  // scratch, kept between names
};
