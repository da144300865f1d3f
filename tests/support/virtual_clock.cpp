#include "support/virtual_clock.h"

#include <QtGlobal>
#include <algorithm>
#include <limits>

namespace curvalon::test {

class VirtualClock::Timer : public LinkTimer {
  public:
    Timer(VirtualClock& clock, int interval, std::function<void()> onTimeout)
        : clock(clock), onTimeout(std::move(onTimeout)), ms(interval) {
        clock.timers_.push_back(this);
    }
    ~Timer() override { std::erase(clock.timers_, this); }
    void start(int interval) override { ms = interval, due = {clock.now_ + ms, ++clock.armed_}; }
    void stop() override { due.reset(); }
    bool isActive() const override { return due.has_value(); }
    int interval() const override { return ms; }

    VirtualClock& clock;
    std::function<void()> onTimeout;
    int ms;
    std::optional<std::pair<std::int64_t, std::int64_t>> due;  // the deadline, then the arming
};

std::unique_ptr<LinkTimer> VirtualClock::makeTimer(int interval, std::function<void()> onTimeout) {
    return std::make_unique<Timer>(*this, interval, std::move(onTimeout));
}

void VirtualClock::at(int ms, std::function<void()> action) {
    actions_.push_back(makeTimer(ms, std::move(action)));
    actions_.back()->start(ms);
}

bool VirtualClock::fireNext(std::int64_t limit) {
    Timer* next = nullptr;
    for (Timer* t : timers_)
        if (t->due && (!next || *t->due < *next->due)) next = t;
    if (!next || next->due->first > limit) return false;
    now_ = std::max(now_, next->due->first);
    next->stop();
    next->onTimeout();
    return true;
}

void VirtualClock::waitUntil(const std::function<bool()>& done) {
    ++depth_;
    while (!done())
        if (!fireNext(std::numeric_limits<std::int64_t>::max()))
            qFatal("a wait that nothing can end");
    --depth_;
}

void VirtualClock::advance(int ms) {
    const std::int64_t until = now_ + ms;
    while (fireNext(until)) {
    }
    now_ = until;
}

}  // namespace curvalon::test
