// A WindowOps that keeps every call in order and the resulting state of each control.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/window_ops.h"

namespace curvalon::test {

const char* fieldName(Field f);
const char* buttonName(Button b);
const char* menuName(Menu m);

class FakeWindowOps : public WindowOps {
  public:
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
    LocalDateTime now() override { return clock; }
    void setWindowSize(std::int32_t widthTwips, std::int32_t heightTwips) override;

    // Every call as one line, e.g. "fore ChTtl 0 255,255,255" or "status Stat:".
    std::vector<std::string> log;
    std::vector<std::string> statusTexts;
    std::vector<std::string> messageBoxes;
    int beeps = 0;
    LocalDateTime clock{2026, 1, 2, 3, 4, 5};
    std::pair<int, int> windowSize{0, 0};

    std::string text(Field f, int i = 0) const;
    Rgb foreColor(Field f, int i = 0) const;
    Rgb backColor(Field f, int i = 0) const;
    Alignment alignment(Field f, int i = 0) const;
    bool visible(Field f, int i = 0) const;  // true until told otherwise
    Rgb buttonBackColor(Button b, int i) const;
    bool buttonEnabled(Button b, int i) const;  // true until told otherwise
    bool buttonVisible(Button b, int i) const;  // true until told otherwise
    bool menuEnabled(Menu m, int i) const;      // true until told otherwise
    std::string status() const { return statusTexts.empty() ? "" : statusTexts.back(); }

    // Log lines since mark, for checking the order of one operation's effects.
    std::vector<std::string> since(std::size_t mark) const;

  private:
    using Key = std::pair<int, int>;
    std::map<Key, std::string> texts_;
    std::map<Key, Rgb> fore_, back_, buttonBack_;
    std::map<Key, Alignment> align_;
    std::map<Key, bool> visible_, buttonEnabled_, buttonVisible_, menuEnabled_;
};

std::string colourText(Rgb c);

}  // namespace curvalon::test
