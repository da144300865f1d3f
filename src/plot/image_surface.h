// The real drawing targets: off-screen images at 15 twips per logical pixel, drawn with lines one
// logical pixel wide and no antialiasing, so that a window can show them again whenever it is
// uncovered. On a high-density screen they hold the screen's device pixels, so that traces are
// placed as finely as the screen allows and look as sharp as its text.
#pragma once

#include <QFont>
#include <QImage>
#include <functional>

#include "plot/surface.h"

namespace curvalon {

constexpr int kTwipsPerPixel = 15;

// Twips to pixels, rounding toward minus infinity so that negative twips stay left and above.
constexpr int twipsToPixels(std::int32_t twips) {
    return twips >= 0 ? twips / kTwipsPerPixel : -((-twips + kTwipsPerPixel - 1) / kTwipsPerPixel);
}

// An off-screen picture with one viewer, whose listener is called once each time the picture
// changes after it was last shown.
class OffscreenImage {
  public:
    virtual ~OffscreenImage() = default;
    virtual const QImage& image() const = 0;
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }
    void shown() { pending_ = false; }

  protected:
    void changed() {
        if (pending_) return;
        pending_ = true;
        if (listener_) listener_();
    }

  private:
    std::function<void()> listener_;
    bool pending_ = false;
};

class ImageSurface : public DrawingSurface, public OffscreenImage {
  public:
    // Sizes in logical pixels; ratio is the screen's device pixels per logical pixel.
    ImageSurface(int widthPixels, int heightPixels, Rgb background, qreal ratio = 1);

    void line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c) override;
    void lineTo(std::int32_t x, std::int32_t y, Rgb c) override;
    void box(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c,
             bool filled) override;
    void pset(std::int32_t x, std::int32_t y, Rgb c) override;
    void setCurrentPoint(std::int32_t x, std::int32_t y) override { current_ = {x, y}; }
    TwipPoint currentPoint() const override { return current_; }

    const QImage& image() const override { return image_; }

  private:
    int toDevice(std::int32_t twips) const;
    void plot(int px, int py, QRgb c);
    void rasterLine(int px1, int py1, int px2, int py2, QRgb c);
    void fillPixels(int left, int top, int right, int bottom, QRgb c);

    QImage image_;
    qreal ratio_;
    int pen_;  // device pixels across one logical pixel
    TwipPoint current_;
};

class ImageMarkerStrip : public MarkerStrip, public OffscreenImage {
  public:
    ImageMarkerStrip(int widthPixels, int maxHeightPixels, Rgb background, QFont font,
                     qreal ratio = 1);

    void cls() override;
    void setForeColor(Rgb c) override { fore_ = c; }
    void setCurrentPoint(std::int32_t x, std::int32_t y) override { current_ = {x, y}; }
    void printNumber(std::int32_t n) override;
    void setHeight(std::int32_t heightTwips) override;

    const QImage& image() const override { return image_; }
    std::int32_t heightTwips() const { return heightTwips_; }

  private:
    QImage image_;
    QFont font_;
    Rgb background_;
    Rgb fore_ = 0;
    TwipPoint current_;
    std::int32_t heightTwips_ = 0;
};

}  // namespace curvalon
