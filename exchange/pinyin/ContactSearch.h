#pragma once
// What a contact search looks for: the typed text inside any of the seven
// texts (ASCII letter case ignored, as the window's search matches), or, when
// the text is made of Latin letters, the pinyin of the name.

#include "ContactDraft.h"
#include "pinyin/NameReading.h"
#include "pinyin/PinyinPattern.h"

#include <QString>
#include <optional>
#include <span>
#include <vector>

class ContactSearch {
public:
    explicit ContactSearch(const QString& typed);

    // texts: the seven texts in table order (类别 姓名 生日 电话 QQ 地址 备注).
    bool matches(std::span<const QString> texts) const;

private:
    QString lowered_;
    std::optional<PinyinPattern> pinyin_;
    mutable std::vector<NamePiece> pieces_;  // scratch, kept between contacts
};

// Whether text contains part, ASCII letters compared without case; part given in lower case.
bool containsIgnoringAsciiCase(QStringView text, QStringView loweredPart);
