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

struct Rig {
    ScopeState s;
    RecordingSurface surface;
    RecordingMarkerStrip strip;
    FakeWindowOps window;
    Rig() { initTables(s, rgb(239, 239, 239)); }
    bool zoom(int h, int v) {
        s.magHIdx = h;
        s.magVIdx = v;
        return applyZoom(s, strip, window);
    }
    std::vector<Stroke> ofKind(Stroke::Kind k) const {
        std::vector<Stroke> out;
        std::copy_if(surface.strokes.begin(), surface.strokes.end(), std::back_inserter(out),
                     [k](const Stroke& st) { return st.kind == k; });
        return out;
    }
};

QRgb pixel(const QImage& img, int xTwips, int yTwips) {
    return img.pixel(twipsToPixels(xTwips), twipsToPixels(yTwips)) & 0xFFFFFF;
}

}  // namespace

class GraticuleTest : public QObject {
    Q_OBJECT
  private slots:
    void graticuleAtStartUpZoom() {
        Rig r;
        drawGraticule(r.s, r.surface);
        QCOMPARE(r.surface.strokes.front(), (Stroke{Stroke::Box, 2350, 200, 7350, 5200, 0}));
        QCOMPARE(r.surface.count(Stroke::Box), 1);
        QCOMPARE(r.surface.count(Stroke::Point), 900);
        QCOMPARE(r.surface.count(Stroke::Line), 300);
        QCOMPARE(r.surface.strokes.size(), size_t(1201));

        const auto dots = r.ofKind(Stroke::Point);
        // The first row of dots is row 25: from sample 50 to the right edge, none on the left edge.
        QCOMPARE((std::pair{dots[0].x1, dots[0].y1}), (std::pair{2450, 700}));
        QCOMPARE((std::pair{dots[49].x1, dots[49].y1}), (std::pair{7350, 700}));
        QCOMPARE(dots[50].y1, 1200);  // next row: 50
        // Columns start at sample 250, first dot one grid step below the top edge.
        QCOMPARE((std::pair{dots[450].x1, dots[450].y1}), (std::pair{2850, 300}));
        QCOMPARE((std::pair{dots[499].x1, dots[499].y1}), (std::pair{2850, 5200}));
        for (const auto& d : dots)
            QCOMPARE(d.colour, Rgb(0));

        const auto ticks = r.ofKind(Stroke::Line);
        // Three tick rows hanging two rows down: from rows 0, 124, 248.
        for (int block = 0; block < 3; ++block) {
            const int row = std::array{0, 124, 248}[block];
            QCOMPARE(ticks[block * 50],
                     (Stroke{Stroke::Line, 2450, 200 + row * 20, 2450, 200 + (row + 2) * 20, 0}));
            QCOMPARE(ticks[block * 50 + 49].x1, 7350);
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

        // The screen edges mark rows 25 and 225.
        r.surface.clear();
        drawScreenEdges(r.s, r.surface);
        const Rgb edge = rgb(208, 208, 208);
        QCOMPARE(r.surface.strokes,
                 (std::vector<Stroke>{{Stroke::Line, 2350, 700, 7350, 700, edge},
                                      {Stroke::Line, 2350, 4700, 7350, 4700, edge}}));
    }

    void eraseCoversTheOldExtentAfterZoomingOut() {
        Rig r;
        r.zoom(9, 3);
        r.s.drawnMagH = r.s.magH;  // as a composition leaves it
        r.s.drawnMagV = r.s.magV;
        r.zoom(0, 0);
        erasePlot(r.s, r.surface, r.strip);
        const Rgb back = r.s.formBackColor;
        QCOMPARE(r.surface.strokes,
                 (std::vector<Stroke>{{Stroke::FilledBox, 0, 0, 27650, 10500, back},
                                      {Stroke::FilledBox, 0, 0, 5150, 3000, back}}));
        QCOMPARE(r.strip.log.back(), std::string("cls"));
    }

    // Every zoom: the window and marker strip sizes, and the dot spacing of the grid.
    void applyZoomForEveryIndexPair() {
        const int panels[] = {2765, 5295, 7825, 10355};
        const int heights[] = {6360, 6360, 8860, 11360};
        for (int h = 0; h < 10; ++h) {
            for (int v = 0; v < 4; ++v) {
                Rig r;
                QVERIFY(r.zoom(h, v));
                QCOMPARE((std::tuple{r.s.magH, r.s.magV}), (std::tuple{h + 1, 10 * (v + 1)}));
                QCOMPARE(r.strip.height, panels[v]);
                const int width = h <= 1 ? 7695 : 7695 + 2500 * (h - 1);
                QCOMPARE(r.window.windowSize, (std::pair{width, heights[v]}));
                // The drawn extent is only moved by a composition, never by the zoom.
                QCOMPARE(r.s.drawnMagH, 2);
                // Grid dots 50 samples apart, the last on the right edge.
                drawGridRow(r.s, r.surface, 25);
                QCOMPARE(r.surface.strokes.size(), size_t(50));
                QCOMPARE(r.surface.strokes[1].x1 - r.surface.strokes[0].x1, 50 * (h + 1));
                QCOMPARE(r.surface.strokes.back().x1, 2350 + 2500 * (h + 1));
            }
        }
        // Indexes outside the tables are refused and change nothing.
        Rig r;
        QVERIFY(!r.zoom(10, 1));
        QVERIFY(!r.zoom(1, -1));
        QCOMPARE((std::tuple{r.s.magH, r.s.magV}), (std::tuple{2, 20}));
        QVERIFY(r.window.log.empty());
        QVERIFY(r.strip.log.empty());
    }

    void graticuleRasterisesAtFifteenTwipsPerPixel() {
        Rig r;
        const QRgb back = qRgb(239, 239, 239) & 0xFFFFFF;
        ImageSurface surface(600, 400, r.s.formBackColor);
        drawScreenEdges(r.s, surface);
        drawGraticule(r.s, surface);
        const QImage& img = surface.image();
        // Box corners and edges.
        QCOMPARE(pixel(img, 2350, 200), QRgb(0));
        QCOMPARE(pixel(img, 7350, 5200), QRgb(0));
        QCOMPARE(pixel(img, 4000, 200), QRgb(0));
        QCOMPARE(pixel(img, 2350, 3000), QRgb(0));
        // A dot of row 50 and the blank between two dots.
        QCOMPARE(pixel(img, 2450, 1200), QRgb(0));
        QCOMPARE(pixel(img, 2500, 1200), back);
        // A tick hanging from the centre line (rows 124..126) at sample 100.
        QCOMPARE(pixel(img, 2550, 200 + 124 * 20), QRgb(0));
        QCOMPARE(pixel(img, 2550, 200 + 126 * 20), QRgb(0));
        // The screen-edge line between its dots.
        QCOMPARE(pixel(img, 2500, 700), qRgb(208, 208, 208) & 0xFFFFFF);
        // Outside the box nothing is drawn.
        QCOMPARE(pixel(img, 8000, 3000), back);
    }
};

QTEST_GUILESS_MAIN(GraticuleTest)
#include "test_graticule.moc"
