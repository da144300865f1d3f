// Traces and position markers on a recording surface: exact twips, exact stroke streams.
#include <QtTest>
#include <cmath>
#include <limits>
#include <memory>

#include "model/scope_state.h"
#include "plot/arrows.h"
#include "plot/markers.h"
#include "plot/traces.h"
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

void drawGlyph(Glyph g, const ScopeState& s, DrawingSurface& out, const MarkerAnchor& at, Rgb c) {
    if (g == Down) drawArrowDown(s, out, at, c);
    if (g == Up) drawArrowUp(s, out, at, c);
    if (g == Left) drawArrowLeft(s, out, at, c);
    if (g == Right) drawArrowRight(s, out, at, c);
}

const Rgb kGrey = rgb(160, 160, 160);

}  // namespace

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
        QTest::addColumn<int>("magH");
        QTest::addColumn<int>("magV");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("first point one twip in") << 10 << 20 << 0 << 0 << 2351 << 2700;
        QTest::newRow("zero on centre row") << 2 << 20 << 1200 << 0 << 4750 << 2700;
        QTest::newRow("+100 on row 25") << 2 << 20 << 7 << 100 << 2364 << 700;
        QTest::newRow("-100 on row 225") << 2 << 20 << 7 << -100 << 2364 << 4700;
        QTest::newRow("+127 above the box") << 2 << 20 << 7 << 127 << 2364 << 160;
        QTest::newRow("-128 below the box") << 2 << 40 << 7 << -128 << 2364 << 10320;
        QTest::newRow("sample 2499 at x10") << 10 << 10 << 2499 << 0 << 27340 << 1450;
    }
    void curveVertex() {
        QFETCH(int, magH);
        QFETCH(int, magV);
        QFETCH(int, index);
        QFETCH(int, value);
        QFETCH(int, x);
        QFETCH(int, y);
        s->magH = magH;
        s->magV = magV;
        s->curve[5][static_cast<std::size_t>(index)] = value;
        drawCurve(*s, out, 5);
        QCOMPARE(int(out.strokes.size()), 2499);
        const Stroke& at = out.strokes[static_cast<std::size_t>(index == 0 ? 0 : index - 1)];
        QCOMPARE(index == 0 ? at.x1 : at.x2, x);
        QCOMPARE(index == 0 ? at.y1 : at.y2, y);
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
        QTest::newRow("down, tip 2") << int(Down) << 40 << QList<int>{0, -120, 0, 0};
        QTest::newRow("down, last shaft") << int(Down) << 42 << QList<int>{4, -120, 4, -4};
        QTest::newRow("down, after shaft") << int(Down) << 43 << QList<int>{6, -80, 6, -8};
        QTest::newRow("down, right end") << int(Down) << 79 << QList<int>{78, -80, 78, -80};
        QTest::newRow("up, tip") << int(Up) << 40 << QList<int>{0, 120, 0, 0};
        QTest::newRow("up, flank") << int(Up) << 10 << QList<int>{-60, 80, -60, 60};
        QTest::newRow("left, shaft first") << int(Left) << 0 << QList<int>{120, -10, 120, 10};
        QTest::newRow("left, last shaft") << int(Left) << 19 << QList<int>{82, -10, 82, 10};
        QTest::newRow("left, flat edge") << int(Left) << 20 << QList<int>{80, -80, 80, 80};
        QTest::newRow("left, tip") << int(Left) << 59 << QList<int>{2, -2, 2, 2};
        QTest::newRow("right, shaft first") << int(Right) << 0 << QList<int>{-120, -10, -120, 10};
        QTest::newRow("right, flat edge") << int(Right) << 20 << QList<int>{-80, -80, -80, 80};
        QTest::newRow("right, tip") << int(Right) << 59 << QList<int>{-2, -2, -2, 2};
    }
    void glyphStroke() {
        QFETCH(int, glyph);
        QFETCH(int, index);
        QFETCH(QList<int>, xy);
        drawGlyph(Glyph(glyph), *s, out, {0, 0, 0, 0}, kGrey);
        const Stroke& st = out.strokes.at(static_cast<std::size_t>(index));
        QCOMPARE((QList<int>{st.x1 - 2350, st.y1 - 200, st.x2 - 2350, st.y2 - 200}), xy);
    }

    void groundMarker_data() {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("glyph");
        QTest::addColumn<int>("ty");
        QTest::addColumn<QStringList>("printed");
        const QString fore1 = "fore 255,200,0";
        QTest::newRow("centre") << 0 << 0 << int(Right) << 2700
                                << QStringList{fore1, "at 20,2620", "print 1"};
        QTest::newRow("+125 top edge")
            << 0 << 125 << int(Right) << 200 << QStringList{fore1, "at 20,120", "print 1"};
        QTest::newRow("+130 above")
            << 0 << 130 << int(Up) << 200 << QStringList{fore1, "at 20,120", "print 1"};
        QTest::newRow("CH3 above, row 4")
            << 2 << 130 << int(Up) << 280 << QStringList{"fore 208,0,208", "at 20,200", "print 3"};
        QTest::newRow("CH2 row 100") << 1 << 25 << int(Right) << 2200
                                     << QStringList{"fore 0,196,196", "at 20,2120", "print 2"};
        QTest::newRow("CH4 bottom edge") << 3 << -125 << int(Right) << 5200
                                         << QStringList{"fore 0,208,0", "at 20,5120", "print 4"};
        QTest::newRow("CH4 below, row 244") << 3 << -126 << int(Down) << 5080
                                            << QStringList{"fore 0,208,0", "at 20,5000", "print 4"};
        QTest::newRow("enormous, below") << 0 << std::numeric_limits<int>::min() << int(Down)
                                         << 5200 << QStringList{fore1, "at 20,5120", "print 1"};
    }
    void groundMarker() {
        QFETCH(int, ch);
        QFETCH(int, position);
        QFETCH(int, glyph);
        QFETCH(int, ty);
        QFETCH(QStringList, printed);
        s->chPosition[static_cast<std::size_t>(ch)] = position;
        drawGroundMarker(*s, out, strip, ch);
        const std::int32_t tx = glyph == Right ? 2340 : 2260;
        QCOMPARE(out.strokes,
                 ::glyph(Glyph(glyph), tx, ty, s->traceColor[static_cast<std::size_t>(ch)]));
        QStringList log;
        for (const auto& line : strip.log)
            log << QString::fromStdString(line);
        QCOMPARE(log, printed);
    }

    void groundMarkerIgnoresNonChannels() {
        drawGroundMarker(*s, out, strip, 4);
        QVERIFY(out.strokes.empty() && strip.log.empty());
    }

    void trigLevelMarker_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<double>("voltDiv");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("level");
        QTest::addColumn<int>("glyph");
        QTest::addColumn<int>("ty");
        QTest::newRow("row 250") << "CH1" << 1.0 << -125 << 0.0 << int(Left) << 5200;
        QTest::newRow("row 255") << "CH1" << 1.0 << -130 << 0.0 << int(Left) << 5300;
        QTest::newRow("row 256") << "CH1" << 1.0 << -131 << 0.0 << int(Down) << 5200;
        QTest::newRow("0.5 V at 0.2 V/div: row 62")
            << "CH2" << 0.2 << 0 << 0.5 << int(Left) << 1440;
        QTest::newRow("0.7 V at 0.2 V/div: row 38") << "CH2" << 0.2 << 0 << 0.7 << int(Left) << 960;
        QTest::newRow("row -0.4 is row 0") << "CH3" << 1.0 << 125 << 0.016 << int(Left) << 200;
        QTest::newRow("row -1") << "CH4" << 1.0 << 126 << 0.0 << int(Up) << 200;
        QTest::newRow("enormous level") << "CH4" << 1.0 << 0 << 1e300 << int(Up) << 200;
        QTest::newRow("enormous negative") << "CH4" << 1e-300 << 0 << -1e300 << int(Down) << 5200;
        QTest::newRow("EXT") << "EXT" << 1.0 << 0 << 0.0 << int(None) << 0;
        QTest::newRow("EXT5") << "EXT5" << 1.0 << 0 << 0.0 << int(None) << 0;
        QTest::newRow("lower-case ch1") << "ch1" << 1.0 << 0 << 0.0 << int(None) << 0;
        QTest::newRow("no source yet") << "" << 1.0 << 0 << 0.0 << int(None) << 0;
        QTest::newRow("zero V/div") << "CH1" << 0.0 << 0 << 1.0 << int(None) << 0;
        QTest::newRow("level not a number") << "CH1" << 1.0 << 0 << std::nan("") << int(None) << 0;
    }
    void trigLevelMarker() {
        QFETCH(QString, source);
        QFETCH(double, voltDiv);
        QFETCH(int, position);
        QFETCH(double, level);
        QFETCH(int, glyph);
        QFETCH(int, ty);
        s->trigSource = source.toStdString();
        const int ch = source.isEmpty() ? 0 : qMax(0, source.right(1).toInt() - 1);
        s->chVoltDiv.fill(voltDiv);
        s->chPosition.fill(position);
        drawTrigLevelMarker(*s, out, level);
        const std::int32_t tx = glyph == Left ? 7360 : 7440;
        QCOMPARE(out.strokes,
                 ::glyph(Glyph(glyph), tx, ty, s->traceColor[static_cast<std::size_t>(ch)]));
    }

    void trigPointMarker_data() {
        QTest::addColumn<double>("point");
        QTest::addColumn<int>("glyph");
        QTest::addColumn<int>("tx");
        QTest::addColumn<int>("ty");
        QTest::newRow("0") << 0.0 << int(Down) << 2350 << 190;
        QTest::newRow("2499") << 2499.0 << int(Down) << 7348 << 190;
        QTest::newRow("1250.5 to even") << 1250.5 << int(Down) << 4850 << 190;
        QTest::newRow("2499.5 to even, still down") << 2499.5 << int(Down) << 7350 << 190;
        QTest::newRow("negative, not clipped") << -3.0 << int(Down) << 2344 << 190;
        QTest::newRow("2500") << 2500.0 << int(Left) << 2350 << 140;
        QTest::newRow("9999") << 9999.0 << int(Left) << 2350 << 140;
        QTest::newRow("not a number") << std::nan("") << int(Left) << 2350 << 140;
        QTest::newRow("enormous negative, pinned")
            << -1e300 << int(Down) << std::numeric_limits<int>::min() + 80 << 190;
    }
    void trigPointMarker() {
        QFETCH(double, point);
        QFETCH(int, glyph);
        QFETCH(int, tx);
        QFETCH(int, ty);
        drawTrigPointMarker(*s, out, point);
        auto expected = ::glyph(Glyph(glyph), tx, ty, kGrey);
        if (tx < 0) {  // pinned to the range's end, every stroke on the same x
            for (auto& st : expected)
                st.x1 = st.x2 = std::numeric_limits<int>::min();
        }
        QCOMPARE(out.strokes, expected);
    }
};

QTEST_GUILESS_MAIN(PlotMarkersTest)
#include "test_plot_markers.moc"
