// Traces and position markers on a recording surface: exact twips, exact stroke streams.
#include <QtTest>
#include <cmath>
#include <limits>
#include <memory>

#include "model/scope_state.h"
#include "plot/arrows.h"
#include "plot/markers.h"
#include "plot/traces.h"
#include "support/fake_window_ops.h"
#include "support/recording_surface.h"

using namespace curvalon;
using curvalon::test::RecordingMarkerStrip;
using curvalon::test::RecordingSurface;
using curvalon::test::Stroke;

namespace {

enum Glyph { None, Down, Up, Left, Right };

// The glyphs written out from their closed-form outline, independently of how they are drawn.
std::vector<Stroke> glyph(Glyph g, std::int32_t tx, std::int32_t ty, Rgb c) {
    std::vector<Stroke> out;
    auto v = [&](int x, int y1, int y2) {
        out.push_back({Stroke::Line, tx + x, ty + y1, tx + x, ty + y2, c});
    };
    if (g == Down || g == Up) {
        const int sign = g == Down ? 1 : -1;
        for (int k = 0; k < 80; ++k) {
            const int top = (k >= 39 && k <= 42) ? -120 : -80;
            const int bottom = k <= 40 ? -80 + 4 * ((k + 1) / 2) : -4 * ((k - 39) / 2);
            v((k - 40) * 2, sign * top, sign * bottom);
        }
    } else if (g == Left || g == Right) {
        const int sign = g == Left ? 1 : -1;
        for (int k = 60; k >= 1; --k) {
            const int h = k > 40 ? 10 : 2 * k;
            v(sign * 2 * k, -h, h);
        }
    }
    return out;
}

const Rgb kGrey = rgb(160, 160, 160);

struct VertexCase {
    int magH, magV, index, value, x, y;
};
struct GroundCase {
    int ch, position;
    Glyph glyph;
    int ty, printY;  // the arrow's tip, and where the channel number is printed
};
struct LevelCase {
    const char* source;
    double voltDiv;
    int position;
    double level;
    Glyph glyph;
    int ty;
};
struct PointCase {
    double point;
    Glyph glyph;
    int tx, ty;
};

}  // namespace

Q_DECLARE_METATYPE(VertexCase)
Q_DECLARE_METATYPE(GroundCase)
Q_DECLARE_METATYPE(LevelCase)
Q_DECLARE_METATYPE(PointCase)

class PlotMarkersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScopeState> s;
    RecordingSurface out;
    RecordingMarkerStrip strip;

  private slots:
    void init() {
        s = std::make_unique<ScopeState>();
        initTables(*s, rgb(240, 240, 240));
        out.strokes.clear();
        strip.log.clear();
    }

    void curveVertex_data() {
        QTest::addColumn<VertexCase>("c");
        QTest::newRow("first point one twip in") << VertexCase{10, 20, 0, 0, 2351, 2700};
        QTest::newRow("zero on centre row") << VertexCase{2, 20, 1200, 0, 4750, 2700};
        QTest::newRow("+100 on row 25") << VertexCase{2, 20, 7, 100, 2364, 700};
        QTest::newRow("-100 on row 225") << VertexCase{2, 20, 7, -100, 2364, 4700};
        QTest::newRow("+127 above the box") << VertexCase{2, 20, 7, 127, 2364, 160};
        QTest::newRow("-128 below the box") << VertexCase{2, 40, 7, -128, 2364, 10320};
        QTest::newRow("sample 2499 at x10") << VertexCase{10, 10, 2499, 0, 27340, 1450};
    }
    void curveVertex() {
        QFETCH(VertexCase, c);
        s->magH = c.magH;
        s->magV = c.magV;
        s->curve[5][c.index] = c.value;
        drawCurve(*s, out, 5);
        QCOMPARE(int(out.strokes.size()), 2499);
        const Stroke& at = out.strokes[std::max(c.index - 1, 0)];
        QCOMPARE(c.index == 0 ? at.x1 : at.x2, c.x);
        QCOMPARE(c.index == 0 ? at.y1 : at.y2, c.y);
    }

    void zeroCurveIsOneConnectedLineOnTheCentreRow() {
        s->curve[0][2500] = 99;  // past the record: never drawn
        drawCurve(*s, out, 0);
        QCOMPARE(int(out.strokes.size()), 2499);
        std::int32_t x = 2351;
        for (const Stroke& st : out.strokes) {
            QCOMPARE(st, (Stroke{Stroke::Line, x, 2700, st.x2, 2700, rgb(255, 200, 0)}));
            x = st.x2;
        }
        QCOMPARE(x, 2350 + 2499 * 2);
        drawCurve(*s, out, 8);
        QCOMPARE(int(out.strokes.size()), 2499);
    }

    // A few strokes spelt out, so that the outline above is itself pinned down; the marker tests
    // below compare whole streams against it.
    void glyphStroke_data() {
        QTest::addColumn<int>("glyph");
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("xy");  // relative to the tip
        QTest::newRow("down, left end of head") << int(Down) << 0 << QList<int>{-80, -80, -80, -80};
        QTest::newRow("down, tip") << int(Down) << 39 << QList<int>{-2, -120, -2, 0};
        QTest::newRow("down, last shaft") << int(Down) << 42 << QList<int>{4, -120, 4, -4};
        QTest::newRow("down, after shaft") << int(Down) << 43 << QList<int>{6, -80, 6, -8};
        QTest::newRow("down, right end") << int(Down) << 79 << QList<int>{78, -80, 78, -80};
        QTest::newRow("up, tip") << int(Up) << 40 << QList<int>{0, 120, 0, 0};
        QTest::newRow("left, shaft first") << int(Left) << 0 << QList<int>{120, -10, 120, 10};
        QTest::newRow("left, last shaft") << int(Left) << 19 << QList<int>{82, -10, 82, 10};
        QTest::newRow("left, flat edge") << int(Left) << 20 << QList<int>{80, -80, 80, 80};
        QTest::newRow("left, tip") << int(Left) << 59 << QList<int>{2, -2, 2, 2};
        QTest::newRow("right, shaft first") << int(Right) << 0 << QList<int>{-120, -10, -120, 10};
    }
    void glyphStroke() {
        QFETCH(int, glyph);
        QFETCH(int, index);
        QFETCH(QList<int>, xy);
        const auto draw = std::array{drawArrowDown, drawArrowUp, drawArrowLeft, drawArrowRight};
        draw[glyph - Down](*s, out, {0, 0, 0, 0}, kGrey);
        const Stroke& st = out.strokes.at(static_cast<std::size_t>(index));
        QCOMPARE((QList<int>{st.x1 - 2350, st.y1 - 200, st.x2 - 2350, st.y2 - 200}), xy);
    }

    // The arrow's tip, and the row at which the channel number is printed in the marker strip.
    void groundMarker_data() {
        QTest::addColumn<GroundCase>("c");
        QTest::newRow("centre") << GroundCase{0, 0, Right, 2700, 2620};
        QTest::newRow("+125 top edge") << GroundCase{0, 125, Right, 200, 120};
        QTest::newRow("+130 above") << GroundCase{0, 130, Up, 200, 120};
        QTest::newRow("CH3 above, row 4") << GroundCase{2, 130, Up, 280, 200};
        QTest::newRow("CH2 row 100") << GroundCase{1, 25, Right, 2200, 2120};
        QTest::newRow("CH4 bottom edge") << GroundCase{3, -125, Right, 5200, 5120};
        QTest::newRow("CH4 below, row 244") << GroundCase{3, -126, Down, 5080, 5000};
        QTest::newRow("enormous, below")
            << GroundCase{0, std::numeric_limits<int>::min(), Down, 5200, 5120};
        QTest::newRow("not a channel") << GroundCase{4, 0, None, 0, 0};
    }
    void groundMarker() {
        QFETCH(GroundCase, c);
        if (c.ch < 4) s->chPosition[c.ch] = c.position;
        drawGroundMarker(*s, out, strip, c.ch);
        const Rgb colour = s->traceColor[c.ch];
        QCOMPARE(out.strokes, glyph(c.glyph, c.glyph == Right ? 2340 : 2260, c.ty, colour));
        const std::vector<std::string> printed = {"fore " + curvalon::test::colourText(colour),
                                                  "at 20," + std::to_string(c.printY),
                                                  "print " + std::to_string(c.ch + 1)};
        QCOMPARE(strip.log, c.ch < 4 ? printed : std::vector<std::string>{});
    }

    void trigLevelMarker_data() {
        QTest::addColumn<LevelCase>("c");
        QTest::newRow("row 250") << LevelCase{"CH1", 1.0, -125, 0.0, Left, 5200};
        QTest::newRow("row 255") << LevelCase{"CH1", 1.0, -130, 0.0, Left, 5300};
        QTest::newRow("row 256") << LevelCase{"CH1", 1.0, -131, 0.0, Down, 5200};
        QTest::newRow("0.5 V at 0.2 V/div: row 62") << LevelCase{"CH2", 0.2, 0, 0.5, Left, 1440};
        QTest::newRow("0.7 V at 0.2 V/div: row 38") << LevelCase{"CH2", 0.2, 0, 0.7, Left, 960};
        QTest::newRow("row -0.4 is row 0") << LevelCase{"CH3", 1.0, 125, 0.016, Left, 200};
        QTest::newRow("row -1") << LevelCase{"CH4", 1.0, 126, 0.0, Up, 200};
        QTest::newRow("enormous level") << LevelCase{"CH4", 1.0, 0, 1e300, Up, 200};
        QTest::newRow("enormous negative") << LevelCase{"CH4", 1e-300, 0, -1e300, Down, 5200};
        QTest::newRow("EXT") << LevelCase{"EXT", 1.0, 0, 0.0, None, 0};
        QTest::newRow("lower-case ch1") << LevelCase{"ch1", 1.0, 0, 0.0, None, 0};
        QTest::newRow("no source yet") << LevelCase{"", 1.0, 0, 0.0, None, 0};
        QTest::newRow("zero V/div") << LevelCase{"CH1", 0.0, 0, 1.0, None, 0};
        QTest::newRow("level not a number") << LevelCase{"CH1", 1.0, 0, std::nan(""), None, 0};
    }
    void trigLevelMarker() {
        QFETCH(LevelCase, c);
        s->trigSource = c.source;
        const int ch = c.source[0] == 'C' ? c.source[2] - '1' : 0;  // colour of a drawn marker
        s->chVoltDiv.fill(c.voltDiv);
        s->chPosition.fill(c.position);
        drawTrigLevelMarker(*s, out, c.level);
        QCOMPARE(out.strokes,
                 glyph(c.glyph, c.glyph == Left ? 7360 : 7440, c.ty, s->traceColor[ch]));
    }

    void trigPointMarker_data() {
        QTest::addColumn<PointCase>("c");
        QTest::newRow("0") << PointCase{0.0, Down, 2350, 190};
        QTest::newRow("2499") << PointCase{2499.0, Down, 7348, 190};
        QTest::newRow("1250.5 to even") << PointCase{1250.5, Down, 4850, 190};
        QTest::newRow("2499.5 to even, still down") << PointCase{2499.5, Down, 7350, 190};
        QTest::newRow("negative, not clipped") << PointCase{-3.0, Down, 2344, 190};
        QTest::newRow("2500") << PointCase{2500.0, Left, 2350, 140};
        QTest::newRow("9999") << PointCase{9999.0, Left, 2350, 140};
        QTest::newRow("not a number") << PointCase{std::nan(""), Left, 2350, 140};
        QTest::newRow("enormous negative, pinned")
            << PointCase{-1e300, Down, std::numeric_limits<int>::min() + 80, 190};
    }
    void trigPointMarker() {
        QFETCH(PointCase, c);
        drawTrigPointMarker(*s, out, c.point);
        auto expected = glyph(c.glyph, c.tx, c.ty, kGrey);
        if (c.tx < 0) {  // pinned to the range's end, every stroke on the same x
            for (auto& st : expected)
                st.x1 = st.x2 = std::numeric_limits<int>::min();
        }
        QCOMPARE(out.strokes, expected);
    }
};

QTEST_GUILESS_MAIN(PlotMarkersTest)
#include "test_plot_markers.moc"
