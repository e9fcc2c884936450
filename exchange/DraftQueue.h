#pragma once
// Cards handed from the thread that reads the files to the one that plans
// them, in the order read. It holds a few cards at most: a reader that gets
// ahead waits, so the memory stays that of a few cards however large the file.

#include "exchange/ContactDraft.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <variant>

struct QueuedCard {
    int file = 0;  // which of the files read, from 0
    std::variant<ContactDraft, DraftFailure> card;
};

class DraftQueue {
public:
    // What push raises in the reading thread once the planning one gave up.
    struct Abandoned {};

    // capacity: at least 2.
    explicit DraftQueue(std::size_t capacity = 64) : capacity_(std::max<std::size_t>(capacity, 2)) {}

    // Waits while the queue is full. Raises Abandoned.
    void push(QueuedCard card);
    // No more cards; the error, when there is one, is why the reading stopped.
    void close(std::exception_ptr error = nullptr);
    // The next card, waiting for it; false once the queue is closed and empty.
    bool pop(QueuedCard& card);
    // The planning side stops taking cards: the reader's next push raises Abandoned.
    void abandon();
    // Why the reading stopped, once closed: null when it read everything.
    std::exception_ptr error();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QueuedCard> cards_;
    std::deque<QueuedCard> taken_;  // the planning side's, taken from cards_ at once
    std::size_t capacity_;
    bool readerWaits_ = false;
    bool plannerWaits_ = false;
    bool closed_ = false;
    bool abandoned_ = false;
    std::exception_ptr error_;
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
