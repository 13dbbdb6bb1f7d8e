#include "chart/LineRaster.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace platine {

namespace {

// Floor and ceiling of values already cut to a few thousand pixels either side of the image,
// without a library call.
constexpr double kBias = 1 << 24;
int floorNear(double v)
{
    return int(v + kBias) - int(kBias);
}
int ceilNear(double v)
{
    return int(kBias) - int(kBias - v);
}

// The pixels of an RGB32 image as the segment writer sees them, written in one colour.
class Pixels
{
public:
    Pixels(QImage &image, quint32 pixel)
        : m_width(image.width()),
          m_height(image.height()),
          m_stride(image.bytesPerLine()),
          m_bits(image.bits()), // once: bits() detaches a shared image at every call
          m_pixel(pixel)
    {
        Q_ASSERT(image.format() == QImage::Format_RGB32);
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    quint32 *row(int y) const { return reinterpret_cast<quint32 *>(m_bits + y * m_stride); }
    qsizetype stride() const { return m_stride; }

    void point(int x, int y)
    {
        if (unsigned(x) < unsigned(m_width) && unsigned(y) < unsigned(m_height))
            row(y)[x] = m_pixel;
    }
    // Pixel x of a row, cut to the image.
    void point(quint32 *row, int x)
    {
        if (unsigned(x) < unsigned(m_width))
            row[x] = m_pixel;
    }
    // Pixels from..to (both included) of a row, cut to the image.
    void span(quint32 *row, int from, int to)
    {
        from = std::max(from, 0);
        to = std::min(to, m_width - 1);
        if (from <= to)
            std::fill(row + from, row + to + 1, m_pixel);
    }

private:
    int m_width, m_height;
    qsizetype m_stride;
    uchar *m_bits;
    quint32 m_pixel;
};

// Cuts the segment to the box [x0, x1] x [y0, y1] (Liang-Barsky); false when nothing is left.
// An end inside the box keeps its exact coordinates.
bool cutToBox(double &ax, double &ay, double &bx, double &by, double x0, double y0, double x1,
              double y1)
{
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    if (t1 < 1) {
        bx = ax + t1 * dx;
        by = ay + t1 * dy;
    }
    if (t0 > 0) {
        ax += t0 * dx;
        ay += t0 * dy;
    }
    return true;
}

// A line one device pixel wide: for each row (steep line) or column (flat line) from the pixel of
// one end to the pixel of the other, the pixel the line crosses at the middle of that row or
// column (or at its end, where the end comes first), and both end pixels. Coordinates are device
// pixels, pixel (i, j) covering [i, i+1) x [j, j+1).
void thinLine(Pixels &px, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    if (std::abs(dy) >= std::abs(dx)) {
        if (ay > by) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        const double slope = dy != 0 ? (bx - ax) / (by - ay) : 0;
        const auto at = [&](int y) { return ax + (std::clamp(y + 0.5, ay, by) - ay) * slope; };
        const int first = std::max(floorNear(ay), 0);
        const int last = std::min(floorNear(by), px.height() - 1);
        if (first < last) {
            px.point(floorNear(at(first)), first);
            px.point(floorNear(at(last)), last);
            // The rows between have their middles inside the segment.
            const double base = ax + (0.5 - ay) * slope;
            quint32 *row = px.row(first + 1);
            for (int y = first + 1; y < last; ++y) {
                px.point(row, floorNear(base + y * slope));
                row = reinterpret_cast<quint32 *>(reinterpret_cast<uchar *>(row) + px.stride());
            }
        } else if (first == last) {
            px.point(floorNear(at(first)), first);
        }
    } else {
        if (ax > bx) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        const double slope = (by - ay) / (bx - ax);
        const int first = std::max(floorNear(ax), 0);
        const int last = std::min(floorNear(bx), px.width() - 1);
        for (int x = first; x <= last; ++x) {
            const double xc = std::clamp(x + 0.5, ax, bx);
            px.point(x, floorNear(ay + (xc - ax) * slope));
        }
    }
    px.point(floorNear(ax), floorNear(ay));
    px.point(floorNear(bx), floorNear(by));
}

// A wider line: every pixel whose centre lies within r of the segment (round ends), or within the
// rectangle around it that goes on r beyond each end (square ends). Both shapes are convex, so
// each row holds one run of pixels.
void wideLine(Pixels &px, double ax, double ay, double bx, double by, double r, bool roundEnds)
{
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const double length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    const double ux = length > 0 ? (bx - ax) / length : 1.0; // along the line
    const double uy = length > 0 ? (by - ay) / length : 0.0; // >= 0
    const double e = roundEnds ? 0.0 : r;                    // how far the body goes on
    const double reach = roundEnds ? r : e * uy + r * std::abs(ux);
    const int first = std::max(ceilNear(ay - reach - 0.5), 0);
    const int last = std::min(ceilNear(by + reach - 0.5) - 1, px.height() - 1);
    if (first > last)
        return;

    // Any row: the body (along the line s in [-e, length + e], across it |t| <= r) and the round
    // ends, joined (the shape is convex); the pixels whose centres lie in the run.
    const double overUx = ux != 0 ? 1 / ux : 0, overUy = uy != 0 ? 1 / uy : 0;
    const auto anyRow = [&](int y) {
        const double yc = y + 0.5, py = yc - ay;
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        double l = -std::numeric_limits<double>::infinity(), h = -l; // x - ax in the body
        bool body = true;
        if (ux != 0) {
            double s0 = (-e - py * uy) * overUx, s1 = (length + e - py * uy) * overUx;
            if (s0 > s1)
                std::swap(s0, s1);
            l = std::max(l, s0);
            h = std::min(h, s1);
        } else {
            const double s = py * uy;
            body = s >= -e && s <= length + e;
        }
        if (uy != 0) {
            l = std::max(l, (py * ux - r) * overUy);
            h = std::min(h, (py * ux + r) * overUy);
        } else {
            body = body && std::abs(py * ux) <= r;
        }
        if (body && l <= h) {
            lo = ax + l;
            hi = ax + h;
        }
        if (roundEnds) {
            for (const auto &[cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
                const double d2 = r * r - (yc - cy) * (yc - cy);
                if (d2 > 0) {
                    const double half = std::sqrt(d2);
                    lo = std::min(lo, cx - half);
                    hi = std::max(hi, cx + half);
                }
            }
        }
        lo = std::max(lo, -2.0);
        hi = std::min(hi, px.width() + 2.0);
        if (lo < hi)
            px.span(px.row(y), ceilNear(lo - 0.5), ceilNear(hi - 0.5) - 1);
    };

    // The rows between ay + r|ux| and by - r|ux| cross only the body's long sides (the round
    // ends and the square ends' corners stay nearer the ends): a run of the same length, moving
    // by a fixed step from row to row, and never longer than the segment, so its ends stay within
    // reach of ceilNear.
    int middleFirst = last + 1, middleLast = last;
    if (uy > 0) {
        const double inset = r * std::abs(ux) + 1e-7;
        middleFirst = std::max(first, ceilNear(ay + inset - 0.5));
        middleLast = std::min(last, ceilNear(by - inset - 0.5) - 1);
        if (middleFirst > middleLast) {
            middleFirst = last + 1;
            middleLast = last;
        }
    }
    for (int y = first; y < middleFirst; ++y)
        anyRow(y);
    if (middleFirst <= middleLast) {
        // The run's ends less half a pixel, in 32.32 fixed point, from row to row; the ceiling
        // of each gives the first pixel in the run and the first pixel after it.
        const double step = ux / uy, half = r / uy;
        const double from = ax + (middleFirst + 0.5 - ay) * step - half - 0.5;
        constexpr double kOne = 4294967296.0;
        constexpr qint64 kCeil = (qint64(1) << 32) - 1;
        qint64 start = qint64(std::llround(from * kOne));
        const qint64 length = qint64(std::llround(2 * half * kOne));
        const qint64 advance = qint64(std::llround(step * kOne));
        quint32 *row = px.row(middleFirst);
        for (int y = middleFirst; y <= middleLast; ++y) {
            px.span(row, int((start + kCeil) >> 32), int((start + length + kCeil) >> 32) - 1);
            start += advance;
            row = reinterpret_cast<quint32 *>(reinterpret_cast<uchar *>(row) + px.stride());
        }
    }
    for (int y = middleLast + 1; y <= last; ++y)
        anyRow(y);
}

} // namespace

namespace {

// Integers of up to 4608 bits, sign and magnitude: enough for the exact products of differences
// of doubles counted in units of their lowest bit (a double spans 2^-1126 to 2^1024 so counted).
struct BigInt {
    static constexpr int kLimbs = 144;
    std::array<std::uint32_t, kLimbs> limb{};
    int size = 0; // limbs in use: limb[size - 1] is the highest nonzero one
    bool negative = false;

    void trim()
    {
        while (size > 0 && limb[size - 1] == 0)
            --size;
        negative = negative && size > 0;
    }
    int bits() const { return size == 0 ? 0 : 32 * size - std::countl_zero(limb[size - 1]); }
};

int compareMagnitudes(const BigInt &a, const BigInt &b)
{
    if (a.size != b.size)
        return a.size < b.size ? -1 : 1;
    for (int i = a.size - 1; i >= 0; --i) {
        if (a.limb[i] != b.limb[i])
            return a.limb[i] < b.limb[i] ? -1 : 1;
    }
    return 0;
}

// |a| - |b|, for |a| >= |b|, in place.
void subtractMagnitude(BigInt &a, const BigInt &b)
{
    std::int64_t borrow = 0;
    for (int i = 0; i < a.size; ++i) {
        std::int64_t d = std::int64_t(a.limb[i]) - (i < b.size ? b.limb[i] : 0) - borrow;
        borrow = d < 0;
        a.limb[i] = std::uint32_t(d + (borrow << 32));
    }
    a.trim();
}

BigInt sum(const BigInt &a, const BigInt &b)
{
    if (a.negative != b.negative) {
        const bool aLarger = compareMagnitudes(a, b) >= 0;
        BigInt r = aLarger ? a : b;
        subtractMagnitude(r, aLarger ? b : a);
        return r;
    }
    BigInt r;
    r.negative = a.negative;
    std::uint64_t carry = 0;
    r.size = std::max(a.size, b.size) + 1;
    for (int i = 0; i < r.size; ++i) {
        carry += std::uint64_t(i < a.size ? a.limb[i] : 0) + (i < b.size ? b.limb[i] : 0);
        r.limb[i] = std::uint32_t(carry);
        carry >>= 32;
    }
    r.trim();
    return r;
}

BigInt difference(const BigInt &a, BigInt b)
{
    b.negative = !b.negative && b.size > 0;
    return sum(a, b);
}

BigInt product(const BigInt &a, const BigInt &b)
{
    BigInt r;
    for (int i = 0; i < a.size; ++i) {
        std::uint64_t carry = 0;
        for (int j = 0; j < b.size; ++j) {
            carry += std::uint64_t(a.limb[i]) * b.limb[j] + r.limb[i + j];
            r.limb[i + j] = std::uint32_t(carry);
            carry >>= 32;
        }
        r.limb[i + b.size] = std::uint32_t(carry);
    }
    r.size = a.size + b.size;
    r.negative = a.negative != b.negative;
    r.trim();
    return r;
}

// |a| * 2^n.
BigInt shiftedUp(const BigInt &a, int n)
{
    BigInt r;
    const int whole = n / 32, part = n % 32;
    for (int i = a.size - 1; i >= 0; --i) {
        const std::uint64_t v = std::uint64_t(a.limb[i]) << part;
        r.limb[i + whole + 1] |= std::uint32_t(v >> 32);
        r.limb[i + whole] |= std::uint32_t(v);
    }
    r.size = a.size + whole + 1;
    r.trim();
    return r;
}

void halve(BigInt &a)
{
    for (int i = 0; i < a.size; ++i)
        a.limb[i] = (a.limb[i] >> 1) | (i + 1 < a.size ? a.limb[i + 1] << 31 : 0);
    a.trim();
}

// The double v as an integer count of 2^unit (unit at most the exponent of v's lowest bit).
BigInt exactly(double v, int unit)
{
    BigInt r;
    if (v == 0)
        return r;
    int e = 0;
    const auto m = std::uint64_t(std::ldexp(std::frexp(std::fabs(v), &e), 53)); // v = m 2^(e - 53)
    BigInt mantissa;
    mantissa.limb[0] = std::uint32_t(m);
    mantissa.limb[1] = std::uint32_t(m >> 32);
    mantissa.size = 2;
    r = shiftedUp(mantissa, e - 53 - unit);
    r.negative = v < 0;
    return r;
}

int lowestUnit(double v)
{
    int e = 0;
    std::frexp(v, &e);
    return v == 0 ? std::numeric_limits<int>::max() : e - 53;
}

// n / d * 2^unit rounded to the nearest double (d nonzero): 63 bits of the quotient and whether
// anything is left decide the rounding.
double quotient(const BigInt &n, const BigInt &d, int unit)
{
    if (n.size == 0)
        return 0;
    const int s = n.bits() - d.bits() - 62; // n / (d 2^s) lies in [2^61, 2^63)
    BigInt rest = shiftedUp(n, std::max(-s, 0));
    BigInt step = shiftedUp(d, std::max(s, 0) + 62);
    std::uint64_t q = 0;
    for (int bit = 62; bit >= 0; --bit) {
        if (compareMagnitudes(rest, step) >= 0) {
            subtractMagnitude(rest, step);
            q |= std::uint64_t(1) << bit;
        }
        halve(step);
    }
    const double v = std::ldexp(double(q | (rest.size > 0)), s + unit);
    return n.negative != d.negative ? -v : v;
}

// Where the line through (u1, v1) and (u2, v2) has the first coordinate u: its second coordinate,
// v1 (u2 - u) / (u2 - u1) + v2 (u - u1) / (u2 - u1) worked out exactly, then rounded. NaN when
// u1 == u2.
double crossing(double u1, double v1, double u2, double v2, double u)
{
    if (u1 == u2)
        return std::numeric_limits<double>::quiet_NaN();
    const int unit =
        std::min({lowestUnit(u1), lowestUnit(v1), lowestUnit(u2), lowestUnit(v2), lowestUnit(u)});
    const BigInt U1 = exactly(u1, unit), U2 = exactly(u2, unit), U = exactly(u, unit);
    const BigInt num = sum(product(exactly(v1, unit), difference(U2, U)),
                           product(exactly(v2, unit), difference(U, U1)));
    return quotient(num, difference(U2, U1), unit);
}

} // namespace

// Clips a segment to the square [-kClipLimit, kClipLimit]^2 (Cohen-Sutherland). Each end outside
// is moved to the point where the segment as given crosses the border, worked out in exact
// integer arithmetic and then rounded, so that every finite segment keeps its line and direction.
std::optional<Segment> clipToLimit(double x1, double y1, double x2, double y2)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return std::nullopt;
    constexpr double L = kClipLimit;
    const auto outcode = [](double x, double y) {
        int c = 0;
        if (x < -L)
            c |= 1;
        else if (x > L)
            c |= 2;
        if (y < -L)
            c |= 4;
        else if (y > L)
            c |= 8;
        return c;
    };
    const double ax = x1, ay = y1, bx = x2, by = y2; // the segment as given
    int c1 = outcode(x1, y1);
    int c2 = outcode(x2, y2);
    for (int step = 0; step < 8; ++step) {
        if ((c1 | c2) == 0)
            return Segment{x1, y1, x2, y2};
        if (c1 & c2)
            return std::nullopt;
        const bool first = c1 != 0;
        const int c = first ? c1 : c2;
        double x, y;
        if (c & 12) {
            y = (c & 8) ? L : -L;
            x = crossing(ay, ax, by, bx, y);
        } else {
            x = (c & 2) ? L : -L;
            y = crossing(ax, ay, bx, by, x);
        }
        if (std::isnan(x) || std::isnan(y))
            return std::nullopt;
        if (first) {
            x1 = x;
            y1 = y;
            c1 = outcode(x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = outcode(x2, y2);
        }
    }
    return std::nullopt;
}

QRect rasterLine(QImage &image, double ax, double ay, double bx, double by, double width,
                 bool roundEnds, const QColor &color)
{
    // Cut to the image with a margin wider than the line, so that what is left draws the same
    // pixels.
    const double margin = width + 2;
    if (!cutToBox(ax, ay, bx, by, -margin, -margin, image.width() + margin,
                  image.height() + margin))
        return {};
    Pixels px(image, color.rgb() | 0xff000000u);
    if (width <= 1)
        thinLine(px, ax, ay, bx, by);
    else
        wideLine(px, ax, ay, bx, by, width / 2, roundEnds);
    const double reach = 0.75 * width + 1;
    return QRect(QPoint(floorNear(std::min(ax, bx) - reach), floorNear(std::min(ay, by) - reach)),
                 QPoint(ceilNear(std::max(ax, bx) + reach), ceilNear(std::max(ay, by) + reach)));
}

QRect rasterVerticals(QImage &image, const std::vector<DeviceVertical> &lines)
{
    constexpr int kBandColumns = 16; // a cache line of pixels a row
    Pixels px(image, 0);
    const int height = px.height();
    const int bands = (px.width() + kBandColumns - 1) / kBandColumns;
    // The pixels of each line within the image: its column and rows, by band, in order.
    struct Run {
        int x, first, last;
        quint32 pixel;
    };
    std::vector<std::vector<Run>> byBand(std::size_t(std::max(bands, 0)));
    QRect drawn;
    for (const DeviceVertical &l : lines) {
        if (!(l.x >= 0 && l.x < px.width()) || !std::isfinite(l.y1) || !std::isfinite(l.y2))
            continue;
        const int x = floorNear(l.x);
        const auto row = [height](double y) {
            return floorNear(std::clamp(y, -1.0, double(height)));
        };
        const int first = std::max(row(std::min(l.y1, l.y2)), 0);
        const int last = std::min(row(std::max(l.y1, l.y2)), height - 1);
        if (x >= px.width() || first > last)
            continue;
        byBand[std::size_t(x / kBandColumns)].push_back({x, first, last, l.rgb | 0xff000000u});
        drawn |= QRect(x, first, 1, last - first + 1);
    }
    // A band's columns one after the other: 0 where no line passes (a drawn pixel is opaque).
    std::vector<quint32> band(std::size_t(kBandColumns) * std::size_t(std::max(height, 0)));
    for (int b = 0; b < bands; ++b) {
        const std::vector<Run> &runs = byBand[std::size_t(b)];
        if (runs.empty())
            continue;
        std::fill(band.begin(), band.end(), 0u);
        int top = height;
        int bottom = -1;
        for (const Run &r : runs) {
            quint32 *column = band.data() + std::size_t(r.x % kBandColumns) * std::size_t(height);
            std::fill(column + r.first, column + r.last + 1, r.pixel);
            top = std::min(top, r.first);
            bottom = std::max(bottom, r.last);
        }
        const int x0 = b * kBandColumns;
        const int columns = std::min(kBandColumns, px.width() - x0);
        for (int y = top; y <= bottom; ++y) {
            quint32 *row = px.row(y) + x0;
            for (int k = 0; k < columns; ++k) {
                if (const quint32 v = band[std::size_t(k) * std::size_t(height) + std::size_t(y)])
                    row[k] = v;
            }
        }
    }
    return drawn;
}

} // namespace platine
