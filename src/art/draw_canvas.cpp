#include "art/draw_canvas.h"

#include <algorithm>
#include <cmath>

namespace art::draw {

Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

namespace {

// Squared distance from p to the segment from the origin to d.
float SegmentDistance2(float px, float py, float dx, float dy) {
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0;
    const float ex = px - t * dx, ey = py - t * dy;
    return ex * ex + ey * ey;
}

} // namespace

Paint Paint::Solid(Rgb c, float alpha) {
    Paint p;
    p.c0_ = c;
    p.alpha_ = alpha;
    p.flat_ = alpha >= 1 ? Pack(c) : 0;
    return p;
}

Paint Paint::Linear(Point from, Rgb c0, Point to, Rgb c1, float alpha) {
    Paint p;
    p.kind_ = Kind::Linear;
    p.c0_ = c0;
    p.c1_ = c1;
    p.p0_ = from;
    p.p1_ = {to.x - from.x, to.y - from.y};
    const float len2 = p.p1_.x * p.p1_.x + p.p1_.y * p.p1_.y;
    p.scale_ = len2 > 0 ? 1 / len2 : 0;
    p.alpha_ = alpha;
    return p;
}

Paint Paint::Radial(Point centre, float radius, Rgb inner, Rgb outer, float alpha) {
    Paint p;
    p.kind_ = Kind::Radial;
    p.c0_ = inner;
    p.c1_ = outer;
    p.p0_ = centre;
    p.scale_ = radius > 0 ? 1 / radius : 0;
    p.alpha_ = alpha;
    return p;
}

Rgb Paint::At(float x, float y) const {
    switch (kind_) {
    case Kind::Solid:
        return c0_;
    case Kind::Linear: {
        const float t = ((x - p0_.x) * p1_.x + (y - p0_.y) * p1_.y) * scale_;
        return Mix(c0_, c1_, std::clamp(t, 0.0f, 1.0f));
    }
    case Kind::Radial: {
        const float t = std::hypot(x - p0_.x, y - p0_.y) * scale_;
        return Mix(c0_, c1_, std::clamp(t, 0.0f, 1.0f));
    }
    }
    return c0_;
}

Canvas::Canvas(int left, int top, int width, int height, Rgb ground, int samples)
    : left_(left), top_(top), width_(width), height_(height), ss_(samples),
      step_(1.0f / static_cast<float>(samples)), sw_(width * samples), sh_(height * samples),
      samples_(static_cast<std::size_t>(sw_) * static_cast<std::size_t>(sh_), Pack(ground)) {
    ResetClip();
}

void Canvas::SetClip(float x0, float y0, float x1, float y1) {
    clip_[0] = x0;
    clip_[1] = y0;
    clip_[2] = x1;
    clip_[3] = y1;
}

void Canvas::ResetClip() {
    SetClip(static_cast<float>(left_), static_cast<float>(top_), static_cast<float>(left_ + width_),
            static_cast<float>(top_ + height_));
}

// The samples whose centres lie in [x0, x1) x [y0, y1), within the clip.
Canvas::Span Canvas::SpanOf(float x0, float y0, float x1, float y1) const {
    x0 = std::max(x0, clip_[0]);
    y0 = std::max(y0, clip_[1]);
    x1 = std::min(x1, clip_[2]);
    y1 = std::min(y1, clip_[3]);
    const auto first = [this](float v, int origin, int limit) {
        const float s = (v - static_cast<float>(origin)) * static_cast<float>(ss_) - 0.5f;
        return std::clamp(static_cast<int>(std::ceil(s)), 0, limit);
    };
    return {first(x0, left_, sw_), first(x1, left_, sw_), first(y0, top_, sh_),
            first(y1, top_, sh_)};
}

void Canvas::Put(int i, int j, const Paint& paint) {
    std::uint32_t& s = samples_[static_cast<std::size_t>(j) * static_cast<std::size_t>(sw_) +
                                static_cast<std::size_t>(i)];
    if (paint.Flat() != 0) {
        s = paint.Flat();
        return;
    }
    Rgb c = paint.At(SampleX(i), SampleY(j));
    if (paint.Alpha() < 1) {
        const Rgb under = Hex(s);
        c = Mix(under, c, paint.Alpha());
    }
    s = Pack(c);
}

template <class Inside>
void Canvas::FillWhere(float x0, float y0, float x1, float y1, const Paint& paint, Inside inside) {
    const Span sp = SpanOf(x0, y0, x1, y1);
    for (int j = sp.y0; j < sp.y1; ++j) {
        const float y = SampleY(j);
        for (int i = sp.x0; i < sp.x1; ++i)
            if (inside(SampleX(i), y))
                Put(i, j, paint);
    }
}

void Canvas::FillRect(float x0, float y0, float x1, float y1, const Paint& paint) {
    FillWhere(x0, y0, x1, y1, paint, [](float, float) { return true; });
}

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float radius,
                           const Paint& paint) {
    const float r = std::min({radius, (x1 - x0) / 2, (y1 - y0) / 2});
    FillWhere(x0, y0, x1, y1, paint, [=](float x, float y) {
        const float dx = std::max({x0 + r - x, x - (x1 - r), 0.0f});
        const float dy = std::max({y0 + r - y, y - (y1 - r), 0.0f});
        return dx * dx + dy * dy <= r * r;
    });
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, const Paint& paint) {
    if (rx <= 0 || ry <= 0)
        return;
    FillWhere(cx - rx, cy - ry, cx + rx, cy + ry, paint, [=](float x, float y) {
        const float u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1;
    });
}

void Canvas::FillPolygon(const std::vector<Point>& ring, const Paint& paint) {
    if (ring.size() < 3)
        return;
    float x0 = ring[0].x, y0 = ring[0].y, x1 = ring[0].x, y1 = ring[0].y;
    for (const Point& p : ring) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    const Span sp = SpanOf(x0, y0, x1, y1);
    std::vector<float> cuts;
    for (int j = sp.y0; j < sp.y1; ++j) {
        const float y = SampleY(j);
        cuts.clear();
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const Point& a = ring[k];
            const Point& b = ring[(k + 1) % ring.size()];
            if ((a.y <= y) != (b.y <= y))
                cuts.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(cuts.begin(), cuts.end());
        for (std::size_t k = 0; k + 1 < cuts.size(); k += 2) {
            const Span row = SpanOf(cuts[k], y0, cuts[k + 1], y1);
            for (int i = row.x0; i < row.x1; ++i)
                Put(i, j, paint);
        }
    }
}

void Canvas::FillCapsules(const std::vector<Capsule>& capsules, const Paint& paint) {
    if (capsules.empty())
        return;
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Capsule& c : capsules) {
        const float sx = c.sweep.x, sy = c.sweep.y;
        x0 = std::min(
            {x0, c.a.x - c.radius, c.b.x - c.radius, c.a.x + sx - c.radius, c.b.x + sx - c.radius});
        y0 = std::min(
            {y0, c.a.y - c.radius, c.b.y - c.radius, c.a.y + sy - c.radius, c.b.y + sy - c.radius});
        x1 = std::max(
            {x1, c.a.x + c.radius, c.b.x + c.radius, c.a.x + sx + c.radius, c.b.x + sx + c.radius});
        y1 = std::max(
            {y1, c.a.y + c.radius, c.b.y + c.radius, c.a.y + sy + c.radius, c.b.y + sy + c.radius});
    }
    // Mark first, paint after: overlapping strokes must not blend twice.
    const Span all = SpanOf(x0, y0, x1, y1);
    const int mw = all.x1 - all.x0, mh = all.y1 - all.y0;
    if (mw <= 0 || mh <= 0)
        return;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(mw) * static_cast<std::size_t>(mh));
    for (const Capsule& c : capsules) {
        const float sx = c.sweep.x, sy = c.sweep.y;
        const Span sp = SpanOf(std::min({c.a.x, c.b.x, c.a.x + sx, c.b.x + sx}) - c.radius,
                               std::min({c.a.y, c.b.y, c.a.y + sy, c.b.y + sy}) - c.radius,
                               std::max({c.a.x, c.b.x, c.a.x + sx, c.b.x + sx}) + c.radius,
                               std::max({c.a.y, c.b.y, c.a.y + sy, c.b.y + sy}) + c.radius);
        const float dx = c.b.x - c.a.x, dy = c.b.y - c.a.y;
        const float r2 = c.radius * c.radius;
        const bool swept = sx != 0 || sy != 0;
        // Within the parallelogram a + s (b - a) + t sweep, s and t in [0, 1].
        const float det = dx * sy - dy * sx;
        for (int j = sp.y0; j < sp.y1; ++j) {
            const float py = SampleY(j) - c.a.y;
            std::uint8_t* row =
                &mask[static_cast<std::size_t>(j - all.y0) * static_cast<std::size_t>(mw)] - all.x0;
            for (int i = sp.x0; i < sp.x1; ++i) {
                if (row[i])
                    continue;
                const float px = SampleX(i) - c.a.x;
                bool in = SegmentDistance2(px, py, dx, dy) <= r2;
                if (!in && swept) {
                    if (det != 0) {
                        const float s = (px * sy - py * sx) / det;
                        const float t = (dx * py - dy * px) / det;
                        in = s >= 0 && s <= 1 && t >= 0 && t <= 1;
                    }
                    in = in || SegmentDistance2(px - sx, py - sy, dx, dy) <= r2 ||
                         SegmentDistance2(px, py, sx, sy) <= r2 ||
                         SegmentDistance2(px - dx, py - dy, sx, sy) <= r2;
                }
                if (in)
                    row[i] = 1;
            }
        }
    }
    for (int j = all.y0; j < all.y1; ++j)
        for (int i = all.x0; i < all.x1; ++i)
            if (mask[static_cast<std::size_t>(j - all.y0) * static_cast<std::size_t>(mw) +
                     static_cast<std::size_t>(i - all.x0)] != 0)
                Put(i, j, paint);
}

void Canvas::StrokePolyline(const std::vector<Point>& points, float radius, const Paint& paint,
                            bool closed) {
    std::vector<Capsule> caps;
    for (std::size_t k = 0; k + 1 < points.size(); ++k)
        caps.push_back({points[k], points[k + 1], radius});
    if (closed && points.size() > 2)
        caps.push_back({points.back(), points.front(), radius});
    if (points.size() == 1)
        caps.push_back({points[0], points[0], radius});
    FillCapsules(caps, paint);
}

Picture Canvas::Resolve() const {
    Picture pic;
    pic.width = width_;
    pic.height = height_;
    pic.pixels.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    const std::uint32_t n = static_cast<std::uint32_t>(ss_ * ss_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint32_t r = 0, g = 0, b = 0;
            for (int j = 0; j < ss_; ++j) {
                const std::uint32_t* row = &samples_[static_cast<std::size_t>(y * ss_ + j) *
                                                         static_cast<std::size_t>(sw_) +
                                                     static_cast<std::size_t>(x * ss_)];
                for (int i = 0; i < ss_; ++i) {
                    r += (row[i] >> 16) & 0xFF;
                    g += (row[i] >> 8) & 0xFF;
                    b += row[i] & 0xFF;
                }
            }
            pic.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)] =
                0xFF000000u | ((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 | ((b + n / 2) / n);
        }
    return pic;
}

} // namespace art::draw
