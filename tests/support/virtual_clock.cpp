#include "support/virtual_clock.h"

#include <QtGlobal>
#include <algorithm>
#include <limits>

namespace curvalon::test {

class VirtualClock::Timer : public LinkTimer {
  public:
    Timer(VirtualClock& clock, int interval, std::function<void()> onTimeout)
        : clock_(clock), onTimeout_(std::move(onTimeout)), interval_(interval) {
        clock_.timers_.push_back(this);
    }
    ~Timer() override { std::erase(clock_.timers_, this); }
    void start(int ms) override {
        interval_ = ms;
        due_ = clock_.now_ + ms;
        order_ = ++clock_.order_;
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    int interval() const override { return interval_; }

    // Earlier deadline first; for equal deadlines, the one armed first.
    bool before(const Timer& o) const { return due_ != o.due_ ? due_ < o.due_ : order_ < o.order_; }
    std::int64_t due() const { return due_; }
    void fire() {
        active_ = false;
        onTimeout_();
    }

  private:
    VirtualClock& clock_;
    std::function<void()> onTimeout_;
    int interval_;
    std::int64_t due_ = 0;
    std::int64_t order_ = 0;
    bool active_ = false;
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
    for (Timer* t : timers_) {
        if (t->isActive() && (!next || t->before(*next))) next = t;
    }
    if (!next || next->due() > limit) return false;
    now_ = std::max(now_, next->due());
    next->fire();
    return true;
}

void VirtualClock::waitUntil(const std::function<bool()>& done) {
    ++depth_;
    while (!done()) {
        // Nothing left that could end it: the tool would hang here for ever.
        if (!fireNext(std::numeric_limits<std::int64_t>::max()))
            qFatal("a wait that nothing can end");
    }
    --depth_;
}

void VirtualClock::advance(int ms) {
    const std::int64_t until = now_ + ms;
    while (fireNext(until)) {
    }
    now_ = until;
}

}  // namespace curvalon::test
