// The plot layer's parts: the off-screen images, zoom, traces, position markers and the readout's
// number texts, each at its edges. Images are checked by pixel; where twips matter, by the strokes
// a recording surface keeps. The composed picture is checked whole in the window's tests.
#include <QtTest>

#include "plot/composition.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "plot/markers.h"
#include "plot/number_text.h"
#include "plot/readout.h"
#include "plot/traces.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"
#include "support/recording_surface.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

constexpr Rgb kBack = rgb(240, 240, 240), kInk = rgb(255, 0, 0), kBlack = rgb(0, 0, 0);

// The tables are written as text: a row name (empty: named by input and result), the input and
// the expected result.
void rows(std::initializer_list<std::array<const char*, 3>> table) {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    for (const auto& [name, input, expected] : table)
        QTest::addRow("%s", *name ? name : qPrintable(QString("%1 = %2").arg(input, expected)))
            << QString(input) << QString(expected);
}

// What was drawn as "count in left,top..right,bottom": an arrow's tip lies on that rectangle.
std::string extent(int count, QRect r) {
    const QString text = QString("%1 in %2,%3..%4,%5").arg(count).arg(r.left()).arg(r.top());
    return count == 0 ? "" : text.arg(r.right()).arg(r.bottom()).toStdString();
}

std::string inked(const QImage& img, Rgb ink) {
    int count = 0;
    QRect all;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == qRgb(redOf(ink), greenOf(ink), blueOf(ink)))
                ++count, all |= QRect(x, y, 1, 1);
    return extent(count, all);
}

struct Plot {
    ScopeState s;
    RecordingSurface rec;
    RecordingMarkerStrip strip;
    FakeWindowOps w;
    Plot() { initTables(s, kBack); }

    // Drawing calls separated by ";": L x1 y1 x2 y2 (line), T x y (line to), O or F x1 y1 x2 y2
    // (box, outlined or filled), P x y (point), S src k v (sample k of source src), C src (trace),
    // G ch position (ground), V source volts/div position level (trigger level), M point (trigger).
    void run(DrawingSurface& d, const QString& script) {
        for (const QString& call : script.split(';')) {
            const QStringList a = call.split(' ', Qt::SkipEmptyParts);
            auto n = [&a](int i) { return a[i].toDouble(); };
            const QChar op = a[0][0];
            if (op == 'L') d.line(n(1), n(2), n(3), n(4), kInk);
            if (op == 'T') d.lineTo(n(1), n(2), kInk);
            if (op == 'O' || op == 'F') d.box(n(1), n(2), n(3), n(4), kInk, op == 'F');
            if (op == 'P') d.pset(n(1), n(2), kInk);
            if (op == 'S') s.curve[int(n(1))][int(n(2))] = n(3);
            if (op == 'C') drawCurve(s, d, n(1));
            if (op == 'G') s.chPosition[int(n(1)) % 4] = n(2), drawGroundMarker(s, d, strip, n(1));
            if (op == 'V') s.trigSource = a[1].toStdString(), s.chVoltDiv.fill(n(2));
            if (op == 'V') s.chPosition.fill(n(3)), drawTrigLevelMarker(s, d, n(4));
            if (op == 'M') drawTrigPointMarker(s, d, n(1));
        }
    }
    // The strokes' extent, their total length in twips and colour, then what the marker strip was
    // told. The length follows every stroke of a glyph without spelling the glyph out.
    std::string outline() const {
        QRect all;
        int ink = 0;
        for (const Stroke& st : rec.strokes) {
            all |= QRect(st.x1, st.y1, 1, 1) | QRect(st.x2, st.y2, 1, 1);
            ink += std::abs(st.x2 - st.x1) + std::abs(st.y2 - st.y1);
        }
        std::string out = extent(int(rec.strokes.size()), all);
        if (!out.empty())
            out += " ink " + std::to_string(ink) + " " + colourText(rec.strokes[0].colour);
        for (const std::string& call : strip.log)
            out += "|" + call;
        return out;
    }
};

}  // namespace

class PlotTest : public QObject {
    Q_OBJECT
  private slots:
    // Drawing calls on a 12 x 8 pixel image, at 2 device pixels per pixel after "x2".
    void imageSurface_data() {
        // clang-format off
        rows({{"line: both ends, 1 px wide, via 2,2", "L 15 15 75 45; P 30 30", "5 in 1,1..5,3"},
              {"steep line drawn backwards, via 1,2", "L 60 105 15 15; P 15 30", "7 in 1,1..4,7"},
              {"outlined box: all four sides", "O 150 75 15 15", "26 in 1,1..10,5"},
              {"filled box cut at the top left", "F -30 -30 45 30", "12 in 0,0..3,2"},
              {"filled box cut at the bottom right", "F 150 90 999 999", "4 in 10,6..11,7"},
              {"point on pixel 0,0", "P 0 0", "1 in 0,0..0,0"},
              {"point at x -1 px: -1 twip rounds down", "P -1 30", ""},
              {"point at y -1 px", "P 30 -1", ""},
              {"a line ends at the current point", "L 15 15 60 15; T 60 60", "7 in 1,1..4,4"},
              {"a box ends at its second corner", "O 15 15 45 45; T 150 45", "15 in 1,1..10,3"},
              {"a point becomes the current point", "P 15 15; T 60 15", "4 in 1,1..4,1"},
              {"x2: a point is 2 by 2", "x2 P 165 105", "4 in 22,14..23,15"}});
        // clang-format on
    }
    void imageSurface() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        Plot p;
        const bool x2 = input.startsWith("x2 ");
        ImageSurface surface(12, 8, kBack, x2 ? 2 : 1);
        int changes = 0;
        surface.setListener([&] { ++changes, surface.shown(); });
        p.run(surface, input.mid(x2 ? 3 : 0));
        QCOMPARE(inked(surface.image(), kInk), expected.toStdString());
        QCOMPARE(surface.image().devicePixelRatio(), x2 ? 2.0 : 1.0);
        QCOMPARE(changes, input.count(';') + 1);  // the viewer hears of every drawing call
    }

    void markerStrip() {
        QFont font;
        font.setPixelSize(30);
        const int line = QFontMetrics(font).height(),
                  blank = QFontMetrics(font).horizontalAdvance(' ');
        ImageMarkerStrip a(60, 3 * line, kBack, font), b(60, 3 * line, kBack, font);
        int changes = 0;
        a.setListener([&] { ++changes, a.shown(); });
        a.setHeight(5295), a.setForeColor(kInk), b.setForeColor(kInk);
        a.setCurrentPoint(0, 2 * line * kTwipsPerPixel);
        a.printNumber(7), a.cls();  // wipes the 7 and starts again at the top
        a.printNumber(0), a.printNumber(-1);
        b.printNumber(0), b.setCurrentPoint(0, line * kTwipsPerPixel), b.printNumber(-1);
        QCOMPARE(a.image(), b.image());
        QCOMPARE(QList<int>({a.heightTwips(), changes}), QList<int>({5295, 5}));
        // Not smoothed: ink and background only. A blank stands before 0.
        QCOMPARE(std::stoi(inked(b.image(), kBack)) + std::stoi(inked(b.image(), kInk)),
                 180 * line);
        QCOMPARE(inked(b.image().copy(0, 0, blank, line), kInk), "");
        QVERIFY(!inked(b.image().copy(0, line / 2, 60, line / 2), kInk).empty());  // hangs down
    }

    void zoom_data() {
        rows({{"largest", "9 3", "1 10 40 10355 27695 11360"},
              {"smallest", "0 0", "1 1 10 2765 7695 6360"},
              {"across 10 refused", "10 1", "0 2 20 0 0 0"},
              {"down 4 refused", "1 4", "0 2 20 0 0 0"},
              {"down -1 refused", "1 -1", "0 2 20 0 0 0"}});
    }
    void zoom() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        Plot p;
        p.s.magHIdx = input.section(' ', 0, 0).toInt(), p.s.magVIdx = input.section(' ', 1).toInt();
        const bool taken = applyZoom(p.s, p.strip, p.w);
        QCOMPARE(QString::asprintf("%d %d %d %d %d %d", taken, p.s.magH, p.s.magV, p.strip.height,
                                   p.w.windowSize.first, p.w.windowSize.second),
                 expected);
    }

    void eraseAfterZoomingOut() {
        Plot p;
        p.s.drawnMagH = 10, p.s.drawnMagV = 40, p.s.magH = 1, p.s.magV = 10;
        erasePlot(p.s, p.rec, p.strip);
        QCOMPARE(p.rec.strokes,
                 (std::vector<Stroke>{{Stroke::FilledBox, 0, 0, 27650, 10500, kBack},
                                      {Stroke::FilledBox, 0, 0, 5150, 3000, kBack}}));
        QCOMPARE(p.strip.log, std::vector<std::string>{"cls"});
    }

    void strokes_data() {
        // clang-format off
        rows({{"trace: 1 twip in, +127 above, -128 below", "S 0 0 127; S 0 2499 -128; C 0",
               "2499 in 2351,160..7348,5260 ink 10097 255,200,0"},
              {"trace of source 8", "C 8", ""}, {"trace of source -1", "C -1", ""},
              {"ground CH1 centre: right arrow", "G 0 0",
               "60 in 2220,2620..2338,2780 ink 3680 255,200,0|fore 255,200,0|at 20,2620|print 1"},
              {"ground CH1 top edge: right arrow", "G 0 125",
               "60 in 2220,120..2338,280 ink 3680 255,200,0|fore 255,200,0|at 20,120|print 1"},
              {"ground CH3 above: up arrow 4 rows in", "G 2 126",
               "80 in 2180,280..2338,400 ink 3360 208,0,208|fore 208,0,208|at 20,200|print 3"},
              {"ground CH4 bottom edge: right arrow", "G 3 -125",
               "60 in 2220,5120..2338,5280 ink 3680 0,208,0|fore 0,208,0|at 20,5120|print 4"},
              {"ground CH4 below: down arrow 6 rows in", "G 3 -126",
               "80 in 2180,4960..2338,5080 ink 3360 0,208,0|fore 0,208,0|at 20,5000|print 4"},
              {"ground of index 4", "G 4 0", ""},
              {"level 0.5 V, CH2 0.2 V/div: row 62", "V CH2 0.2 0 0.5", "60 in 7362,1360..7480,1520 ink 3680 0,196,196"},
              {"level on row 0: left arrow", "V CH3 1 125 0", "60 in 7362,120..7480,280 ink 3680 208,0,208"},
              {"level on row -1: up arrow", "V CH4 1 126 0", "80 in 7360,200..7518,320 ink 3360 0,208,0"},
              {"level on row 255: left arrow", "V CH1 1 -130 0", "60 in 7362,5220..7480,5380 ink 3680 255,200,0"},
              {"level on row 256: down arrow", "V CH1 1 -131 0", "80 in 7360,5080..7518,5200 ink 3360 255,200,0"},
              {"level on EXT", "V EXT 1 0 0", ""}, {"level at 0 V/div", "V CH1 0 0 1", ""},
              {"level not a number", "V CH1 1 0 nan", ""},
              {"trigger point 2499: down arrow", "M 2499", "80 in 7268,70..7426,190 ink 3360 160,160,160"},
              {"trigger point 2500: left arrow", "M 2500", "60 in 2352,60..2470,220 ink 3680 160,160,160"}});
        // clang-format on
    }
    void strokes() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        Plot p;
        p.run(p.rec, input);
        QCOMPARE(p.outline(), expected.toStdString());
    }

    void texts_data() {
        // clang-format off
        rows({{"", "N 0.5", "0.5"}, {"", "N 0.05", "0.05"}, {"", "N -0.6666666666666666", "-0.666666666666667"},
              {"", "N 123456789012345678", "123456789012346000"}, {"", "N nan", "???"}, {"", "V inf", "??? V"},
              {"", "V -1", "-1 V"}, {"", "V -1.5", "-1.5 V"}, {"", "V 1000", "1 kV"}, {"", "V 100.5", "100 V"},
              {"", "V 1", "1 V"}, {"", "V 12.34", "12.3 V"}, {"", "V 0.1234", "123 mV"},
              {"", "V 0.01234", "12.3 mV"}, {"", "T nan", "??? S"}, {"", "T 1", "1 S"},
              {"", "T 12.34", "12.3 S"}, {"", "T 0.1234", "123 mS"}, {"", "T 0.001", "1 mS"},
              {"", "T 0.01234", "12.3 mS"}, {"", "T 0.0001234", "123 uS"}, {"", "T 0.000001", "1 uS"},
              {"", "T 0.00001234", "12.3 uS"}, {"", "T 1.234e-7", "123 nS"}, {"", "T 1.234e-8", "12.3 nS"},
              {"", "P inf", "??? S"}, {"", "P 0", "0 S"}, {"", "P 1", "1 S"}, {"", "P 12.34", "12.3 S"},
              {"", "P 0.12345", "123. mS"}, {"", "P 0.001", "1 mS"}, {"", "P 0.0123456", "12.34 mS"},
              {"", "P 0.000123456", "123. uS"}, {"", "P 0.000001", "1 uS"}, {"", "P 0.0000123456", "12.34 uS"},
              {"", "P 1.23456e-7", "123. nS"}, {"", "P -1", "-1 S"}, {"", "P -12.34", "-12. S"},
              {"", "P -0.12345", "-123 mS"}, {"", "P -0.001", "-1 mS"}, {"", "P -0.0123456", "-12.3 mS"},
              {"", "P -0.000123456", "-123 uS"}, {"", "P -0.000001", "-1 uS"},
              {"", "P -0.0000123456", "-12.3 uS"}, {"", "P -1.23456e-7", "-123 nS"}});
        // clang-format on
    }
    // N: the number's text; V, T, P: as volts, time per division and position, value and unit.
    void texts() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const double x = input.mid(2).toDouble();
        const ReadoutText r =
            std::array{ReadoutText{numberText(x), ""}, voltageReadout(x), timeDivReadout(x),
                       positionReadout(x)}[QString("NVTP").indexOf(input[0])];
        QCOMPARE(r.value + (r.unit.empty() ? "" : " " + r.unit), expected.toStdString());
    }

    void timeStampRunsOnA24HourClock() {
        QCOMPARE(timeStamp({1999, 12, 31, 23, 59, 0}), std::string("1999.12.31  23:59.00"));
    }
};

QTEST_MAIN(PlotTest)
#include "test_plot.moc"
