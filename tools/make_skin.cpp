// Writes the skin's pictures, the same bytes on every run:
//   titlebar.bmp  35 x 13, 24 bpp, one colour per row
//   xbut.bmp      20 x 23, 24 bpp, a white cross on red, dark lines along top and bottom
//   appico.ico    one 32 x 32 image, 16 colours: a document in the skin's blues
// Usage: make_skin OUTPUT_FOLDER
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageBytes,
                   uint32_t colours) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
}

// pixels[y][x], y = 0 at the top; BMP rows are stored bottom-up, padded to 4 bytes.
std::vector<uint8_t> Bitmap24(const std::vector<std::vector<Rgb>>& pixels) {
    int height = static_cast<int>(pixels.size());
    int width = static_cast<int>(pixels[0].size());
    uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    uint32_t imageBytes = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, 14 + 40 + imageBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, width, height, 24, imageBytes, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (const Rgb& p : pixels[y]) {
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        out.resize(out.size() + stride - static_cast<uint32_t>(width) * 3, 0);
    }
    return out;
}

std::vector<uint8_t> TitleBar() {
    const Rgb rows[13] = {{134, 181, 209}, {116, 159, 185}, {99, 147, 174}, {96, 143, 170},
                          {93, 138, 165},  {90, 134, 159},  {86, 129, 154}, {83, 124, 149},
                          {79, 120, 144},  {77, 116, 139},  {74, 112, 135}, {72, 109, 132},
                          {72, 115, 141}};
    std::vector<std::vector<Rgb>> pixels;
    for (const Rgb& row : rows)
        pixels.emplace_back(35, row);
    return Bitmap24(pixels);
}

std::vector<uint8_t> CloseGlyph() {
    const Rgb red = {204, 36, 29}, white = {255, 255, 255}, dark = {64, 12, 10};
    const int width = 20, height = 23;
    std::vector<std::vector<Rgb>> pixels(height, std::vector<Rgb>(width, red));
    for (int x = 0; x < width; ++x) {
        pixels[0][x] = dark;
        pixels[height - 1][x] = dark;
    }
    // Two strokes, two pixels wide, from corner to corner of a 12 x 12 square in the middle.
    const int size = 12, left = (width - size) / 2, top = (height - size) / 2;
    for (int i = 0; i < size; ++i) {
        for (int d = 0; d < 2; ++d) {
            int y = top + i;
            pixels[y][std::min(left + i + d, left + size - 1)] = white;
            pixels[y][std::max(left + size - 1 - i - d, left)] = white;
        }
    }
    return Bitmap24(pixels);
}

// 16-colour palette index per pixel; 255 is transparent.
std::vector<uint8_t> AppIcon() {
    const Rgb palette[16] = {{0, 0, 0},       {72, 109, 132},  {99, 147, 174},  {134, 181, 209},
                             {255, 255, 255}, {105, 142, 165}, {170, 207, 230}, {230, 238, 244},
                             {0, 0, 0},       {0, 0, 0},       {0, 0, 0},       {0, 0, 0},
                             {0, 0, 0},       {0, 0, 0},       {0, 0, 0},       {0, 0, 0}};
    const uint8_t transparent = 255, border = 1, band = 2, light = 3, paper = 7, line = 5;
    const int n = 32;
    std::vector<std::vector<uint8_t>> pixels(n, std::vector<uint8_t>(n, transparent));
    const int left = 6, right = 25, top = 2, bottom = 29, fold = 7;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            bool cut = x > right - fold + (y - top);
            if (cut)
                continue;
            bool edge =
                x == left || y == bottom || y == top || x == right || x == right - fold + (y - top);
            pixels[y][x] = edge ? border : paper;
        }
    }
    // The folded corner, the title band and the text lines.
    for (int y = top + 1; y < top + fold; ++y)
        for (int x = right - fold + 1; x <= right - fold + (y - top); ++x)
            if (x < right - fold + (y - top))
                pixels[y][x] = light;
    for (int y = top + fold + 1; y <= top + fold + 4; ++y)
        for (int x = left + 2; x <= right - 2; ++x)
            pixels[y][x] = band;
    for (int y = top + fold + 8; y <= bottom - 3; y += 3)
        for (int x = left + 3; x <= right - (y % 2 ? 6 : 3); ++x)
            pixels[y][x] = line;

    std::vector<uint8_t> out;
    const uint32_t xorBytes = n * n / 2, andBytes = n * n / 8;
    const uint32_t imageBytes = 40 + 16 * 4 + xorBytes + andBytes;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(n);
    out.push_back(n);
    out.push_back(16);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, imageBytes);
    Put32(out, 6 + 16);
    PutInfoHeader(out, n, 2 * n, 4, xorBytes + andBytes, 16);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; x += 2) {
            auto index = [&](int px) {
                return pixels[y][px] == transparent ? uint8_t{0} : pixels[y][px];
            };
            out.push_back(static_cast<uint8_t>(index(x) << 4 | index(x + 1)));
        }
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; x += 8) {
            uint8_t bits = 0;
            for (int b = 0; b < 8; ++b)
                if (pixels[y][x + b] == transparent)
                    bits |= static_cast<uint8_t>(0x80 >> b);
            out.push_back(bits);
        }
    return out;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    bool written =
        out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out != nullptr && std::fclose(out) != 0)
        written = false;
    if (!written)
        std::perror(path.c_str());
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_skin OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = Write(folder + "/titlebar.bmp", TitleBar()) &&
              Write(folder + "/xbut.bmp", CloseGlyph()) && Write(folder + "/appico.ico", AppIcon());
    return ok ? 0 : 1;
}
