#include "DraftQueue.h"

// The planning side is woken when half the room is taken rather than at every
// card, and then takes every card there is: the threads change turns seldom.
void DraftQueue::push(QueuedCard card)
{
    std::unique_lock lock(mutex_);
    if (!abandoned_ && cards_.size() >= capacity_) {
        readerWaits_ = true;
        changed_.wait(lock, [this] { return abandoned_ || cards_.size() < capacity_; });
        readerWaits_ = false;
    }
    if (abandoned_)
        throw Abandoned();
    cards_.push_back(std::move(card));
    if (plannerWaits_ && cards_.size() >= capacity_ / 2)
        changed_.notify_all();
}

void DraftQueue::close(std::exception_ptr error)
{
    const std::lock_guard lock(mutex_);
    closed_ = true;
    error_ = std::move(error);
    changed_.notify_all();
}

bool DraftQueue::pop(QueuedCard& card)
{
    if (taken_.empty()) {
        std::unique_lock lock(mutex_);
        if (!closed_ && cards_.size() < capacity_ / 2) {
            plannerWaits_ = true;
            changed_.wait(lock, [this] { return closed_ || cards_.size() >= capacity_ / 2; });
            plannerWaits_ = false;
        }
        taken_.swap(cards_);
        if (readerWaits_)
            changed_.notify_all();
    }
    if (taken_.empty())
        return false;
    card = std::move(taken_.front());
    taken_.pop_front();
    return true;
}

void DraftQueue::abandon()
{
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    cards_.clear();
    changed_.notify_all();
}

std::exception_ptr DraftQueue::error()
{
    const std::lock_guard lock(mutex_);
    return error_;
}
