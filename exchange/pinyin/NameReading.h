#pragma once
// How a name reads in pinyin: the pieces a person types it by. A Han
// character is one piece with its readings; a run of ASCII letters is one
// Latin word; a run of digits is kept for showing but never typed as pinyin;
// blanks, punctuation and symbols only separate pieces. A character that is a
// letter of some kind but has no reading (kana, a Han character the table does
// not know) is a piece nothing matches.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <span>
#include <vector>

struct NamePiece {
    enum class Kind { Han, Latin, Digits, Unreadable };

    Kind kind = Kind::Unreadable;
    QStringView text;  // as written in the name

    // The syllable ids that count at this place of the name (Han only).
    std::span<const std::uint16_t> syllables() const
    {
        return ids_ ? std::span<const std::uint16_t>(ids_, size_t(count_))
                    : std::span<const std::uint16_t>(&own_, size_t(count_));
    }

private:
    friend void readName(QStringView, bool, std::vector<NamePiece>&);
    const std::uint16_t* ids_ = nullptr;
    int count_ = 0;
    std::uint16_t own_ = 0;  // a compound surname's reading, which the table holds apart
};

// The pieces of name, into pieces (cleared first, kept for reuse). With
// startsWithSurname the first piece, when it is a Han character with a
// surname reading, reads only as a surname, and a leading two-character surname
// (万俟, 长孙) reads as that surname; every other Han character reads any of its
// common readings.
void readName(QStringView name, bool startsWithSurname, std::vector<NamePiece>& pieces);

// The name in pinyin for people to read: each Han character's usual reading
// (its surname reading first), without tone marks, ü kept, pieces separated by
// one blank; Latin words and digits as written. "张三丰" -> "zhang san feng".
QString spellName(QStringView name);

// The pinyin of one part of a name for a phone to sort by: the syllables of
// each run of Han characters joined and capitalised ("欧阳" -> "Ouyang",
// "三丰" -> "Sanfeng"), other pieces as written, one blank between runs.
// Empty when the part has no Han character with a reading.
QString phoneticOf(QStringView part, bool isSurname);
