#pragma once
// What a contact search looks for: the typed text inside any of the seven
// texts or the values kept beside them (ASCII letter case ignored, as the
// window's search matches); a number typed with or without separators inside
// a number written with or without them ("138 0013" finds 138-0013-8000); or,
// when the text is made of Latin letters, the pinyin of the name.

#include "exchange/ContactDraft.h"
#include "exchange/pinyin/NameReading.h"
#include "exchange/pinyin/PinyinPattern.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <optional>
#include <span>
#include <vector>

class ContactSearch {
public:
    explicit ContactSearch(const QString& typed);

    // texts: the seven texts in table order (类别 姓名 生日 电话 QQ 地址 备注),
    // then the values kept beside the contact, in UTF-8 as the book stores
    // them, so a whole book is searched without decoding texts that cannot match.
    bool matches(std::span<const QByteArrayView> utf8Texts) const;
    bool matches(std::span<const QString> texts) const;

    // The two halves of matches, for a search over texts held in memory:
    // the typed text with its ASCII letters lowered, to find inside texts
    // lowered alike, and the pinyin of a name already read into its pieces
    // (readName with the surname first).
    QByteArrayView loweredText() const { return lowered_; }
    // The digits of a number typed, to find inside texts with their digits
    // joined (JoinedDigits); empty when the text typed is not a number.
    QByteArrayView typedDigits() const { return digits_; }
    bool matchesNamePieces(std::span<const NamePiece> pieces) const { return pinyin_ && pinyin_->matches(pieces); }

private:
    QByteArray lowered_;  // UTF-8, ASCII letters in lower case
    QByteArray digits_;
    std::optional<PinyinPattern> pinyin_;
    // scratch, kept between contacts
    mutable QStringDecoder decoder_{QStringDecoder::Utf8};
    mutable std::vector<QChar> name_;
    mutable std::vector<NamePiece> pieces_;
};

// Whether text contains part, ASCII letters compared without case; part given
// with its ASCII letters in lower case. Both UTF-8: a character's bytes never
// start inside another's, so bytes match where characters do.
bool containsIgnoringAsciiCase(QByteArrayView text, QByteArrayView loweredPart);

// The text with the separators people write inside a number (IsPhoneSeparator)
// taken out where they stand between two digits: "138-0013 8000" becomes
// "13800138000", "北京 100 号" stays as it is. UTF-8 in and out.
QByteArray JoinedDigits(QByteArrayView utf8);
