// Composing the picture against the simulated instrument: the order of drawing and traffic, what
// a redraw leaves alone, the refusal without an instrument, and the real image.
#include <QtTest>

#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/demo_waveforms.h"
#include "model/reference_selection.h"
#include "plot/composition.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"
#include "support/recording_surface.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

using Lines = std::vector<std::string>;

// Turns drawing calls into coarse events (runs of the same event collapse into one) so that the
// stacking order can be compared with the instrument traffic in one timeline.
class TimelineSurface : public RecordingSurface {
  public:
    TimelineSurface(const ScopeState& s, Lines& timeline) : s_(s), timeline_(timeline) {}
    void line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c) override {
        RecordingSurface::line(x1, y1, x2, y2, c);
        note(c == s_.screenEdgeColor ? "edges"
             : c == s_.gridColor     ? "grid"
                                     : "mark " + colourText(c));
    }
    void lineTo(std::int32_t x, std::int32_t y, Rgb c) override {
        RecordingSurface::lineTo(x, y, c);
        note("curve " + colourText(c));
    }
    void box(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c,
             bool filled) override {
        RecordingSurface::box(x1, y1, x2, y2, c, filled);
        note(filled ? "erase" : "grid");
    }
    void pset(std::int32_t x, std::int32_t y, Rgb c) override {
        RecordingSurface::pset(x, y, c);
        note("grid");
    }
    void note(const std::string& event) {
        if (timeline_.empty() || timeline_.back() != event) timeline_.push_back(event);
    }

  private:
    const ScopeState& s_;
    Lines& timeline_;
};

struct Rig {
    ScopeState s;
    FakeWindowOps window;
    FakeSerialDevice device;
    SimulatedInstrument instrument;
    Lines timeline;
    TimelineSurface surface{s, timeline};
    RecordingMarkerStrip strip;
    SerialLink link{s, window, device};
    ChannelSelection channels{s, window};
    ReferenceSelection references{s, window};
    SettingsQueries queries{s, window, link, channels, references};
    CurveTransfer curves{s, window, link};
    Composer composer{s, window, surface, strip, queries, curves};

    Rig() {
        initTables(s, rgb(239, 239, 239));
        instrument.attach(device);
        instrument.encoding = "RIB";
        auto answer = device.responder;
        device.responder = [this, answer](FakeSerialDevice& d, const std::string& line) {
            timeline.push_back("> " + line);
            answer(d, line);
        };
        link.openPort("sim");
        s.scopePresent = 1;
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
        rig.instrument.edgeSource = "EXT";  // no level marker: CH1's ground arrow stands alone
        rig.composer.readAndDraw();
        const std::string trig = "mark " + colourText(rig.s.trigMarkColor);
        QCOMPARE(
            rig.timeline,
            (Lines{"erase", "edges", "grid", "> HOR?", "> TRIG?", "curve " + rig.colour(6),
                   "curve " + rig.colour(4), "> CH3?", "> DAT:SOU CH3", "> CURV?",
                   "curve " + rig.colour(2), "mark " + rig.colour(2), "> CH1?", "> DAT:SOU CH1",
                   "> CURV?", "curve " + rig.colour(0), "mark " + rig.colour(0), trig, "grid"}));
        QCOMPARE(rig.window.text(Field::dispTxD_str), std::string("2026.01.02  03:04.05"));
        QVERIFY(rig.window.visible(Field::dispTxD_str));
        QCOMPARE(rig.window.text(Field::TrigerCH), std::string("EXT"));
        QVERIFY(rig.window.messageBoxes.empty());
        QCOMPARE(rig.s.drawnMagH, 2);
        QCOMPARE(rig.s.drawnMagV, 20);
    }

    void newCurveReadsTheSelectionFirst() {
        Rig rig;
        rig.instrument.channels[0].displayed = true;
        for (int ch = 1; ch < 4; ++ch)
            rig.instrument.channels[ch].displayed = false;
        rig.composer.newCurve();
        QCOMPARE(rig.instrument.received,
                 (Lines{"SEL?", "HOR?", "TRIG?", "CH1?", "DAT:SOU CH1", "CURV?"}));
    }

    void reDrawSendsNothingAndKeepsTheReadout() {
        Rig rig;
        makeDemoCurves(rig.s);
        rig.s.chEnable.fill(1);
        rig.composer.reDraw();
        QVERIFY(rig.instrument.received.empty());
        QVERIFY(rig.window.log.empty());
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
        QCOMPARE(rig.window.messageBoxes, (Lines{" Can't found TDS2024 !"}));
        QVERIFY(rig.timeline.empty());
        QVERIFY(rig.instrument.received.empty());
        // The selection query runs in demo mode too; an instrument that names its channels brings
        // the tool back to live mode, and the read goes ahead.
        rig.composer.newCurve();
        QCOMPARE(rig.s.scopePresent, 1);
        QCOMPARE(Lines(rig.instrument.received.begin(), rig.instrument.received.begin() + 2),
                 (Lines{"SEL?", "HOR?"}));
        QCOMPARE(rig.window.messageBoxes.size(), size_t(1));
    }

    void failedCurveReadDrawsAFlatLine() {
        Rig rig;
        rig.s.chEnable[1] = 1;
        rig.s.curve[1].fill(50);
        rig.instrument.setFault(Fault::ShortRecord, "CURV?");
        rig.composer.readAndDraw();
        QCOMPARE(rig.window.messageBoxes.size(), size_t(1));
        int onCentre = 0;
        for (const Stroke& st : rig.surface.strokes) {
            if (st.kind == Stroke::Line && st.colour == rig.s.traceColor[1] && st.y1 == st.y2 &&
                st.y1 == 200 + 125 * 20) {
                ++onCentre;
            }
        }
        QCOMPARE(onCentre, 2499);
    }

    void reDrawAfterZoomingOutErasesTheOldExtent() {
        Rig rig;
        rig.s.magHIdx = 9;
        rig.s.magVIdx = 3;
        applyZoom(rig.s, rig.strip, rig.window);
        rig.composer.reDraw();
        rig.s.magHIdx = 1;
        rig.s.magVIdx = 1;
        applyZoom(rig.s, rig.strip, rig.window);
        rig.surface.clear();
        rig.composer.reDraw();
        QCOMPARE(rig.surface.strokes[0],
                 (Stroke{Stroke::FilledBox, 0, 0, 27650, 10500, rig.s.formBackColor}));
        QCOMPARE(rig.surface.strokes[1],
                 (Stroke{Stroke::FilledBox, 0, 0, 7650, 5500, rig.s.formBackColor}));
        QCOMPARE(rig.s.drawnMagH, 2);
    }

    void timeStampForm() {
        QCOMPARE(timeStamp({2005, 9, 8, 0, 7, 3}), std::string("2005.09.08  00:07.03"));
        QCOMPARE(timeStamp({2026, 12, 31, 23, 59, 59}), std::string("2026.12.31  23:59.59"));
    }

    void demoWaveformsOnTheRealImage() {
        ScopeState s;
        initTables(s, rgb(239, 239, 239));
        makeDemoCurves(s);
        s.chEnable.fill(1);
        ImageSurface surface(520, 400, s.formBackColor);
        ImageMarkerStrip strip(11, 400, s.formBackColor, QFont());
        FakeWindowOps window;
        FakeSerialDevice device;
        SerialLink link(s, window, device);
        ChannelSelection channels(s, window);
        ReferenceSelection references(s, window);
        SettingsQueries queries(s, window, link, channels, references);
        CurveTransfer curves(s, window, link);
        Composer composer(s, window, surface, strip, queries, curves);
        composer.reDraw();
        // Every 97th sample of every trace has its colour at the mapped pixel or right beside it
        // (a later trace or a grid dot may cover the exact pixel).
        for (int ch = 0; ch < 4; ++ch) {
            const QColor want(redOf(s.traceColor[ch]), greenOf(s.traceColor[ch]),
                              blueOf(s.traceColor[ch]));
            int found = 0, tried = 0;
            for (int i = 3; i < 2500; i += 97, ++tried) {
                const int px = twipsToPixels(2350 + i * 2);
                const int py = twipsToPixels(200 + (125 - s.curve[ch][i]) * 20);
                bool near = false;
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    for (int dy = -1; dy <= 1 && !near; ++dy) {
                        near = QColor(surface.image().pixel(px + dx, py + dy)) == want;
                    }
                }
                found += near;
            }
            QVERIFY2(
                found >= tried - 1,
                qPrintable(QStringLiteral("CH%1: %2 of %3").arg(ch + 1).arg(found).arg(tried)));
        }
        // The trigger-point marker sits above the centre column.
        QCOMPARE(
            QColor(surface.image().pixel(twipsToPixels(2350 + 1250 * 2), twipsToPixels(200 - 40))),
            QColor(160, 160, 160));
    }
};

QTEST_MAIN(CompositionTest)
#include "test_composition.moc"
