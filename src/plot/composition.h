// Composing the whole picture: erase, screen limits, graticule, references under channels,
// channels from CH4 up to CH1, markers, and the graticule again on top. readAndDraw reads the
// settings and curves on the way; reDraw uses what is already held.
#pragma once

#include <string>

#include "plot/surface.h"
#include "protocol/curve_transfer.h"
#include "protocol/settings_queries.h"

namespace curvalon {

// "YYYY.MM.DD  HH:MM.SS", hours 00 to 23.
std::string timeStamp(const LocalDateTime& t);

class Composer {
  public:
    Composer(ScopeState& state, WindowOps& window, DrawingSurface& surface, MarkerStrip& strip,
             SettingsQueries& queries, CurveTransfer& curves);

    // Reads which channels the instrument shows, then reads and draws everything.
    void newCurve();
    void readAndDraw();
    // No instrument traffic and no readout changes.
    void reDraw();

    // When the last read was stamped, as it was shown; empty before the first read.
    const std::string& stampText() const { return stampText_; }
    const LocalDateTime& stamp() const { return stamp_; }

  private:
    void drawReferences();
    void markDrawnExtent();

    ScopeState& s_;
    WindowOps& w_;
    DrawingSurface& surface_;
    MarkerStrip& strip_;
    SettingsQueries& queries_;
    CurveTransfer& curves_;
    LocalDateTime stamp_;
    std::string stampText_;
};

}  // namespace curvalon
