// Composing the picture against the simulated instrument: the order of drawing and traffic, what
// a redraw leaves alone, the refusal without an instrument, and the real image.
#include <QtTest>

#include "model/demo_waveforms.h"
#include "plot/composition.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "support/protocol_rig.h"
#include "support/qtest_strings.h"
#include "support/recording_surface.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

using Lines = std::vector<std::string>;

// Turns drawing calls into coarse events (runs of the same event collapse into one) so that the
// stacking order can be compared with the instrument traffic in one timeline. Curves are drawn
// from sample to sample, marker strokes are vertical.
class TimelineSurface : public RecordingSurface {
  public:
    TimelineSurface(const ScopeState& s, Lines& timeline) : s_(s), timeline_(timeline) {}

  protected:
    void add(const Stroke& st) override {
        RecordingSurface::add(st);
        const std::string event =
            st.kind == Stroke::FilledBox                           ? "erase"
            : st.kind != Stroke::Line || st.colour == s_.gridColor ? "grid"
            : st.colour == s_.screenEdgeColor
                ? "edges"
                : (st.x1 == st.x2 ? "mark " : "curve ") + colourText(st.colour);
        if (timeline_.empty() || timeline_.back() != event) timeline_.push_back(event);
    }

  private:
    const ScopeState& s_;
    Lines& timeline_;
};

struct Rig : ProtocolRig {
    Lines timeline;
    TimelineSurface surface{s, timeline};
    RecordingMarkerStrip strip;
    Composer composer{s, w, surface, strip, queries, curves};

    Rig() {
        auto answer = device.responder;
        device.responder = [this, answer](FakeSerialDevice& d, const std::string& line) {
            timeline.push_back("> " + line);
            answer(d, line);
        };
    }
    std::string colour(int src) const { return colourText(s.traceColor[src]); }
};

}  // namespace

class CompositionTest : public QObject {
    Q_OBJECT
  private slots:
    void readAndDrawOrder() {
        Rig rig;
        rig.s.chEnable[0] = rig.s.chEnable[2] = 1;
        rig.s.refView = 1;
        rig.s.refShown[4] = rig.s.refShown[6] = 1;
        rig.scope.edgeSource = "EXT";  // no level marker: CH1's ground arrow stands alone
        rig.w.clock = {2005, 9, 8, 23, 7, 59};
        rig.composer.readAndDraw();
        const std::string trig = "mark " + colourText(rig.s.trigMarkColor);
        QCOMPARE(
            rig.timeline,
            (Lines{"erase", "edges", "grid", "> HOR?", "> TRIG?", "curve " + rig.colour(6),
                   "curve " + rig.colour(4), "> CH3?", "> DAT:SOU CH3", "> CURV?",
                   "curve " + rig.colour(2), "mark " + rig.colour(2), "> CH1?", "> DAT:SOU CH1",
                   "> CURV?", "curve " + rig.colour(0), "mark " + rig.colour(0), trig, "grid"}));
        QCOMPARE(rig.w.text(Field::dispTxD_str), std::string("2005.09.08  23:07.59"));
        QVERIFY(rig.w.visible(Field::dispTxD_str));
        QCOMPARE(rig.w.text(Field::TrigerCH), std::string("EXT"));
        QVERIFY(rig.w.messageBoxes.empty());
        QCOMPARE((std::pair{rig.s.drawnMagH, rig.s.drawnMagV}), (std::pair{2, 20}));
    }

    void reDrawSendsNothingAndKeepsTheReadout() {
        Rig rig;
        makeDemoCurves(rig.s);
        rig.s.chEnable.fill(1);
        rig.composer.reDraw();
        QVERIFY(rig.scope.received.empty());
        QVERIFY(rig.w.log.empty());
        // Channels from CH4 to CH1, each followed by its ground marker, then the trigger point.
        QCOMPARE(Lines(rig.timeline.begin(), rig.timeline.begin() + 2), (Lines{"erase", "edges"}));
        QCOMPARE(rig.timeline[2], "curve " + rig.colour(3));
        QCOMPARE(rig.timeline[rig.timeline.size() - 3], "mark " + rig.colour(0));
        QCOMPARE(rig.timeline.back(), std::string("grid"));
    }

    void refusedWithoutInstrument() {
        Rig rig;
        rig.s.scopePresent = 0;
        rig.s.chEnable.fill(1);
        rig.composer.readAndDraw();
        QCOMPARE(rig.w.messageBoxes, (Lines{" Can't found TDS2024 !"}));
        QVERIFY(rig.timeline.empty());
        QVERIFY(rig.scope.received.empty());
        // The selection query runs in demo mode too; an instrument that names its channels brings
        // the tool back to live mode, and the read goes ahead.
        rig.composer.newCurve();
        QCOMPARE(rig.s.scopePresent, 1);
        QCOMPARE(Lines(rig.scope.received.begin(), rig.scope.received.begin() + 2),
                 (Lines{"SEL?", "HOR?"}));
        QCOMPARE(rig.w.messageBoxes.size(), size_t(1));
    }

    void failedCurveReadDrawsAFlatLine() {
        Rig rig;
        rig.s.chEnable[1] = 1;
        rig.s.curve[1].fill(50);
        rig.scope.setFault(Fault::LineError, "CURV?");
        rig.composer.readAndDraw();
        QCOMPARE(rig.w.messageBoxes.size(), size_t(1));
        const Rgb c = rig.s.traceColor[1];
        const auto onCentre = std::count_if(
            rig.surface.strokes.begin(), rig.surface.strokes.end(), [c](const Stroke& st) {
                return st.kind == Stroke::Line && st.colour == c && st.y1 == 2700 && st.y2 == 2700;
            });
        QCOMPARE(onCentre, 2499L);
    }

    void reDrawAfterZoomingOutErasesTheOldExtent() {
        Rig rig;
        const auto zoomAndDraw = [&rig](int h, int v) {
            rig.s.magHIdx = h;
            rig.s.magVIdx = v;
            applyZoom(rig.s, rig.strip, rig.w);
            rig.surface.clear();
            rig.composer.reDraw();
        };
        zoomAndDraw(9, 3);
        zoomAndDraw(1, 1);
        const Rgb back = rig.s.formBackColor;
        QCOMPARE(std::vector(rig.surface.strokes.begin(), rig.surface.strokes.begin() + 2),
                 (std::vector<Stroke>{{Stroke::FilledBox, 0, 0, 27650, 10500, back},
                                      {Stroke::FilledBox, 0, 0, 7650, 5500, back}}));
        QCOMPARE(rig.s.drawnMagH, 2);
    }

    void demoWaveformsOnTheRealImage() {
        ProtocolRig r;
        ScopeState& s = r.s;
        makeDemoCurves(s);
        s.chEnable.fill(1);
        ImageSurface surface(520, 400, s.formBackColor);
        ImageMarkerStrip strip(11, 400, s.formBackColor, QFont());
        Composer composer(s, r.w, surface, strip, r.queries, r.curves);
        composer.reDraw();
        // Every 97th sample of every trace has its colour at the mapped pixel or right beside it
        // (a later trace or a grid dot may cover the exact pixel).
        const QImage img = surface.image().convertToFormat(QImage::Format_RGB32);
        for (int ch = 0; ch < 4; ++ch) {
            const Rgb c = s.traceColor[ch];
            int found = 0, tried = 0;
            for (int i = 3; i < 2500; i += 97, ++tried) {
                const QImage near =
                    img.copy(twipsToPixels(2350 + i * 2) - 1,
                             twipsToPixels(200 + (125 - s.curve[ch][i]) * 20) - 1, 3, 3);
                const auto* p = reinterpret_cast<const QRgb*>(near.constBits());
                found += std::count(p, p + 9, qRgb(redOf(c), greenOf(c), blueOf(c))) > 0;
            }
            QVERIFY2(found >= tried - 1,
                     qPrintable(QString("CH%1: %2 of %3").arg(ch + 1).arg(found).arg(tried)));
        }
        // The trigger-point marker sits above the centre column.
        QCOMPARE(img.pixel(twipsToPixels(2350 + 1250 * 2), twipsToPixels(200 - 40)),
                 qRgb(160, 160, 160));
    }
};

QTEST_MAIN(CompositionTest)
#include "test_composition.moc"
