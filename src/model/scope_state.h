// The one set of state through which every part of the tool works: fixed tables, plot geometry,
// zoom, colours, source flags, the curve buffer, the instrument's settings and the link state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/rgb.h"

namespace curvalon {

// Source indexes: 0..3 are the channels CH1..CH4, 4..7 the references REFA..REFD.
constexpr int kChannelCount = 4;
constexpr int kSourceCount = 8;
constexpr int kFirstRef = 4;
constexpr int kLastRef = 7;
constexpr int kLastChannel = 3;

constexpr int kSamples = 2500;       // samples in one record
constexpr int kRecordCentre = 1250;  // the sample under the screen's middle line
constexpr int kSamplesPerDiv = 250;
constexpr int kCountsPerDiv = 25;    // vertical counts per division
constexpr int kCounts = 250;         // counts from the graticule's top edge to its bottom
constexpr int kCurveLength = 2501;   // entry 2500 is never written
constexpr int kRxBufferSize = 2601;  // reply bytes 0..2600

// Outcome of an exchange, kept in rxStatus and returned by the protocol operations.
enum Status : std::int32_t {
    kStatusOk = 0,
    kStatusTimeout = 1,
    kStatusOverflow = 2,
    kStatusLineError = 3,
    kStatusDataError = 7,
    kStatusRefused = 8,  // a read refused in demo mode; returned, never stored
    kStatusCancelled = 9,
};

// The fixed values behind the tables; initTables copies them into the state.
namespace tables {
constexpr std::array<std::int32_t, 10> kMagH = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
constexpr std::array<std::int32_t, 4> kMagV = {10, 20, 30, 40};
constexpr std::array<std::int32_t, 10> kFormW = {7695,  7695,  10195, 12695, 15195,
                                                 17695, 20195, 22695, 25195, 27695};
constexpr std::array<std::int32_t, 4> kFormH = {6360, 6360, 8860, 11360};
constexpr std::array<std::int32_t, 4> kPanelH = {2765, 5295, 7825, 10355};
constexpr std::array<std::int32_t, 9> kGridX = {250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2250};
constexpr std::array<std::int32_t, 9> kGridY = {25, 50, 75, 100, 125, 150, 175, 200, 225};
// The main window's outer size at the largest zoom, and the frame that every outer size
// includes: the client area is the outer size less the frame.
constexpr std::int32_t kFrameWidthTwips = 120;
constexpr std::int32_t kFrameHeightTwips = 690;
constexpr std::int32_t kMaxClientWidthTwips = kFormW.back() - kFrameWidthTwips;
constexpr std::int32_t kMaxClientHeightTwips = kFormH.back() - kFrameHeightTwips;
constexpr std::array<Rgb, 8> kTraceColor = {
    rgb(255, 200, 0),   rgb(0, 196, 196),   rgb(208, 0, 208),   rgb(0, 208, 0),
    rgb(192, 192, 128), rgb(128, 192, 192), rgb(192, 128, 192), rgb(128, 192, 128),
};
constexpr std::array<const char*, 12> kSrcName = {"CH1",  "CH2",  "CH3", "CH4",  "REFA", "REFB",
                                                  "REFC", "REFD", "EXT", "EXT5", "AC",   " - "};
// The zoom the tool starts with, x2 both ways, which is also the window's design size.
constexpr std::int32_t kStartZoomH = 1;
constexpr std::int32_t kStartZoomV = 1;
constexpr Rgb kGridColor = rgb(0, 0, 0);
constexpr Rgb kScreenEdgeColor = rgb(208, 208, 208);
constexpr Rgb kOffColor = rgb(196, 196, 196);
constexpr Rgb kTrigTextColor = rgb(0, 0, 0);
constexpr Rgb kTrigMarkColor = rgb(160, 160, 160);
}  // namespace tables

struct ScopeState {
    // Fixed tables, filled once by initTables.
    std::array<std::int32_t, 10> magHTbl{};
    std::array<std::int32_t, 4> magVTbl{};
    std::array<std::int32_t, 10> formWTbl{};
    std::array<std::int32_t, 4> formHTbl{};
    std::array<std::int32_t, 4> panelHTbl{};
    std::array<std::int32_t, 9> gridXTbl{};
    std::array<std::int32_t, 9> gridYTbl{};
    std::array<Rgb, kSourceCount> traceColor{};
    std::array<std::string, 12> srcName{};

    // Plot geometry in twips.
    std::int32_t plotX0 = 0;
    std::int32_t plotY0 = 0;
    std::int32_t plotPoints = 0;
    std::int32_t plotCounts = 0;
    std::int32_t eraseMarginX = 0;
    std::int32_t eraseMarginY = 0;
    std::int32_t markUnitX = 0;
    std::int32_t markUnitY = 0;

    // Zoom.
    std::int32_t magHIdx = 0;
    std::int32_t magVIdx = 0;
    std::int32_t magH = 0;
    std::int32_t magV = 0;
    std::int32_t drawnMagH = 0;
    std::int32_t drawnMagV = 0;

    // Colours.
    Rgb gridColor = 0;
    Rgb screenEdgeColor = 0;
    Rgb formBackColor = 0;
    Rgb offColor = 0;
    Rgb trigTextColor = 0;
    Rgb trigMarkColor = 0;

    // Source flags, 0 or 1. refStored and refShown use indexes 4..7 only.
    std::array<std::int32_t, kSourceCount> chEnable{};
    std::array<std::int32_t, kSourceCount> refStored{};
    std::array<std::int32_t, kSourceCount> refShown{};
    std::int32_t refView = 0;
    std::int32_t scopePresent = 0;

    // Signed counts, 25 per division, 0 at the instrument's screen centre.
    std::array<std::array<std::int32_t, kCurveLength>, kSourceCount> curve{};
    // 1 while a source's curve is a whole record from its last read (or the demo generator); 0
    // when it was never read, or its last read failed and left zeros or an older record.
    std::array<std::int32_t, kSourceCount> curveValid{};

    // Instrument settings, as the last accepted replies gave them.
    double timeDiv = 0;
    double horPosition = 0;
    std::int32_t trigPoint = 0;
    std::string trigSource;
    double trigLevel = 0;
    std::array<std::int32_t, kChannelCount> chProbe{};
    std::array<double, kChannelCount> chVoltDiv{};
    std::array<std::int32_t, kChannelCount> chPosition{};     // in counts, as drawn
    std::array<double, kChannelCount> chPositionDiv{};        // in divisions, as read
    std::array<std::string, kChannelCount> chCoupling;
    std::array<std::string, kChannelCount> chBandwidth;
    std::array<std::string, kChannelCount> chInvert;

    // Link state. Replies are bytes: rxText holds one char per received byte, NUL included.
    std::int32_t rxDone = 0;
    std::int32_t rxStatus = 0;
    std::int32_t rxCount = 0;
    std::array<std::uint8_t, kRxBufferSize> rxBytes{};
    std::string rxText;
    std::string lastCommand;
    std::string cmdText;
    std::int32_t delayDone = 0;

    std::int32_t startupDone = 0;
};

// Establishes every table, constant, colour and initial flag. windowBackColor is the main
// window's background, which becomes the erase colour.
void initTables(ScopeState& s, Rgb windowBackColor);

}  // namespace curvalon
