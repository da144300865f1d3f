// A WindowOps that keeps nothing: for the fuzzer and the readout benchmark, where only the work done
// before a write matters. Every byte written is still read, so a text built from outside a
// buffer shows up under AddressSanitizer and the compiler cannot drop the work.
#pragma once

#include "model/window_ops.h"

namespace curvalon::test {

class NullWindowOps : public WindowOps {
  public:
    void setText(Field, int, const std::string& text) override { sink(text); }
    void setForeColor(Field, int, Rgb colour) override { checksum += colour; }
    void setBackColor(Field, int, Rgb) override {}
    void setAlignment(Field, int, Alignment) override {}
    void setVisible(Field, int, bool) override {}
    void setButtonBackColor(Button, int, Rgb) override {}
    void setButtonEnabled(Button, int, bool) override {}
    void setButtonVisible(Button, int, bool) override {}
    void setMenuEnabled(Menu, int, bool) override {}
    void setStatusText(const std::string& text) override { sink(text); }
    void messageBox(const std::string& text) override { sink(text); }
    void beep() override {}
    LocalDateTime now() override { return {}; }
    void setWindowSize(std::int32_t, std::int32_t) override {}

    unsigned checksum = 0;

  private:
    void sink(const std::string& text) {
        for (char c : text)
            checksum += static_cast<unsigned char>(c);
    }
};

}  // namespace curvalon::test
