#include "shell/run_control.h"

#include <utility>

namespace curvalon {

namespace {

// What the exchange texts read, in the words of the run's progress.
std::string subjectOf(const std::string& text) {
    constexpr std::string_view head = "reading... ", tail = " from TDS2024";
    if (!text.starts_with(head) || !text.ends_with(tail)) return {};
    std::string subject = text.substr(head.size(), text.size() - head.size() - tail.size());
    const std::size_t underscore = subject.find('_');
    const std::string first = subject.substr(0, underscore);
    if (first == "Select-CH") return "the shown channels";
    if (first == "Time(Horizontal)") return "the time base";
    if (first == "Triger") return "the trigger";
    if (first == "Acquisition") return "the acquisition state";
    return first;  // a source's name, for its settings and its curve alike
}

}  // namespace

RunControl::RunControl(Hooks hooks) : hooks_(std::move(hooks)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { next(); });
}

void RunControl::toggle() {
    if (running_) {
        stop();
        return;
    }
    running_ = true;
    reads_ = 0;
    after_ = {};
    hooks_.showChecked(true);
    timer_.start(0);
}

void RunControl::stop() {
    running_ = false;
    timer_.stop();
    hooks_.showChecked(false);
}

void RunControl::stopThen(std::function<void()> command) {
    after_ = std::move(command);
    stop();
    // Between two reads nothing is in progress: the command may run now.
    if (!reading_) timer_.start(0);
}

// One read of the run, from the event loop, so that whatever the operator did meanwhile is done
// first; and what the operator asked for once the run has ended.
void RunControl::next() {
    if (!running_) {
        if (auto command = std::exchange(after_, {})) command();
        return;
    }
    if (!hooks_.idle()) {
        timer_.start(kRetryMs);
        return;
    }
    reading_ = true;
    progress_ = "Run: " + std::to_string(reads_) + " reads";
    const bool completed = hooks_.read();
    reading_ = false;
    ++reads_;
    if (!completed) stop();
    hooks_.showProgress();
    // Both from the event loop: the next read, or the command that ended the run.
    if (running_ || after_) timer_.start(0);
}

std::string RunControl::progressText(const std::string& statusText) {
    const std::string subject = subjectOf(statusText);
    if (subject.empty()) return statusText;
    progress_ = "Run: " + std::to_string(reads_) + " reads, reading " + subject;
    return progress_;
}

}  // namespace curvalon
