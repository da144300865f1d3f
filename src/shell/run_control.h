// Curve > Run: full reads back to back, each started from the event loop once no exchange runs,
// until Run is chosen again, Esc is pressed or a read fails. A command that talks to the
// instrument, given while a read of the run waits, ends the run after that read and then runs.
#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <string>

namespace curvalon {

class RunControl {
  public:
    // While another command waits for a reply, the next read waits this long to try again.
    static constexpr int kRetryMs = 10;

    struct Hooks {
        std::function<bool()> idle;  // no exchange runs: a read may start
        std::function<bool()> read;  // one full read; false when it failed
        std::function<void(bool on)> showChecked;
        std::function<void()> showProgress;  // after each read and when the run ends
    };

    explicit RunControl(Hooks hooks);

    // Starts a run, or ends it; a read in progress completes as any read does.
    void toggle();
    void stop();
    // Ends the run after the read in progress, then runs command from the event loop.
    void stopThen(std::function<void()> command);

    bool running() const { return running_; }
    // True while a read of the run is in progress.
    bool reading() const { return reading_; }
    int reads() const { return reads_; }
    const QTimer& timer() const { return timer_; }

    // The status panel while a read of a run goes on: "Run: 12 reads, reading CH3" in place of
    // the exchange's own "reading... CH3_Curve from TDS2024"; other texts as they are.
    std::string progressText(const std::string& statusText);
    // The last progress text of the read in progress.
    const std::string& progress() const { return progress_; }

  private:
    void next();

    Hooks hooks_;
    QTimer timer_;
    bool running_ = false;
    bool reading_ = false;
    int reads_ = 0;
    std::function<void()> after_;
    std::string progress_;
};

}  // namespace curvalon
