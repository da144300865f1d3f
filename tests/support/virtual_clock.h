// The link's time for tests: nothing waits for real. A wait fires the timers in the order they
// fall due, jumping the clock to each deadline, until its condition holds; a 5000 ms reply
// timeout costs microseconds and its exact interval can be read off the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "link/link_clock.h"

namespace curvalon::test {

class VirtualClock : public LinkClock {
  public:
    std::unique_ptr<LinkTimer> makeTimer(int interval, std::function<void()> onTimeout) override;
    // A wait that no timer can end would hang the tool for ever: the test fails at once.
    void waitUntil(const std::function<bool()>& done) override;
    void wake() override {}
    bool waiting() const override { return depth_ > 0; }

    std::int64_t nowMs() const override { return now_; }
    // Runs action once, ms from now, as a timer would.
    void at(int ms, std::function<void()> action);
    // Moves time on by ms, firing everything that falls due on the way.
    void advance(int ms);

  private:
    class Timer;
    bool fireNext(std::int64_t limit);

    std::int64_t now_ = 0;
    std::int64_t armed_ =
        0;  // timers armed so far: of equal deadlines, the first armed fires first
    int depth_ = 0;
    std::vector<Timer*> timers_;
    std::vector<std::unique_ptr<LinkTimer>> actions_;  // after timers_: they leave it as they go
};

}  // namespace curvalon::test
