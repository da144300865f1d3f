#include <QtTest>
#include <algorithm>

#include "model/scope_state.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "support/fake_window_ops.h"
#include "support/recording_surface.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

ScopeState startUpState() {
    ScopeState s;
    initTables(s, rgb(239, 239, 239));
    return s;
}

std::vector<Stroke> ofKind(const std::vector<Stroke>& all, Stroke::Kind k) {
    std::vector<Stroke> out;
    std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                 [k](const Stroke& s) { return s.kind == k; });
    return out;
}

QRgb pixel(const QImage& img, int xTwips, int yTwips) {
    return img.pixel(twipsToPixels(xTwips), twipsToPixels(yTwips)) & 0xFFFFFF;
}

}  // namespace

class GraticuleTest : public QObject {
    Q_OBJECT
  private slots:
    void graticuleAtStartUpZoom() {
        ScopeState s = startUpState();
        RecordingSurface surface;
        drawGraticule(s, surface);

        QCOMPARE(surface.strokes.front(), (Stroke{Stroke::Box, 2350, 200, 7350, 5200, 0}));
        QCOMPARE(surface.count(Stroke::Box), 1);
        QCOMPARE(surface.count(Stroke::Point), 900);
        QCOMPARE(surface.count(Stroke::Line), 300);
        QCOMPARE(surface.strokes.size(), size_t(1201));

        const auto dots = ofKind(surface.strokes, Stroke::Point);
        // The first row of dots is row 25: from sample 50 to the right edge, none on the left edge.
        QCOMPARE((std::pair{dots[0].x1, dots[0].y1}), (std::pair{2450, 700}));
        QCOMPARE((std::pair{dots[49].x1, dots[49].y1}), (std::pair{7350, 700}));
        QCOMPARE(dots[50].y1, 1200);  // next row: 50
        // Columns start at sample 250, first dot one grid step below the top edge.
        QCOMPARE((std::pair{dots[450].x1, dots[450].y1}), (std::pair{2850, 300}));
        QCOMPARE((std::pair{dots[499].x1, dots[499].y1}), (std::pair{2850, 5200}));
        for (const auto& d : dots)
            QCOMPARE(d.colour, Rgb(0));

        const auto ticks = ofKind(surface.strokes, Stroke::Line);
        // Three tick rows hanging two rows down: from rows 0, 124, 248.
        for (int block = 0; block < 3; ++block) {
            const int row = std::array{0, 124, 248}[block];
            const Stroke& first = ticks[block * 50];
            const Stroke& last = ticks[block * 50 + 49];
            QCOMPARE(first,
                     (Stroke{Stroke::Line, 2450, 200 + row * 20, 2450, 200 + (row + 2) * 20, 0}));
            QCOMPARE(last.x1, 7350);
        }
        // Three tick columns, the middle one off centre: samples 1241..1261.
        const std::array<std::pair<int, int>, 3> cols{{{0, 20}, {1241, 1261}, {2481, 2500}}};
        for (int block = 0; block < 3; ++block) {
            const Stroke& first = ticks[150 + block * 50];
            QCOMPARE(first.x1, 2350 + cols[block].first * 2);
            QCOMPARE(first.x2, 2350 + cols[block].second * 2);
            QCOMPARE(first.y1, 300);
            QCOMPARE(ticks[150 + block * 50 + 49].y1, 5200);
        }
    }

    void dotSpacingFollowsTheHorizontalZoom_data() {
        QTest::addColumn<int>("magHIdx");
        QTest::addColumn<int>("spacing");
        QTest::newRow("H x1") << 0 << 50;
        QTest::newRow("H x2") << 1 << 100;
        QTest::newRow("H x10") << 9 << 500;
    }
    void dotSpacingFollowsTheHorizontalZoom() {
        QFETCH(int, magHIdx);
        QFETCH(int, spacing);
        ScopeState s = startUpState();
        RecordingMarkerStrip strip;
        FakeWindowOps window;
        s.magHIdx = magHIdx;
        QVERIFY(applyZoom(s, strip, window));
        RecordingSurface surface;
        drawGridRow(s, surface, 25);
        QCOMPARE(surface.strokes.size(), size_t(50));
        QCOMPARE(surface.strokes[1].x1 - surface.strokes[0].x1, spacing);
        QCOMPARE(surface.strokes.back().x1, 2350 + 2500 * (magHIdx + 1));
    }

    void screenEdgesMarkRows25And225() {
        ScopeState s = startUpState();
        RecordingSurface surface;
        drawScreenEdges(s, surface);
        QCOMPARE(surface.strokes.size(), size_t(2));
        QCOMPARE(surface.strokes[0],
                 (Stroke{Stroke::Line, 2350, 700, 7350, 700, rgb(208, 208, 208)}));
        QCOMPARE(surface.strokes[1],
                 (Stroke{Stroke::Line, 2350, 4700, 7350, 4700, rgb(208, 208, 208)}));
    }

    void eraseCoversTheOldExtentAfterZoomingOut() {
        ScopeState s = startUpState();
        RecordingSurface surface;
        RecordingMarkerStrip strip;
        FakeWindowOps window;
        s.magHIdx = 9;
        s.magVIdx = 3;
        applyZoom(s, strip, window);
        s.drawnMagH = s.magH;  // as a composition leaves it
        s.drawnMagV = s.magV;
        s.magHIdx = 0;
        s.magVIdx = 0;
        applyZoom(s, strip, window);
        erasePlot(s, surface, strip);
        QCOMPARE(surface.strokes.size(), size_t(2));
        QCOMPARE(surface.strokes[0],
                 (Stroke{Stroke::FilledBox, 0, 0, 27650, 10500, s.formBackColor}));
        QCOMPARE(surface.strokes[1],
                 (Stroke{Stroke::FilledBox, 0, 0, 5150, 3000, s.formBackColor}));
        QCOMPARE(strip.log.back(), std::string("cls"));
    }

    void applyZoomForEveryIndexPair() {
        for (int h = 0; h < 10; ++h) {
            for (int v = 0; v < 4; ++v) {
                ScopeState s = startUpState();
                RecordingMarkerStrip strip;
                FakeWindowOps window;
                s.magHIdx = h;
                s.magVIdx = v;
                QVERIFY(applyZoom(s, strip, window));
                QCOMPARE(s.magH, h + 1);
                QCOMPARE(s.magV, 10 * (v + 1));
                const int panels[] = {2765, 5295, 7825, 10355};
                const int heights[] = {6360, 6360, 8860, 11360};
                QCOMPARE(strip.height, panels[v]);
                const int width = h <= 1 ? 7695 : 7695 + 2500 * (h - 1);
                const int height = heights[v];
                QCOMPARE(window.windowSize, (std::pair{width, height}));
                // The drawn extent is only moved by a composition, never by the zoom.
                QCOMPARE(s.drawnMagH, 2);
            }
        }
    }

    void applyZoomRefusesIndexesOutsideTheTables() {
        ScopeState s = startUpState();
        RecordingMarkerStrip strip;
        FakeWindowOps window;
        s.magHIdx = 10;
        QVERIFY(!applyZoom(s, strip, window));
        s.magHIdx = 1;
        s.magVIdx = -1;
        QVERIFY(!applyZoom(s, strip, window));
        QCOMPARE(s.magH, 2);
        QCOMPARE(s.magV, 20);
        QVERIFY(window.log.empty());
        QVERIFY(strip.log.empty());
    }

    void graticuleRasterisesAtFifteenTwipsPerPixel() {
        ScopeState s = startUpState();
        const Rgb back = rgb(239, 239, 239);
        ImageSurface surface(600, 400, back);
        drawScreenEdges(s, surface);
        drawGraticule(s, surface);
        const QImage& img = surface.image();
        // Box corners and edges.
        QCOMPARE(pixel(img, 2350, 200), QRgb(0));
        QCOMPARE(pixel(img, 7350, 5200), QRgb(0));
        QCOMPARE(pixel(img, 4000, 200), QRgb(0));
        QCOMPARE(pixel(img, 2350, 3000), QRgb(0));
        // A dot of row 50 and the blank between two dots.
        QCOMPARE(pixel(img, 2450, 1200), QRgb(0));
        QCOMPARE(pixel(img, 2500, 1200), qRgb(239, 239, 239) & 0xFFFFFF);
        // A tick hanging from the centre line (rows 124..126) at sample 100.
        QCOMPARE(pixel(img, 2550, 200 + 124 * 20), QRgb(0));
        QCOMPARE(pixel(img, 2550, 200 + 126 * 20), QRgb(0));
        // The screen-edge line between its dots.
        QCOMPARE(pixel(img, 2500, 700), qRgb(208, 208, 208) & 0xFFFFFF);
        // Outside the box nothing is drawn.
        QCOMPARE(pixel(img, 8000, 3000), qRgb(239, 239, 239) & 0xFFFFFF);
    }
};

QTEST_GUILESS_MAIN(GraticuleTest)
#include "test_graticule.moc"
