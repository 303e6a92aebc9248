// A supersampled paint surface: shapes are filled per sample and the samples
// are averaged into pixels, which gives every edge and letter its smoothing.
#pragma once

#include "art/pictures.h"

#include <cstdint>
#include <vector>

namespace art::draw {

struct Rgb {
    float r = 0, g = 0, b = 0; // 0..255
};

constexpr Rgb Hex(std::uint32_t rgb) {
    return {static_cast<float>((rgb >> 16) & 0xFF), static_cast<float>((rgb >> 8) & 0xFF),
            static_cast<float>(rgb & 0xFF)};
}
Rgb Mix(Rgb a, Rgb b, float t); // t = 0: a, t = 1: b
inline Rgb Tint(Rgb c, float t) {
    return Mix(c, {255, 255, 255}, t);
}
inline Rgb Shade(Rgb c, float t) {
    return Mix(c, {0, 0, 0}, t);
}
// Opaque 0xAARRGGBB, each channel rounded and held to 0..255.
inline std::uint32_t Pack(Rgb c) {
    const auto channel = [](float v) {
        return static_cast<std::uint32_t>((v < 0 ? 0 : v > 255 ? 255 : v) + 0.5f);
    };
    return 0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

struct Point {
    float x = 0, y = 0;
};

// A stroke segment with round ends: the building block of lines and letters.
// A sweep drags it along a vector, filling everything it passes: a solid
// extruded shadow in one piece.
struct Capsule {
    Point a, b;
    float radius = 1;
    Point sweep{0, 0};
};

class Paint {
public:
    static Paint Solid(Rgb c, float alpha = 1);
    static Paint Linear(Point from, Rgb c0, Point to, Rgb c1, float alpha = 1);
    static Paint Radial(Point centre, float radius, Rgb inner, Rgb outer, float alpha = 1);

    Rgb At(float x, float y) const;
    float Alpha() const { return alpha_; }
    // The packed colour of a solid, opaque paint; 0 for any other.
    std::uint32_t Flat() const { return flat_; }

private:
    enum class Kind : std::uint8_t { Solid, Linear, Radial };
    Kind kind_ = Kind::Solid;
    Rgb c0_, c1_;
    Point p0_, p1_;
    float scale_ = 0; // 1 / |p1 - p0|^2 for Linear, 1 / radius for Radial
    float alpha_ = 1;
    std::uint32_t flat_ = 0;
};

// Covers the pixels [left, left + width) x [top, top + height) of a larger
// picture, so that any part of a scene can be painted on its own and come out
// exactly as in the whole. All coordinates are those of the whole picture.
class Canvas {
public:
    Canvas(int left, int top, int width, int height, Rgb ground, int samples = 4);

    void FillRect(float x0, float y0, float x1, float y1, const Paint& paint);
    void FillRoundRect(float x0, float y0, float x1, float y1, float radius, const Paint& paint);
    void FillEllipse(float cx, float cy, float rx, float ry, const Paint& paint);
    void FillCircle(float cx, float cy, float r, const Paint& paint) {
        FillEllipse(cx, cy, r, r, paint);
    }
    // Even-odd rule.
    void FillPolygon(const std::vector<Point>& ring, const Paint& paint);
    // The union of the capsules, each sample painted once.
    void FillCapsules(const std::vector<Capsule>& capsules, const Paint& paint);
    void StrokePolyline(const std::vector<Point>& points, float radius, const Paint& paint,
                        bool closed = false);

    // Shapes are painted only inside the clip rectangle (picture coordinates).
    void SetClip(float x0, float y0, float x1, float y1);
    void ResetClip();

    Picture Resolve() const;

private:
    struct Span {
        int x0, x1, y0, y1; // sample indices, half-open
    };
    Span SpanOf(float x0, float y0, float x1, float y1) const;
    float SampleX(int i) const { return left_ + (static_cast<float>(i) + 0.5f) * step_; }
    float SampleY(int j) const { return top_ + (static_cast<float>(j) + 0.5f) * step_; }
    void Put(int i, int j, const Paint& paint);
    template <class Inside>
    void FillWhere(float x0, float y0, float x1, float y1, const Paint& paint, Inside inside);

    int left_, top_, width_, height_, ss_;
    float step_;  // pixels per sample
    int sw_, sh_; // samples across and down
    std::vector<std::uint32_t> samples_;
    float clip_[4];
};

} // namespace art::draw
