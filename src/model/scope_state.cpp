#include "model/scope_state.h"

namespace curvalon {

void initTables(ScopeState& s, Rgb windowBackColor) {
    s.scopePresent = 0;

    // Whole numbers already: copied as they are, nothing to round.
    s.magHTbl = tables::kMagH;
    s.magVTbl = tables::kMagV;
    s.formWTbl = tables::kFormW;
    s.formHTbl = tables::kFormH;
    s.gridXTbl = tables::kGridX;
    s.gridYTbl = tables::kGridY;

    s.magHIdx = tables::kStartZoomH;
    s.magVIdx = tables::kStartZoomV;
    s.magH = s.magHTbl[tables::kStartZoomH];
    s.drawnMagH = s.magH;
    s.magV = s.magVTbl[tables::kStartZoomV];
    s.drawnMagV = s.magV;
    s.eraseMarginX = 300;
    s.eraseMarginY = 300;
    s.plotX0 = 2350;
    s.plotY0 = 200;
    s.plotPoints = kSamples;
    s.plotCounts = kCounts;
    s.markUnitX = 2;
    s.markUnitY = 20;

    s.panelHTbl = tables::kPanelH;

    s.trigPoint = kRecordCentre;

    s.chEnable.fill(0);
    s.refShown.fill(0);
    s.refStored.fill(0);
    s.refView = 0;

    s.gridColor = tables::kGridColor;
    s.screenEdgeColor = tables::kScreenEdgeColor;
    s.formBackColor = windowBackColor;
    s.offColor = tables::kOffColor;
    s.trigTextColor = tables::kTrigTextColor;
    s.trigMarkColor = tables::kTrigMarkColor;
    s.traceColor = tables::kTraceColor;

    s.lastCommand.clear();
    s.rxText.clear();
    s.cmdText.clear();

    for (std::size_t i = 0; i < s.srcName.size(); ++i)
        s.srcName[i] = tables::kSrcName[i];

    s.delayDone = 0;
}

}  // namespace curvalon
