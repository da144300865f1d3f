// A WindowOps that keeps the last value each control was given, every status text and message
// box, and the beeps.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/window_ops.h"

namespace curvalon::test {

std::string colourText(Rgb c);
const char* nameOf(Field f);
const char* nameOf(Button b);
const char* nameOf(Menu m);

class FakeWindowOps : public WindowOps {
  public:
    void setText(Field f, int i, const std::string& t) override { set("text", f, i, t); }
    void setForeColor(Field f, int i, Rgb c) override { set("fore", f, i, colourText(c)); }
    void setBackColor(Field f, int i, Rgb c) override { set("back", f, i, colourText(c)); }
    void setAlignment(Field f, int i, Alignment a) override {
        set("align", f, i, std::to_string(int(a)));
    }
    void setVisible(Field f, int i, bool v) override { set("visible", f, i, v ? "1" : "0"); }
    void setButtonBackColor(Button b, int i, Rgb c) override { set("back", b, i, colourText(c)); }
    void setButtonEnabled(Button b, int i, bool e) override { set("enabled", b, i, e ? "1" : "0"); }
    void setButtonVisible(Button b, int i, bool v) override { set("visible", b, i, v ? "1" : "0"); }
    void setMenuEnabled(Menu m, int i, bool e) override { set("enabled", m, i, e ? "1" : "0"); }
    void setStatusText(const std::string& t) override;
    void messageBox(const std::string& t) override;
    void beep() override;
    LocalDateTime now() override { return clock; }
    void setWindowSize(std::int32_t widthTwips, std::int32_t heightTwips) override;

    std::vector<std::string> statusTexts;
    std::vector<std::string> messageBoxes;
    int beeps = 0;
    LocalDateTime clock{2026, 1, 2, 3, 4, 5};
    std::pair<int, int> windowSize{0, 0};

    // The last value set under a key, e.g. get("enabled cbCh 2") is "0" or "1", get("fore ChTtl 0")
    // "255,255,255"; empty when never set (controls start visible and enabled).
    std::string get(const std::string& key) const;
    std::string text(Field f, int i = 0) const { return get(key("text", f, i)); }
    bool visible(Field f, int i = 0) const { return get(key("visible", f, i)) != "0"; }
    std::string status() const { return statusTexts.empty() ? "" : statusTexts.back(); }

  private:
    template <typename Control>
    static std::string key(const char* what, Control c, int i) {
        return std::string(what) + " " + nameOf(c) + " " + std::to_string(i);
    }
    template <typename Control>
    void set(const char* what, Control c, int i, const std::string& value) {
        state_[key(what, c, i)] = value;
    }
    std::map<std::string, std::string> state_;
};

}  // namespace curvalon::test
