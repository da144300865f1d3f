// The plot layer's parts: the off-screen images, zoom, traces, position markers and the
// readout's number texts, each at its edges, checked by the pixels drawn. The composed picture is
// checked whole in the window's tests.
#include <QtTest>
#include <clocale>
#include <memory>
#include <tuple>

#include "plot/composition.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "plot/markers.h"
#include "plot/number_text.h"
#include "plot/traces.h"
#include "support/case_table.h"
#include "support/fake_window_ops.h"
#include "support/golden.h"
#include "support/qtest_strings.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

constexpr Rgb kBack = rgb(240, 240, 240), kInk = rgb(255, 0, 0);

// Pixels other than the background as "count in left,top..right,bottom", then their colours.
std::string drawn(const QImage& img) {
    int count = 0;
    QRect all;
    QList<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (const QRgb c = img.pixel(x, y);
                c != qRgb(redOf(kBack), greenOf(kBack), blueOf(kBack)))
                ++count, all |= QRect(x, y, 1, 1), colours.contains(c) || (colours << c, true);
    QString text = count ? QString::asprintf("%d in %d,%d..%d,%d", count, all.left(), all.top(),
                                             all.right(), all.bottom())
                         : "";
    for (QRgb c : colours)
        text += QString::asprintf(" %d,%d,%d", qRed(c), qGreen(c), qBlue(c));
    return text.toStdString();
}

QFont stripFont() {
    QFont font;
    font.setPixelSize(12);
    return font;
}

struct Plot {
    ScopeState s;
    ImageSurface image{520, 400, kBack};
    ImageMarkerStrip strip{40, 400, kBack, stripFont()};
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
};

}  // namespace

class PlotTest : public QObject {
    Q_OBJECT
  private slots:
    // Drawing calls on a 12 x 8 pixel image, at 2 device pixels per pixel after "x2".
    void imageSurface_data() { test::addCaseRows("plot-image", {"input", "expected"}); }
    void imageSurface() {
        auto [input, expected] = caseFields("input", "expected");
        Plot p;
        const bool x2 = input.startsWith("x2 ");
        ImageSurface surface(12, 8, kBack, x2 ? 2 : 1);
        int changes = 0;
        surface.setListener([&] { ++changes, surface.shown(); });
        p.run(surface, input.mid(x2 ? 3 : 0));
        QCOMPARE(drawn(surface.image()), expected.toStdString());
        QCOMPARE(surface.image().devicePixelRatio(), x2 ? 2.0 : 1.0);
        QCOMPARE(changes, input.count(';') + 1);  // the viewer hears of every drawing call
    }

    // The viewer hears of every change; cls wipes the strip and starts again at the top.
    void markerStrip() {
        const int line = QFontMetrics(stripFont()).height();
        ImageMarkerStrip a(40, 3 * line, kBack, stripFont()), b(40, 3 * line, kBack, stripFont());
        int changes = 0;
        a.setListener([&] { ++changes, a.shown(); });
        a.setHeight(5295), a.setForeColor(kInk), b.setForeColor(kInk);
        a.setCurrentPoint(0, 2 * line * kTwipsPerPixel);
        a.printNumber(7), a.cls();
        a.printNumber(0), a.printNumber(-1);
        b.printNumber(0), b.setCurrentPoint(0, line * kTwipsPerPixel), b.printNumber(-1);
        QCOMPARE(a.image(), b.image());
        QCOMPARE(QList<int>({a.heightTwips(), changes}), QList<int>({5295, 5}));
    }

    // What a trace or a marker draws on the plot, then on the marker strip after a "|".
    void strokes_data() { test::addCaseRows("plot-strokes", {"input", "expected"}); }
    void strokes() {
        auto [input, expected] = caseFields("input", "expected");
        Plot p;
        p.run(p.image, input);
        const std::string strip = drawn(p.strip.image());
        QCOMPARE(drawn(p.image.image()) + (strip.empty() ? "" : "|" + strip),
                 expected.toStdString());
    }

    // N: the number's text; V, T, P: as volts, time per division and position, value and unit.
    // Every time base the instrument has, 2.5 ns to 50 s per division, shown with its unit.
    void everyTimeBase_data() { test::addCaseRows("plot-time-bases", {"reply", "shown"}); }
    void everyTimeBase() {
        auto [reply, shown] = test::caseFields("reply", "shown");
        const ReadoutText r = timeDivReadout(std::strtod(reply.constData(), nullptr));
        QCOMPARE(QByteArray::fromStdString(r.value + " " + r.unit), shown);
    }

    void texts_data() { test::addCaseRows("plot-texts", {"input", "expected"}); }
    void texts() {
        auto [input, expected] = caseFields("input", "expected");
        const double x = input.mid(2).toDouble();
        const ReadoutText r =
            std::array{ReadoutText{numberText(x), ""}, voltageReadout(x), timeDivReadout(x),
                       positionReadout(x)}[QByteArray("NVTP").indexOf(input[0])];
        QCOMPARE(r.value + (r.unit.empty() ? "" : " " + r.unit), expected.toStdString());
    }

    void timeStampRunsOnA24HourClock() {
        QCOMPARE(timeStamp({1999, 12, 31, 23, 59, 0}), std::string("1999.12.31  23:59.00"));
    }
};

QTEST_MAIN(PlotTest)
#include "test_plot.moc"
