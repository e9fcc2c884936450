#pragma once
// Items handed from one thread to another, in the order given. It holds a
// few items at most: a giver that gets ahead waits, so the memory stays that
// of a few items however large the file. The taking side is woken when half
// the room is taken rather than at every item, and then takes every item there
// is: the threads change turns seldom.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>

// What give raises in the giving thread once the taking one gave up.
struct HandOverAbandoned {};

template <typename Item>
class HandOver {
public:
    using Abandoned = HandOverAbandoned;

    // capacity: at least 2.
    explicit HandOver(std::size_t capacity = 64) : capacity_(std::max<std::size_t>(capacity, 2)) {}

    // Waits while the room is full. Raises Abandoned.
    void push(Item item)
    {
        std::unique_lock lock(mutex_);
        if (!abandoned_ && items_.size() >= capacity_) {
            giverWaits_ = true;
            changed_.wait(lock, [this] { return abandoned_ || items_.size() < capacity_; });
            giverWaits_ = false;
        }
        if (abandoned_)
            throw Abandoned();
        items_.push_back(std::move(item));
        if (takerWaits_ && items_.size() >= capacity_ / 2)
            changed_.notify_all();
    }

    // No more items; the error, when there is one, is why the giving stopped.
    void close(std::exception_ptr error = nullptr)
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        error_ = std::move(error);
        changed_.notify_all();
    }

    // The next item, waiting for it; false once closed and empty, or abandoned.
    bool pop(Item& item)
    {
        if (taken_.empty()) {
            std::unique_lock lock(mutex_);
            if (!closed_ && !abandoned_ && items_.size() < capacity_ / 2) {
                takerWaits_ = true;
                changed_.wait(lock, [this] { return closed_ || abandoned_ || items_.size() >= capacity_ / 2; });
                takerWaits_ = false;
            }
            if (abandoned_)
                return false;
            taken_.swap(items_);
            if (giverWaits_)
                changed_.notify_all();
        }
        if (taken_.empty())
            return false;
        item = std::move(taken_.front());
        taken_.pop_front();
        return true;
    }

    // Either side stops the hand-over: the giver's next push raises Abandoned,
    // the taker's next pop gives nothing.
    void abandon()
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
        items_.clear();
        changed_.notify_all();
    }

    // Why the giving stopped, once closed: null when it gave everything.
    std::exception_ptr error()
    {
        const std::lock_guard lock(mutex_);
        return error_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> items_;
    std::deque<Item> taken_;  // the taking side's, taken from items_ at once
    std::size_t capacity_;
    bool giverWaits_ = false;
    bool takerWaits_ = false;
    bool closed_ = false;
    bool abandoned_ = false;
    std::exception_ptr error_;
};
