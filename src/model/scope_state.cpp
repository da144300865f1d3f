#include "model/scope_state.h"

#include "model/array_fill.h"

namespace curvalon {

void initTables(ScopeState& s, Rgb windowBackColor) {
    s.scopePresent = 0;

    set1Array(s.magHTbl, tables::kMagH);
    set1Array(s.magVTbl, tables::kMagV);
    set1Array(s.formWTbl, tables::kFormW);
    set1Array(s.formHTbl, tables::kFormH);
    set1Array(s.gridXTbl, tables::kGridX);
    set1Array(s.gridYTbl, tables::kGridY);

    // Start-up zoom is x2 both ways, which is also the window's design size.
    s.magHIdx = 1;
    s.magVIdx = 1;
    s.magH = s.magHTbl[1];
    s.drawnMagH = s.magH;
    s.magV = s.magVTbl[1];
    s.drawnMagV = s.magV;
    s.eraseMarginX = 300;
    s.eraseMarginY = 300;
    s.plotX0 = 2350;
    s.plotY0 = 200;
    s.plotPoints = 2500;
    s.plotCounts = 250;
    s.markUnitX = 2;
    s.markUnitY = 20;

    set1Array(s.panelHTbl, tables::kPanelH);

    s.trigPoint = 2500 / 2;

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
