#pragma once
// The drafts of one file an import has read and not yet planned, held in the
// import's spool file rather than in memory: they are read back one at a
// time, and a photo kept as it was read is written to the book from there.

#include "exchange/ContactDraft.h"
#include "exchange/FittedPhoto.h"

#include <memory>
#include <vector>

class SpoolFile;

class DraftSpool : public DraftSink {
public:
    explicit DraftSpool(std::shared_ptr<SpoolFile> file);

    // A draft goes into the file; a failure stays in failures. Raise ExchangeError.
    void take(ContactDraft&& draft) override;
    void take(DraftFailure&& failure) override;

    int count() const { return int(held_.size()); }
    // Where the draft starts in its file.
    int line(int index) const { return held_[size_t(index)].line; }
    // The draft as taken, its photo included. Raises ExchangeError.
    ContactDraft draft(int index) const;
    // The draft's photo bytes where the file holds them: fitted as they are, they need no copy.
    FittedPhoto photo(int index) const;
    const std::shared_ptr<SpoolFile>& file() const { return file_; }

    QList<DraftFailure> failures;  // in the order taken

private:
    struct Held {
        qint64 offset;  // where the draft's texts start; its photo's bytes follow them
        qint64 textBytes;
        qint64 photoBytes;
        int line;
    };
    std::shared_ptr<SpoolFile> file_;
    std::vector<Held> held_;
};
