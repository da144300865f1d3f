// A WindowOps that keeps what the tests read: texts and visibility of fields, the state of the
// buttons, every status text and message box, and the beeps.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "model/window_ops.h"

namespace curvalon::test {

class FakeWindowOps : public WindowOps {
  public:
    void setText(Field f, int i, const std::string& t) override { state_[{"text", int(f), i}] = t; }
    void setForeColor(Field, int, Rgb) override {}
    void setBackColor(Field, int, Rgb) override {}
    void setAlignment(Field, int, Alignment) override {}
    void setVisible(Field f, int i, bool v) override { set("visible", int(f), i, v); }
    void setButtonBackColor(Button, int, Rgb) override {}
    void setButtonEnabled(Button b, int i, bool e) override { set("button enabled", int(b), i, e); }
    void setButtonVisible(Button b, int i, bool v) override { set("button visible", int(b), i, v); }
    void setMenuEnabled(Menu, int, bool) override {}
    void setStatusText(const std::string& t) override { statusTexts.push_back(t); }
    void messageBox(const std::string& t) override { messageBoxes.push_back(t); }
    void beep() override { ++beeps; }
    LocalDateTime now() override { return {2026, 1, 2, 3, 4, 5}; }
    void setWindowSize(std::int32_t, std::int32_t) override {}

    std::vector<std::string> statusTexts;
    std::vector<std::string> messageBoxes;
    int beeps = 0;

    // The last value a control was given, e.g. get("button enabled", Button::cbCh, 2) is "0" or
    // "1"; empty when never set (controls start visible and enabled).
    template <typename Control>
    std::string get(const char* what, Control c, int i) const {
        const auto it = state_.find({what, int(c), i});
        return it == state_.end() ? std::string() : it->second;
    }
    std::string text(Field f, int i = 0) const { return get("text", f, i); }
    bool visible(Field f, int i = 0) const { return get("visible", f, i) != "0"; }
    std::string status() const { return statusTexts.empty() ? "" : statusTexts.back(); }

  private:
    void set(const char* what, int c, int i, bool on) {
        state_[{what, c, i}] = std::string(1, on ? '1' : '0');
    }
    std::map<std::tuple<std::string, int, int>, std::string> state_;
};

}  // namespace curvalon::test
