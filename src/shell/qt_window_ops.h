// The window operations on the real main window.
#pragma once

#include <functional>
#include <optional>

#include "model/window_ops.h"
#include "shell/main_window.h"

namespace curvalon {

class QtWindowOps : public WindowOps {
  public:
    static constexpr const char* kApplicationTitle = "Curvalon";

    explicit QtWindowOps(MainWindow& window) : window_(window) {}

    void setText(Field f, int index, const std::string& text) override;
    void setForeColor(Field f, int index, Rgb colour) override;
    void setBackColor(Field f, int index, Rgb colour) override;
    void setAlignment(Field f, int index, Alignment a) override;
    void setVisible(Field f, int index, bool visible) override;
    void setButtonBackColor(Button b, int index, Rgb colour) override;
    void setButtonEnabled(Button b, int index, bool enabled) override;
    void setButtonVisible(Button b, int index, bool visible) override;
    void setMenuEnabled(Menu m, int index, bool enabled) override;
    void setStatusText(const std::string& text) override;
    void messageBox(const std::string& text) override;
    void beep() override;
    LocalDateTime now() override;
    void setWindowSize(std::int32_t widthTwips, std::int32_t heightTwips) override;

    // A box of the tool's own (a file that cannot be written, a port that is not there): shown
    // like the instrument's, but it says nothing of how a read went.
    void notice(const QString& text);

    // The first exchange failure reported since the read began: a read that showed one has
    // failed, and its box's text says why.
    void beginRead() { readFailure_.reset(); }
    const std::optional<std::string>& readFailure() const { return readFailure_; }

    // Rewrites the texts meant for the status panel while it is set (during a run).
    std::function<std::string(const std::string&)> statusFilter;

  private:
    std::optional<std::string> readFailure_;
    MainWindow& window_;
};

}  // namespace curvalon
