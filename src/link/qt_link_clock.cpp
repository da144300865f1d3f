#include "link/qt_link_clock.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace curvalon {

namespace {

class QtLinkTimer : public LinkTimer {
  public:
    QtLinkTimer(int interval, std::function<void()> onTimeout) {
        timer_.setInterval(interval);
        timer_.setSingleShot(true);
        // A coarse timer may fire up to 5 % early, which would cut the 5 ms character pacing
        // short and end reply waits before their time.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(onTimeout));
    }
    void start(int milliseconds) override { timer_.start(std::max(milliseconds, 0)); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int interval() const override { return timer_.interval(); }

  private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<LinkTimer> QtLinkClock::makeTimer(int interval, std::function<void()> onTimeout) {
    return std::make_unique<QtLinkTimer>(interval, std::move(onTimeout));
}

// Waits nest when a key starts a command inside a running one; each piece of news that can end
// a wait calls wake, and every loop then checks its own condition.
void QtLinkClock::waitUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    waiters_.push_back({&loop, &done});
    while (!done()) {
        // A negative result means the application is quitting: every loop must give way then,
        // even with its condition unmet.
        if (loop.exec() < 0) break;
    }
    std::erase_if(waiters_, [&loop](const Waiter& w) { return w.loop == &loop; });
}

void QtLinkClock::wake() {
    for (const Waiter& w : waiters_) {
        if ((*w.done)()) w.loop->quit();
    }
}

}  // namespace curvalon
