// The link's timers and waits on Qt: precise single-shot timers, and one nested event loop per
// wait, so the thread sleeps until a timer or the port has news.
#pragma once

#include <QElapsedTimer>
#include <vector>

#include "link/link_clock.h"

class QEventLoop;

namespace curvalon {

class QtLinkClock : public LinkClock {
  public:
    std::unique_ptr<LinkTimer> makeTimer(int interval, std::function<void()> onTimeout) override;
    void waitUntil(const std::function<bool()>& done) override;
    void wake() override;
    bool waiting() const override { return !waiters_.empty(); }
    std::int64_t nowMs() const override { return elapsed_.elapsed(); }

    QtLinkClock() { elapsed_.start(); }

  private:
    QElapsedTimer elapsed_;
    struct Waiter {
        QEventLoop* loop;
        const std::function<bool()>* done;
    };
    std::vector<Waiter> waiters_;
};

}  // namespace curvalon
