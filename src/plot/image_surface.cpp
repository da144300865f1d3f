#include "plot/image_surface.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace curvalon {

namespace {

QRgb toQRgb(Rgb c) {
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

QImage blankImage(int widthPixels, int heightPixels, Rgb background, qreal ratio) {
    QImage image(qCeil(widthPixels * ratio), qCeil(heightPixels * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(toQRgb(background));
    return image;
}

}  // namespace

ImageSurface::ImageSurface(int widthPixels, int heightPixels, Rgb background, qreal ratio)
    : image_(blankImage(widthPixels, heightPixels, background, ratio)),
      ratio_(ratio),
      pen_(std::max(1, qRound(ratio))) {}

// Rounding toward minus infinity, so that negative twips stay left and above.
int ImageSurface::toDevice(std::int32_t twips) const {
    if (ratio_ == 1) return twipsToPixels(twips);
    return static_cast<int>(std::floor(twips * ratio_ / kTwipsPerPixel));
}

// One pen's width of pixels, right and down from the point.
void ImageSurface::plot(int px, int py, QRgb c) {
    for (int y = std::max(py, 0); y < std::min(py + pen_, image_.height()); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = std::max(px, 0); x < std::min(px + pen_, image_.width()); ++x)
            row[x] = c;
    }
}

// Bresenham with both end pixels set, so a line is exactly one pixel wide and joins its
// neighbours in a polyline without gaps.
void ImageSurface::rasterLine(int x1, int y1, int x2, int y2, QRgb c) {
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plot(x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void ImageSurface::fillPixels(int left, int top, int right, int bottom, QRgb c) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image_.width() - 1);
    bottom = std::min(bottom, image_.height() - 1);
    for (int y = top; y <= bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(row + left, row + right + 1, c);
    }
}

void ImageSurface::line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c) {
    rasterLine(toDevice(x1), toDevice(y1), toDevice(x2), toDevice(y2), toQRgb(c));
    current_ = {x2, y2};
    changed();
}

void ImageSurface::lineTo(std::int32_t x, std::int32_t y, Rgb c) {
    line(current_.x, current_.y, x, y, c);
}

void ImageSurface::box(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c,
                       bool filled) {
    const int l = toDevice(std::min(x1, x2));
    const int r = toDevice(std::max(x1, x2));
    const int t = toDevice(std::min(y1, y2));
    const int b = toDevice(std::max(y1, y2));
    const QRgb q = toQRgb(c);
    if (filled) {
        fillPixels(l, t, r + pen_ - 1, b + pen_ - 1, q);
    } else {
        rasterLine(l, t, r, t, q);
        rasterLine(r, t, r, b, q);
        rasterLine(r, b, l, b, q);
        rasterLine(l, b, l, t, q);
    }
    current_ = {x2, y2};
    changed();
}

void ImageSurface::pset(std::int32_t x, std::int32_t y, Rgb c) {
    plot(toDevice(x), toDevice(y), toQRgb(c));
    current_ = {x, y};
    changed();
}

ImageMarkerStrip::ImageMarkerStrip(int widthPixels, int maxHeightPixels, Rgb background, QFont font,
                                   qreal ratio)
    : image_(blankImage(widthPixels, maxHeightPixels, background, ratio)),
      font_(std::move(font)),
      background_(background) {
    // Unsmoothed glyphs: the digits must be in the channel's exact colour like every other mark
    // (a painter's render hint alone does not stop a font from smoothing).
    font_.setStyleStrategy(QFont::NoAntialias);
}

void ImageMarkerStrip::cls() {
    image_.fill(toQRgb(background_));
    current_ = {0, 0};
    changed();
}

void ImageMarkerStrip::printNumber(std::int32_t n) {
    // A number prints with its sign place: a blank for zero and above.
    const QString text = (n >= 0 ? QStringLiteral(" ") : QString()) + QString::number(n);
    QPainter p(&image_);
    p.setFont(font_);
    p.setPen(QColor(toQRgb(fore_)));
    const QFontMetrics metrics(font_);
    const int x = twipsToPixels(current_.x);
    const int top = twipsToPixels(current_.y);
    p.drawText(x, top + metrics.ascent(), text);
    current_.y += metrics.height() * kTwipsPerPixel;
    changed();
}

void ImageMarkerStrip::setHeight(std::int32_t heightTwips) {
    heightTwips_ = heightTwips;
    changed();
}

}  // namespace curvalon
