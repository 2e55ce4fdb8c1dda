// kalvo-aboutpic: draws the 64 x 70 picture of the about box (a straight key
// under the letter K in dashes and dots) and writes it as a PNG file; with
// --icon, the same drawing as the program's square icon of SIZE x SIZE pixels:
// widened to 70 x 70 units and cut to a rounded square with a transparent
// outside.
//
// Usage: kalvo-aboutpic [--icon SIZE] <output.png>
// The drawing is plain arithmetic with 4 x 4 supersampling and the PNG uses
// uncompressed deflate blocks, so the output is the same on every machine.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// The drawing's own units: the about picture is one pixel per unit.
constexpr int PictureWidth = 64;
constexpr int PictureHeight = 70;
constexpr int Samples = 4;

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A shape says whether a point (in pixel units) lies inside it.
using Shape = std::function<bool(double, double)>;

Shape RoundedRect(double x0, double y0, double x1, double y1, double radius)
{
    return [=](double x, double y) {
        if (x < x0 || x > x1 || y < y0 || y > y1)
            return false;
        const double cx = std::clamp(x, x0 + radius, x1 - radius);
        const double cy = std::clamp(y, y0 + radius, y1 - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Shape Circle(double cx, double cy, double radius)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

// Pixels of `width` x `height`, each `scale` drawing units wide, the left edge
// at drawing unit `left`.
class Canvas {
public:
    Canvas(int width, int height, double scale, double left)
        : width_(width), height_(height), scale_(scale), left_(left),
          pixels_(std::size_t(width) * height, Colour{0, 0, 0}), alpha_(pixels_.size(), 1.0)
    {
    }

    // Background: a vertical blend from `top` to `bottom`.
    void Gradient(Colour top, Colour bottom)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                pixels_[Index(x, y)] = Mix(top, bottom, y / double(height_ - 1));
    }

    // Paints a shape with a colour that may vary over the picture.
    void Fill(const Shape& shape, const std::function<Colour(double, double)>& paint)
    {
        Cover(shape, [&](std::size_t at, double cover, double x, double y) {
            pixels_[at] = Mix(pixels_[at], paint(x, y), cover);
        });
    }

    void Fill(const Shape& shape, Colour colour)
    {
        Fill(shape, [colour](double, double) { return colour; });
    }

    // Makes everything outside the shape transparent.
    void Clip(const Shape& shape)
    {
        std::fill(alpha_.begin(), alpha_.end(), 0.0);
        Cover(shape, [&](std::size_t at, double cover, double, double) { alpha_[at] = cover; });
    }

    // Rows of RGB, or RGBA with `alpha`, 8 bits a channel.
    std::vector<std::uint8_t> Bytes(bool alpha) const
    {
        const auto byte = [](double v) {
            return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
        };
        std::vector<std::uint8_t> out;
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            const Colour& c = pixels_[i];
            for (const double v : {c.r, c.g, c.b})
                out.push_back(byte(v));
            if (alpha)
                out.push_back(byte(alpha_[i]));
        }
        return out;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    std::size_t Index(int x, int y) const { return std::size_t(y) * width_ + x; }

    // Calls `apply` for every pixel the shape touches, with the covered share
    // and the centre of the covered samples in drawing units.
    template <typename Apply>
    void Cover(const Shape& shape, Apply apply) const
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                int inside = 0;
                double sx = 0, sy = 0;
                for (int j = 0; j < Samples; ++j) {
                    for (int i = 0; i < Samples; ++i) {
                        const double px = left_ + (x + (i + 0.5) / Samples) / scale_;
                        const double py = (y + (j + 0.5) / Samples) / scale_;
                        if (shape(px, py)) {
                            ++inside;
                            sx += px;
                            sy += py;
                        }
                    }
                }
                if (inside > 0)
                    apply(Index(x, y), inside / double(Samples * Samples), sx / inside, sy / inside);
            }
        }
    }

    int width_, height_;
    double scale_, left_;
    std::vector<Colour> pixels_;
    std::vector<double> alpha_;
};

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBigEndian(file, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    file.insert(file.end(), body.begin(), body.end());
    PutBigEndian(file, Crc32(body.data(), body.size()));
}

// A zlib stream made of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        const bool last = pos + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n & 0xFF));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n & 0xFF));
        out.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                   raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

std::vector<std::uint8_t> Png(const Canvas& canvas, bool alpha)
{
    const std::vector<std::uint8_t> pixels = canvas.Bytes(alpha);
    const std::size_t row = std::size_t(canvas.Width()) * (alpha ? 4 : 3);
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, canvas.Width());
    PutBigEndian(header, canvas.Height());
    header.insert(header.end(), {8, std::uint8_t(alpha ? 6 : 2), 0, 0, 0}); // 8-bit RGB(A), no interlace
    PutChunk(file, "IHDR", header);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < canvas.Height(); ++y) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y * row),
                   pixels.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
    }
    PutChunk(file, "IDAT", ZlibStored(raw));
    PutChunk(file, "IEND", {});
    return file;
}

void Draw(Canvas& canvas)
{
    const Colour sky{0.80, 0.88, 0.97};
    const Colour deep{0.36, 0.52, 0.75};
    canvas.Gradient(sky, deep);

    // The letter K, dash dot dash, on a dark plate.
    canvas.Fill(RoundedRect(4, 5, 60, 25, 4), Colour{0.10, 0.16, 0.32});
    const Colour lamp{1.00, 0.86, 0.30};
    canvas.Fill(RoundedRect(9, 12.5, 27, 17.5, 2.5), lamp);
    canvas.Fill(Circle(32, 15, 2.8), lamp);
    canvas.Fill(RoundedRect(37, 12.5, 55, 17.5, 2.5), lamp);

    // The key: wooden base, brass lever on its pivot, black knob.
    const auto wood = [](double x, double y) {
        const double grain = 0.04 * std::sin(x * 0.9 + y * 0.3);
        return Colour{0.55 + grain, 0.33 + grain, 0.16};
    };
    canvas.Fill(RoundedRect(5, 56, 59, 65, 2), wood);
    canvas.Fill(RoundedRect(5, 63, 59, 65, 1), Colour{0.35, 0.20, 0.10});
    const Colour brass{0.85, 0.68, 0.25};
    const Colour brassDark{0.60, 0.45, 0.15};
    canvas.Fill(RoundedRect(40, 47, 48, 56, 1.5), brassDark); // pivot post
    canvas.Fill(
        [](double x, double y) { // lever, tilted
            const double yc = 46.0 + (x - 44.0) * 0.08;
            return x >= 12 && x <= 56 && std::fabs(y - yc) <= 1.8;
        },
        brass);
    canvas.Fill(Circle(44, 46.5, 2.2), brassDark); // pivot screw
    canvas.Fill(RoundedRect(22, 50, 25, 56, 1), brassDark); // contact
    canvas.Fill(RoundedRect(15, 41.5, 17, 45, 0.5), Colour{0.15, 0.15, 0.15}); // knob stem
    canvas.Fill(
        [](double x, double y) { // knob
            const double dx = (x - 16) / 7.5, dy = (y - 40) / 3.2;
            return dx * dx + dy * dy <= 1.0;
        },
        [](double, double y) {
            return Mix(Colour{0.35, 0.35, 0.38}, Colour{0.05, 0.05, 0.06}, (y - 37) / 6);
        });
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    int size = 0;
    if (args.size() == 3 && args[0] == "--icon")
        size = std::atoi(args[1].c_str());
    if (!(args.size() == 1 || (args.size() == 3 && size >= 16 && size <= 1024))) {
        std::fprintf(stderr, "usage: kalvo-aboutpic [--icon SIZE (16 to 1024)] <output.png>\n");
        return 2;
    }
    const std::string& path = args.back();
    std::vector<std::uint8_t> png;
    if (size == 0) {
        Canvas canvas(PictureWidth, PictureHeight, 1.0, 0.0);
        Draw(canvas);
        png = Png(canvas, false);
    } else {
        // The picture is taller than wide: the icon widens it to a square by
        // half the difference on either side, where only the background shows.
        const double side = PictureHeight;
        const double left = (PictureWidth - side) / 2;
        Canvas canvas(size, size, size / side, left);
        Draw(canvas);
        canvas.Clip(RoundedRect(left, 0, left + side, side, side * 0.18));
        png = Png(canvas, true);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
