// The window operations on the real main window.
#pragma once

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

    // How many message boxes have been shown: a read that showed one has failed.
    int messageBoxesShown() const { return messageBoxes_; }

  private:
    int messageBoxes_ = 0;
    MainWindow& window_;
};

}  // namespace curvalon
