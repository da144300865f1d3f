// What the lower layers write to the main window: text fields, buttons, menu items, the status
// panel, message boxes, the beep, the clock and the window size. An interface only, so that
// model, link, protocol and plot stay free of the window toolkit; the shell implements it on Qt
// and the tests with a recording fake.
#pragma once

#include <cstdint>
#include <string>

#include "model/rgb.h"

namespace curvalon {

// Text fields of the main window. Arrays (ChTtl, ChDivV, ...) are addressed by channel 0..3;
// single fields take index 0.
enum class Field {
    TimeDivTtl,
    TimeDivTim,
    TimeDivUnit,
    ChTtl,
    ChDivV,
    ChDivUnit,
    TrigPosiTtl,
    TrigPosiTim,
    TrigPosiUnit,
    TrigerChTtl,
    TrigLevV,
    TrigLevUnit,
    TrigerCH,
    ProbeTtl,
    Probe,
    CouplingTtl,
    Coupling,
    BWTtl,
    BWLimit,
    InvertTtl,
    Invert,
    dispTxD_str,
    dispRxD_str,
};

// Buttons. cbCh takes channel 0..3, cbRefFlag source index 4..7.
enum class Button { cbSelCurve, cbCh, cbReDraw, cbNewCurve, cbRefFlag };

// Menu items. mnuRef takes 4..7, mnuCh 0..3, mnuMagH 0..9, mnuMagV 0..3.
enum class Menu {
    mnuIniTDS2024,
    mnuSave,
    mnuEnd,
    mnuReDraw,
    mnuNewCurve,
    mnuViewRef,
    mnuReadRef,
    mnuRef,
    mnuCh,
    mnuMagH,
    mnuMagV,
    mnuHelp,
};

enum class Alignment : std::int32_t { Left = 0, Centre = 2 };

struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Strings are single-byte text (Latin-1): one char per character, as replies arrive.
class WindowOps {
  public:
    virtual ~WindowOps() = default;

    virtual void setText(Field f, int index, const std::string& text) = 0;
    virtual void setForeColor(Field f, int index, Rgb colour) = 0;
    virtual void setBackColor(Field f, int index, Rgb colour) = 0;
    virtual void setAlignment(Field f, int index, Alignment a) = 0;
    virtual void setVisible(Field f, int index, bool visible) = 0;

    virtual void setButtonBackColor(Button b, int index, Rgb colour) = 0;
    virtual void setButtonEnabled(Button b, int index, bool enabled) = 0;
    virtual void setButtonVisible(Button b, int index, bool visible) = 0;

    virtual void setMenuEnabled(Menu m, int index, bool enabled) = 0;

    // The text of the status panel "Stat".
    virtual void setStatusText(const std::string& text) = 0;
    // A modal box with an OK button only, no icon, the application title as caption.
    virtual void messageBox(const std::string& text) = 0;
    virtual void beep() = 0;
    virtual LocalDateTime now() = 0;

    // The main window's outer size in twips, frame included.
    virtual void setWindowSize(std::int32_t widthTwips, std::int32_t heightTwips) = 0;
};

}  // namespace curvalon
