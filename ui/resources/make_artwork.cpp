// Makes Telvorn's own artwork at build time, with nothing but the standard
// library: icon 107 (32 by 32 pixels, 16 colours) and picture 131 (a 640 by
// 480 chart of islands with a grid, a compass rose and the program's name).
//
//   make_artwork ICON.ico PICTURE.bmp
//
// The output is the same on every run and every machine: the land comes from
// integer hashing, not from a random number generator.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

// ---------------------------------------------------------------------------
// Writing little-endian files

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// A BITMAPINFOHEADER of 40 bytes.
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, uint32_t imageSize,
                   uint32_t coloursUsed) {
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, static_cast<uint32_t>(bitsPerPixel));
    PutU32(out, 0);  // BI_RGB: uncompressed
    PutU32(out, imageSize);
    PutU32(out, 2835);  // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, coloursUsed);
    PutU32(out, 0);
}

// ---------------------------------------------------------------------------
// A small bitmap font: 5 by 7 cells, one string of '#' and '.' per glyph.

struct Glyph {
    char letter;
    std::array<std::string_view, 7> rows;
};

constexpr std::array<Glyph, 49> Font{{
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'t', {".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
}};

const Glyph* FindGlyph(char letter) {
    for (const Glyph& glyph : Font)
        if (glyph.letter == letter) return &glyph;
    return nullptr;
}

bool GlyphPixel(const Glyph& glyph, int column, int row) {
    if (column < 0 || column >= 5 || row < 0 || row >= 7) return false;
    return glyph.rows[row][column] == '#';
}

// ---------------------------------------------------------------------------
// The picture: a canvas of colours, written out as a bottom-up 24-bit DIB.

constexpr int PictureWidth = 640;
constexpr int PictureHeight = 480;

struct Canvas {
    int width, height;
    std::vector<Colour> pixels;

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Colour{0, 0, 0}) {}

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Colour& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }

    void Blend(int x, int y, Colour c, double alpha) {
        if (Inside(x, y)) At(x, y) = Mix(At(x, y), c, alpha);
    }

    void FillRect(int x0, int y0, int x1, int y1, Colour c, double alpha = 1.0) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Blend(x, y, c, alpha);
    }

    // Covers each pixel with coverage measured on a 4 by 4 grid of samples.
    template <typename Shape>
    void FillShape(int x0, int y0, int x1, int y1, Colour c, Shape inside, double alpha = 1.0) {
        for (int y = std::max(0, y0); y <= std::min(height - 1, y1); ++y)
            for (int x = std::max(0, x0); x <= std::min(width - 1, x1); ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        if (inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0)) ++hits;
                if (hits > 0) Blend(x, y, c, alpha * hits / 16.0);
            }
    }

    void FillTriangle(double ax, double ay, double bx, double by, double cx, double cy, Colour c) {
        auto edge = [](double px, double py, double qx, double qy, double x, double y) {
            return (qx - px) * (y - py) - (qy - py) * (x - px);
        };
        const double area = edge(ax, ay, bx, by, cx, cy);
        auto inside = [&](double x, double y) {
            const double e0 = edge(ax, ay, bx, by, x, y), e1 = edge(bx, by, cx, cy, x, y),
                         e2 = edge(cx, cy, ax, ay, x, y);
            return area > 0 ? (e0 >= 0 && e1 >= 0 && e2 >= 0) : (e0 <= 0 && e1 <= 0 && e2 <= 0);
        };
        FillShape(static_cast<int>(std::floor(std::min({ax, bx, cx}))),
                  static_cast<int>(std::floor(std::min({ay, by, cy}))),
                  static_cast<int>(std::ceil(std::max({ax, bx, cx}))),
                  static_cast<int>(std::ceil(std::max({ay, by, cy}))), c, inside);
    }

    void Ring(double cx, double cy, double inner, double outer, Colour c, double alpha = 1.0) {
        FillShape(static_cast<int>(cx - outer - 1), static_cast<int>(cy - outer - 1), static_cast<int>(cx + outer + 1),
                  static_cast<int>(cy + outer + 1), c,
                  [&](double x, double y) {
                      const double d = std::hypot(x - cx, y - cy);
                      return d >= inner && d <= outer;
                  },
                  alpha);
    }

    // One glyph pixel is a block of scale by scale pixels whose outer corners
    // are cut where the glyph turns, so that diagonals read smoothly.
    void Text(std::string_view text, int x, int y, int scale, Colour c, double alpha = 1.0) {
        const double cut = scale / 2.5;
        for (char letter : text) {
            const Glyph* glyph = FindGlyph(letter);
            if (glyph != nullptr) {
                for (int row = 0; row < 7; ++row)
                    for (int column = 0; column < 5; ++column) {
                        if (!GlyphPixel(*glyph, column, row)) continue;
                        const bool up = GlyphPixel(*glyph, column, row - 1), down = GlyphPixel(*glyph, column, row + 1),
                                   left = GlyphPixel(*glyph, column - 1, row),
                                   right = GlyphPixel(*glyph, column + 1, row);
                        const double bx = x + column * scale, by = y + row * scale;
                        FillShape(static_cast<int>(bx), static_cast<int>(by), static_cast<int>(bx + scale),
                                  static_cast<int>(by + scale), c,
                                  [&](double px, double py) {
                                      const double u = px - bx, v = py - by, s = scale;
                                      if (!up && !left && u + v < cut) return false;
                                      if (!up && !right && (s - u) + v < cut) return false;
                                      if (!down && !left && u + (s - v) < cut) return false;
                                      if (!down && !right && (s - u) + (s - v) < cut) return false;
                                      return u >= 0 && v >= 0 && u < s && v < s;
                                  },
                                  alpha);
                    }
            }
            x += 6 * scale;
        }
    }

    std::vector<uint8_t> BitmapFile() const {
        const uint32_t imageSize = static_cast<uint32_t>(width) * height * 3;  // rows of 1920 bytes need no padding
        std::vector<uint8_t> out;
        out.reserve(14 + 40 + imageSize);
        out.push_back('B');
        out.push_back('M');
        PutU32(out, 14 + 40 + imageSize);
        PutU32(out, 0);
        PutU32(out, 14 + 40);
        PutInfoHeader(out, width, height, 24, imageSize, 0);
        for (int y = height - 1; y >= 0; --y)  // bottom-up
            for (int x = 0; x < width; ++x) {
                const Colour& c = pixels[static_cast<size_t>(y) * width + x];
                out.push_back(static_cast<uint8_t>(std::clamp(std::lround(c.b), 0L, 255L)));
                out.push_back(static_cast<uint8_t>(std::clamp(std::lround(c.g), 0L, 255L)));
                out.push_back(static_cast<uint8_t>(std::clamp(std::lround(c.r), 0L, 255L)));
            }
        return out;
    }
};

// ---------------------------------------------------------------------------
// The land: smooth value noise over a few continents.

double Hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double ValueNoise(double x, double y, uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = Hash(ix, iy, seed) + (Hash(ix + 1, iy, seed) - Hash(ix, iy, seed)) * sx;
    const double bottom = Hash(ix, iy + 1, seed) + (Hash(ix + 1, iy + 1, seed) - Hash(ix, iy + 1, seed)) * sx;
    return top + (bottom - top) * sy;
}

double Fractal(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * ValueNoise(x, y, seed + octave * 17);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

struct Continent {
    double x, y, radius, weight;
};

constexpr std::array<Continent, 7> Continents{{
    {175, 300, 150, 1.0},   // the great western land
    {300, 205, 70, 0.6},    // its northern cape
    {470, 150, 95, 0.9},    // the northern isle
    {545, 255, 45, 0.6},    // a small eastern isle
    {405, 365, 55, 0.75},   // the southern isle
    {95, 120, 40, 0.45},    // a western islet
    {330, 430, 30, 0.45},   // a southern islet
}};

double Elevation(double x, double y) {
    double shape = 0;
    for (const Continent& land : Continents) {
        const double d = std::hypot(x - land.x, y - land.y) / land.radius;
        shape += land.weight * std::exp(-d * d * 1.4);
    }
    const double noise = Fractal(x / 95.0, y / 95.0, 7, 6) - 0.5;
    return std::min(shape, 1.1) * 0.85 + noise * 1.15 - 0.4;
}

// Picture margins: a parchment frame with the grid's letters and numbers.
constexpr int Frame = 20;
constexpr int Cell = 40;

void DrawLand(Canvas& canvas) {
    std::vector<double> height(static_cast<size_t>(PictureWidth) * PictureHeight);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) height[static_cast<size_t>(y) * PictureWidth + x] = Elevation(x, y);
    auto h = [&](int x, int y) {
        x = std::clamp(x, 0, PictureWidth - 1);
        y = std::clamp(y, 0, PictureHeight - 1);
        return height[static_cast<size_t>(y) * PictureWidth + x];
    };

    const Colour deep{18, 48, 108}, shallow{70, 140, 196}, sand{226, 206, 150}, grass{116, 170, 82},
        meadow{150, 186, 96}, forest{46, 104, 52}, hills{152, 132, 88}, rock{128, 118, 112}, snow{244, 244, 248},
        coast{40, 52, 60};
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) {
            const double e = h(x, y);
            Colour c;
            if (e <= 0) {
                c = Mix(shallow, deep, std::pow(std::min(-e / 0.35, 1.0), 0.6));
                // Faint swell lines on the open sea.
                const double swell = std::sin((y + 6 * std::sin(x / 23.0)) / 3.1);
                if (e < -0.1 && swell > 0.9 && ValueNoise(x / 14.0, y / 5.0, 21) > 0.6)
                    c = Mix(c, Colour{150, 190, 230}, 0.3);
            } else {
                const double wood = Fractal(x / 28.0, y / 28.0, 99, 4);
                if (e < 0.035)
                    c = sand;
                else if (e < 0.28)
                    c = wood > 0.56 ? forest : Mix(grass, meadow, Fractal(x / 40.0, y / 40.0, 55, 3));
                else if (e < 0.44)
                    c = Mix(hills, rock, (e - 0.28) / 0.16);
                else if (e < 0.66)
                    c = Mix(rock, Colour{112, 104, 100}, (e - 0.44) / 0.22);
                else
                    c = snow;
                // Relief shading, lit from the north-west.
                const double slope = (h(x - 1, y - 1) - h(x + 1, y + 1)) * 60.0;
                c = Scale(c, std::clamp(1.0 + slope, 0.7, 1.3));
            }
            // A dark coast line where land meets the sea.
            const bool land = e > 0;
            if (land && (h(x - 1, y) <= 0 || h(x + 1, y) <= 0 || h(x, y - 1) <= 0 || h(x, y + 1) <= 0)) c = coast;
            canvas.At(x, y) = c;
        }

    // Rivers: short descents from a few highlands towards the sea.
    const std::array<std::array<double, 2>, 4> springs{{{170, 290}, {465, 140}, {220, 340}, {410, 360}}};
    for (const auto& spring : springs) {
        double x = spring[0], y = spring[1];
        for (int step = 0; step < 400 && h(static_cast<int>(x), static_cast<int>(y)) > 0; ++step) {
            canvas.FillRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + 2, static_cast<int>(y) + 2,
                            Colour{52, 110, 180}, 0.85);
            // Step downhill, with a little wander.
            double bestX = x, bestY = y, best = 1e9;
            for (int k = 0; k < 16; ++k) {
                const double angle = k * 3.14159265 / 8 + Hash(static_cast<int>(x), step, 3) * 0.3;
                const double nx = x + 2 * std::cos(angle), ny = y + 2 * std::sin(angle);
                const double e = h(static_cast<int>(nx), static_cast<int>(ny));
                if (e < best) best = e, bestX = nx, bestY = ny;
            }
            x = bestX;
            y = bestY;
        }
    }

    // Cities: a white square with a red heart on lowland squares of the grid.
    for (int gy = 0; gy < 11; ++gy)
        for (int gx = 0; gx < 15; ++gx) {
            const int x = Frame + gx * Cell + 8 + static_cast<int>(Hash(gx, gy, 11) * 24);
            const int y = Frame + gy * Cell + 8 + static_cast<int>(Hash(gx, gy, 12) * 24);
            const double e = h(x, y);
            if (e < 0.06 || e > 0.3 || Hash(gx, gy, 13) > 0.45) continue;
            canvas.FillRect(x - 5, y - 5, x + 6, y + 6, Colour{30, 20, 20});
            canvas.FillRect(x - 4, y - 4, x + 5, y + 5, Colour{250, 246, 236});
            canvas.FillRect(x - 2, y - 2, x + 3, y + 3, Colour{190, 30, 30});
        }
}

void DrawGridAndFrame(Canvas& canvas) {
    // Grid lines, two pixels wide so that they survive the window's shrinking.
    for (int y = Frame; y < PictureHeight - Frame; ++y)
        for (int x = Frame; x < PictureWidth - Frame; ++x) {
            const bool line = (x - Frame) % Cell < 2 || (y - Frame) % Cell < 2;
            if (line) canvas.Blend(x, y, Colour{255, 255, 240}, 0.28);
        }

    const Colour parchment{232, 216, 172}, ink{86, 56, 34};
    canvas.FillRect(0, 0, PictureWidth, Frame, parchment);
    canvas.FillRect(0, PictureHeight - Frame, PictureWidth, PictureHeight, parchment);
    canvas.FillRect(0, 0, Frame, PictureHeight, parchment);
    canvas.FillRect(PictureWidth - Frame, 0, PictureWidth, PictureHeight, parchment);
    // Double rule around the chart.
    auto frameRect = [&](int inset, int thickness) {
        canvas.FillRect(inset, inset, PictureWidth - inset, inset + thickness, ink);
        canvas.FillRect(inset, PictureHeight - inset - thickness, PictureWidth - inset, PictureHeight - inset, ink);
        canvas.FillRect(inset, inset, inset + thickness, PictureHeight - inset, ink);
        canvas.FillRect(PictureWidth - inset - thickness, inset, PictureWidth - inset, PictureHeight - inset, ink);
    };
    frameRect(2, 2);
    frameRect(Frame - 3, 3);
    // Column letters along the top and bottom, row numbers down the sides.
    for (int column = 0; column < 15; ++column) {
        const std::string letter(1, static_cast<char>('A' + column));
        const int x = Frame + column * Cell + Cell / 2 - 5;
        canvas.Text(letter, x, 4, 2, ink);
        canvas.Text(letter, x, PictureHeight - 17, 2, ink);
        // Ticks between the cells.
        canvas.FillRect(Frame + column * Cell, 5, Frame + column * Cell + 2, Frame - 3, ink);
        canvas.FillRect(Frame + column * Cell, PictureHeight - Frame + 3, Frame + column * Cell + 2,
                        PictureHeight - 5, ink);
    }
    for (int row = 0; row < 11; ++row) {
        const std::string number = std::to_string(row + 1);
        const int y = Frame + row * Cell + Cell / 2 - 7;
        if (number.size() == 1) {
            canvas.Text(number, 5, y, 2, ink);
            canvas.Text(number, PictureWidth - 15, y, 2, ink);
        } else {  // two digits at half size fit the narrow frame
            canvas.Text(number, 4, y + 3, 1, ink);
            canvas.Text(number, PictureWidth - 16, y + 3, 1, ink);
        }
        canvas.FillRect(5, Frame + row * Cell, Frame - 3, Frame + row * Cell + 2, ink);
        canvas.FillRect(PictureWidth - Frame + 3, Frame + row * Cell, PictureWidth - 5, Frame + row * Cell + 2, ink);
    }
}

void DrawCompassRose(Canvas& canvas, double cx, double cy, double radius) {
    const Colour light{248, 242, 226}, dark{92, 60, 38}, gold{200, 160, 80};
    canvas.Ring(cx, cy, 0, radius * 0.62, Colour{250, 246, 230}, 0.35);
    canvas.Ring(cx, cy, radius * 0.58, radius * 0.64, dark);
    canvas.Ring(cx, cy, radius * 0.66, radius * 0.69, gold);
    // Eight points: the four winds long, the four between them short; each
    // point is two triangles, one light and one dark, as on old charts.
    for (int point = 0; point < 8; ++point) {
        const double angle = point * 3.14159265358979 / 4 - 3.14159265358979 / 2;
        const double length = point % 2 == 0 ? radius : radius * 0.55;
        const double width = point % 2 == 0 ? radius * 0.16 : radius * 0.11;
        const double tipX = cx + length * std::cos(angle), tipY = cy + length * std::sin(angle);
        const double sideX = cx + width * std::cos(angle + 3.14159265358979 / 2),
                     sideY = cy + width * std::sin(angle + 3.14159265358979 / 2);
        const double otherX = cx - width * std::cos(angle + 3.14159265358979 / 2),
                     otherY = cy - width * std::sin(angle + 3.14159265358979 / 2);
        canvas.FillTriangle(cx, cy, tipX, tipY, sideX, sideY, point % 2 == 0 ? light : Colour{230, 214, 170});
        canvas.FillTriangle(cx, cy, otherX, otherY, tipX, tipY, dark);
    }
    canvas.Ring(cx, cy, 0, radius * 0.07, gold);
    canvas.Text("N", static_cast<int>(cx) - 7, static_cast<int>(cy - radius) - 22, 3, Colour{250, 246, 236});
    canvas.Text("N", static_cast<int>(cx) - 8, static_cast<int>(cy - radius) - 23, 3, dark);
}

void DrawTitle(Canvas& canvas) {
    // A parchment cartouche in the north-west corner of the chart.
    const int x0 = 34, y0 = 32, x1 = 398, y1 = 144;
    const Colour parchment{240, 228, 190}, ink{86, 56, 34}, red{150, 36, 24};
    canvas.FillRect(x0 + 5, y0 + 5, x1 + 5, y1 + 5, Colour{0, 0, 0}, 0.35);  // shadow
    canvas.FillRect(x0, y0, x1, y1, ink);
    canvas.FillRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, parchment);
    canvas.FillRect(x0 + 7, y0 + 7, x1 - 7, y0 + 9, ink);
    canvas.FillRect(x0 + 7, y1 - 9, x1 - 7, y1 - 7, ink);
    canvas.FillRect(x0 + 7, y0 + 7, x0 + 9, y1 - 7, ink);
    canvas.FillRect(x1 - 9, y0 + 7, x1 - 7, y1 - 7, ink);

    const std::string_view name = "Telvorn";
    const int scale = 8;
    const int nameWidth = static_cast<int>(name.size()) * 6 * scale - scale;
    const int nameX = (x0 + x1 - nameWidth) / 2, nameY = y0 + 16;
    canvas.Text(name, nameX + 3, nameY + 3, scale, Colour{120, 90, 60}, 0.45);
    canvas.Text(name, nameX, nameY, scale, red);

    const std::string_view motto = "CORVANTA MAP EXAMINER";
    const int mottoWidth = static_cast<int>(motto.size()) * 12 - 2;
    canvas.Text(motto, (x0 + x1 - mottoWidth) / 2, nameY + 7 * scale + 10, 2, ink);
}

std::vector<uint8_t> MakePicture() {
    Canvas canvas(PictureWidth, PictureHeight);
    DrawLand(canvas);
    DrawGridAndFrame(canvas);
    DrawCompassRose(canvas, 556, 392, 58);
    DrawTitle(canvas);
    return canvas.BitmapFile();
}

// ---------------------------------------------------------------------------
// The icon: a magnifying glass over an island, in the 16 standard colours.

constexpr std::array<std::array<uint8_t, 3>, 16> IconPalette{{
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},     {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
}};

enum IconColour : uint8_t {
    Black = 0, DarkRed = 1, DarkGreen = 2, Olive = 3, Navy = 4, Teal = 6, Silver = 7, Grey = 8,
    Green = 10, Yellow = 11, Blue = 12, Cyan = 14, White = 15
};

constexpr int IconSize = 32;
constexpr uint8_t Transparent = 0xFF;

std::vector<uint8_t> MakeIcon() {
    std::array<std::array<uint8_t, IconSize>, IconSize> image{};  // [y][x], top-down
    for (auto& row : image) row.fill(Transparent);

    const double cx = 12.5, cy = 12.5;
    for (int y = 0; y < IconSize; ++y)
        for (int x = 0; x < IconSize; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double d = std::hypot(px - cx, py - cy);
            // The handle: a thick bar towards the lower right.
            const double along = ((px - cx) + (py - cy)) / std::sqrt(2.0);
            const double across = std::fabs((px - cx) - (py - cy)) / std::sqrt(2.0);
            if (along > 12.0 && along < 25.5 && across < 3.2) image[y][x] = across < 2.0 ? DarkRed : Black;
            if (d <= 12.0 && d > 10.6) image[y][x] = Black;
            else if (d <= 10.6 && d > 9.4) image[y][x] = Silver;
            else if (d <= 9.4) {
                // Inside the lens: sea, an island with a beach and a peak, a grid.
                const double ix = px - 11.5, iy = py - 13.5;
                const double island = std::hypot(ix * 1.0, iy * 1.35) + 1.3 * std::sin(px * 1.3) * std::cos(py * 0.9);
                uint8_t c = Blue;
                if (island < 6.5) c = Yellow;
                if (island < 5.3) c = Green;
                if (island < 3.6) c = DarkGreen;
                if (std::hypot(ix + 0.5, iy + 1.0) < 1.6) c = Grey;
                if (c == Blue && (x == 8 || x == 16 || y == 8 || y == 16)) c = Teal;
                if (d > 8.0 && px < cx && py < cy && c == Blue) c = Navy;
                image[y][x] = c;
            }
            // A glint on the rim.
            if (d <= 10.6 && d > 9.4 && px < cx - 4 && py < cy - 4) image[y][x] = White;
        }

    std::vector<uint8_t> out;
    // ICONDIR and one ICONDIRENTRY.
    const uint32_t xorSize = IconSize * IconSize / 2;  // 16 bytes a row, no padding needed
    const uint32_t andSize = IconSize * 4;             // 4 bytes a row
    const uint32_t imageSize = 40 + 16 * 4 + xorSize + andSize;
    PutU16(out, 0);
    PutU16(out, 1);  // an icon
    PutU16(out, 1);  // one image
    out.push_back(IconSize);
    out.push_back(IconSize);
    out.push_back(16);  // colours
    out.push_back(0);
    PutU16(out, 1);  // planes
    PutU16(out, 4);  // bits per pixel
    PutU32(out, imageSize);
    PutU32(out, 6 + 16);
    // The image: header (twice the height: colour bits and mask), palette, bits.
    PutInfoHeader(out, IconSize, IconSize * 2, 4, xorSize + andSize, 16);
    for (const auto& rgb : IconPalette) {
        out.push_back(rgb[2]);
        out.push_back(rgb[1]);
        out.push_back(rgb[0]);
        out.push_back(0);
    }
    for (int y = IconSize - 1; y >= 0; --y)
        for (int x = 0; x < IconSize; x += 2) {
            auto index = [&](int column) {
                return image[y][column] == Transparent ? uint8_t{Black} : image[y][column];
            };
            out.push_back(static_cast<uint8_t>(index(x) << 4 | index(x + 1)));
        }
    for (int y = IconSize - 1; y >= 0; --y)
        for (int byte = 0; byte < 4; ++byte) {
            uint8_t mask = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (image[y][byte * 8 + bit] == Transparent) mask |= static_cast<uint8_t>(0x80 >> bit);
            out.push_back(mask);
        }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_artwork ICON.ico PICTURE.bmp\n");
        return 2;
    }
    if (!WriteFile(argv[1], MakeIcon()) || !WriteFile(argv[2], MakePicture())) {
        std::fprintf(stderr, "make_artwork: cannot write the artwork\n");
        return 1;
    }
    return 0;
}
