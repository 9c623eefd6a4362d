#pragma once
// The one list of subscribers a publisher keeps: added once each, told in
// subscription order, and safe when a subscriber leaves (or another joins)
// while it is being told.

#include <algorithm>
#include <vector>

template <typename Subscriber>
class SubscriberList {
public:
    void add(Subscriber *subscriber) {
        if (subscriber && std::find(list_.begin(), list_.end(), subscriber) == list_.end()) list_.push_back(subscriber);
    }
    void remove(Subscriber *subscriber) {
        list_.erase(std::remove(list_.begin(), list_.end(), subscriber), list_.end());
    }
    bool contains(const Subscriber *subscriber) const {
        return std::find(list_.begin(), list_.end(), subscriber) != list_.end();
    }
    int size() const { return static_cast<int>(list_.size()); }

    // Calls `call(subscriber)` for each subscriber present when the call
    // began and still subscribed when its turn comes.
    template <typename Call>
    void notify(Call call) const {
        const std::vector<Subscriber *> snapshot = list_;
        for (Subscriber *subscriber : snapshot)
            if (contains(subscriber)) call(*subscriber);
    }

private:
    std::vector<Subscriber *> list_;
};
