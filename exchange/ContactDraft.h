#pragma once
// What an importer read from one card or row, before it is fitted to the
// book's narrow columns. Every format only parses into drafts; the fitting
// (widths, phone separators, overflow into 备注) and the report are shared.

#include "platform/Errors.h"
#include "store/ContactSchema.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

struct DraftExtra {
    QString label;  // as the report and 备注 name it, in Chinese: "电话", "邮箱", ...
    QString value;

    bool operator==(const DraftExtra&) const = default;
};

struct ContactDraft {
    int line = 0;                                 // where the card or row starts in its file, 1-based
    std::array<QString, ContactTextCount> texts;  // as read, untrimmed and unfitted
    QList<DraftExtra> extras;                     // further fields that have no column: into 备注 while it has room
    QByteArray photo;                             // the picture's bytes as found (any kind), empty when none
    QStringList leftOut;  // what the reader could not keep, each a whole report text ("照片：以链接给出…，未导入")
    QStringList said;  // what the reader decided for the card and the report tells ("姓名：名片没有姓名，取自单位")

    QString& text(ContactText column) { return texts[static_cast<int>(column)]; }
    const QString& text(ContactText column) const { return texts[static_cast<int>(column)]; }
};

// A card or row the reader could not read at all: skipped, with its line in the report.
struct DraftFailure {
    int line = 0;
    QString reason;
};

struct DraftSet {
    QList<ContactDraft> drafts;
    QList<DraftFailure> failures;
    QStringList notes;  // about the whole file, for the report: "编码：Big5（自动识别）", rows skipped as no contacts
};

// Where a reader that goes through its file once hands each card or row as
// soon as it is read, in file order, so that no one holds every draft of a
// large file at once.
class DraftSink {
public:
    virtual ~DraftSink() = default;
    virtual void take(ContactDraft&& draft) = 0;
    virtual void take(DraftFailure&& failure) = 0;
};

// A sink that gathers everything into a DraftSet.
class DraftGathering : public DraftSink {
public:
    void take(ContactDraft&& draft) override { set.drafts.append(std::move(draft)); }
    void take(DraftFailure&& failure) override { set.failures.append(std::move(failure)); }
    DraftSet set;
};

// One record of the book as the exporters get it: the seven texts trimmed of
// their padding, the photo's stored bytes (empty when the record has none) and
// what an import kept beside it because neither the columns nor 备注 had room.
struct StoredContact {
    std::array<QString, ContactTextCount> texts;
    QByteArray photo;
    QList<DraftExtra> kept;  // the values an import kept beside the record, in the order it kept them

    const QString& text(ContactText column) const { return texts[static_cast<int>(column)]; }
};

// A whole file that cannot be read or written: the message says why, in Chinese,
// and names the file where it helps.
class ExchangeError : public Exception {
public:
    using Exception::Exception;
};
