#pragma once
// Cards handed from the thread that reads the files to the one that plans
// them, in the order read (see HandOver.h).

#include "exchange/ContactDraft.h"
#include "exchange/HandOver.h"

#include <variant>

struct QueuedCard {
    int file = 0;  // which of the files read, from 0
    std::variant<ContactDraft, DraftFailure> card;
};

class DraftQueue : public HandOver<QueuedCard> {
public:
    using HandOver::HandOver;
};

// A reader's sink that puts the cards of one file into the queue.
class QueuedFile : public DraftSink {
public:
    QueuedFile(DraftQueue& queue, int file) : queue_(queue), file_(file) {}
    void take(ContactDraft&& draft) override { queue_.push({file_, std::move(draft)}); }
    void take(DraftFailure&& failure) override { queue_.push({file_, std::move(failure)}); }

private:
    DraftQueue& queue_;
    int file_;
};
