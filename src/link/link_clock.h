// The link's sense of time: timers that fire once per arming, and waits that keep every other
// event flowing until their condition holds. The tool runs them on Qt's precise timers and nested
// event loops; the tests run them on a virtual clock that jumps to the next deadline.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace curvalon {

class LinkTimer {
  public:
    virtual ~LinkTimer() = default;
    // Arms the timer (again) to fire once after this many milliseconds.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The interval of the last arming.
    virtual int interval() const = 0;
};

class LinkClock {
  public:
    virtual ~LinkClock() = default;

    // A disarmed timer with this interval until it is first armed.
    virtual std::unique_ptr<LinkTimer> makeTimer(int interval, std::function<void()> onTimeout) = 0;
    // Returns once done() holds. Timers, port events and keys are delivered meanwhile, and a
    // command they start may wait in turn; every wait checks its own condition.
    virtual void waitUntil(const std::function<bool()>& done) = 0;
    // Something happened that may end a running wait.
    virtual void wake() = 0;
    // True while a wait runs.
    virtual bool waiting() const = 0;
    // Milliseconds since the clock was made.
    virtual std::int64_t nowMs() const = 0;
};

}  // namespace curvalon
