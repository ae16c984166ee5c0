// Draws the About page's picture, a stylised card with its connectors, 112 x
// 74 pixels, encodes it as a colour JPEG with libjpeg and writes a C++ source
// that holds the bytes. The build runs it:
//     make_about_picture <output.cpp>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int Width = 112;
constexpr int Height = 74;

struct Rgb {
    int r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
            static_cast<int>(a.b + (b.b - a.b) * t)};
}

class Picture {
public:
    Picture() : pixels_(static_cast<std::size_t>(Width * Height) * 3) {}

    void Set(int x, int y, Rgb c)
    {
        if (x < 0 || y < 0 || x >= Width || y >= Height) return;
        std::uint8_t* p = &pixels_[static_cast<std::size_t>((y * Width + x) * 3)];
        p[0] = static_cast<std::uint8_t>(std::clamp(c.r, 0, 255));
        p[1] = static_cast<std::uint8_t>(std::clamp(c.g, 0, 255));
        p[2] = static_cast<std::uint8_t>(std::clamp(c.b, 0, 255));
    }
    // Right and bottom edges excluded.
    void Fill(int left, int top, int right, int bottom, Rgb c)
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) Set(x, y, c);
    }
    void Frame(int left, int top, int right, int bottom, Rgb c)
    {
        Fill(left, top, right, top + 1, c);
        Fill(left, bottom - 1, right, bottom, c);
        Fill(left, top, left + 1, bottom, c);
        Fill(right - 1, top, right, bottom, c);
    }
    void Disc(int cx, int cy, int radius, Rgb c)
    {
        for (int y = -radius; y <= radius; ++y)
            for (int x = -radius; x <= radius; ++x)
                if (x * x + y * y <= radius * radius) Set(cx + x, cy + y, c);
    }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

private:
    std::vector<std::uint8_t> pixels_;
};

constexpr Rgb Board{24, 112, 64};
constexpr Rgb BoardEdge{12, 66, 38};
constexpr Rgb Trace{70, 170, 104};
constexpr Rgb Gold{222, 176, 64};
constexpr Rgb GoldLight{248, 218, 130};
constexpr Rgb Plastic{30, 30, 36};
constexpr Rgb Pin{168, 168, 176};
constexpr Rgb Steel{196, 200, 208};
constexpr Rgb SteelDark{120, 124, 134};

// A chip with pins on all four sides.
void Chip(Picture& p, int left, int top, int right, int bottom)
{
    for (int x = left + 2; x < right - 1; x += 3) {
        p.Fill(x, top - 2, x + 1, top, Pin);
        p.Fill(x, bottom, x + 1, bottom + 2, Pin);
    }
    for (int y = top + 2; y < bottom - 1; y += 3) {
        p.Fill(left - 2, y, left, y + 1, Pin);
        p.Fill(right, y, right + 2, y + 1, Pin);
    }
    p.Fill(left, top, right, bottom, Plastic);
    p.Frame(left, top, right, bottom, Rgb{60, 60, 68});
    p.Disc(left + 3, top + 3, 1, Rgb{90, 90, 100});
}

// A round jack on the bracket with its housing on the board.
void Jack(Picture& p, int cy, Rgb ring)
{
    p.Fill(10, cy - 4, 21, cy + 5, Plastic);
    p.Disc(6, cy, 3, ring);
    p.Disc(6, cy, 1, Rgb{10, 10, 12});
}

void Draw(Picture& p)
{
    for (int y = 0; y < Height; ++y) p.Fill(0, y, Width, y + 1, Mix(Rgb{236, 240, 246}, Rgb{196, 204, 218}, y / 73.0));

    // The board and its edge connector, with the key notch.
    p.Fill(10, 10, 106, 56, Board);
    p.Fill(34, 56, 100, 64, Board);
    p.Frame(10, 10, 106, 56, BoardEdge);
    for (int x = 36; x < 98; x += 3) {
        if (x >= 58 && x < 64) continue;
        p.Fill(x, 57, x + 2, 64, Gold);
        p.Fill(x, 57, x + 2, 58, GoldLight);
    }
    p.Fill(59, 56, 63, 64, Mix(Rgb{236, 240, 246}, Rgb{196, 204, 218}, 60 / 73.0));

    // Traces from the connectors to the chips and down to the fingers.
    for (int y : {19, 31, 43}) p.Fill(21, y, 46, y + 1, Trace);
    for (int x : {40, 52, 58, 70, 78, 86, 94}) p.Fill(x, 42, x + 1, 56, Trace);
    p.Fill(66, 26, 76, 27, Trace);
    p.Fill(90, 24, 100, 25, Trace);
    p.Fill(99, 24, 100, 56, Trace);

    Chip(p, 46, 19, 66, 39);
    Chip(p, 76, 17, 90, 29);
    Chip(p, 76, 36, 88, 45);

    // A crystal and a few capacitors.
    p.Fill(28, 25, 39, 30, Steel);
    p.Frame(28, 25, 39, 30, SteelDark);
    for (int cx : {30, 36}) p.Disc(cx, 14, 2, Steel);
    p.Disc(30, 49, 2, Steel);
    p.Disc(96, 14, 2, Steel);
    p.Disc(30, 49, 0, SteelDark);

    // The bracket with three jacks and a multi-pin socket.
    p.Fill(2, 3, 10, 72, Steel);
    p.Fill(2, 3, 14, 6, Steel);
    p.Fill(9, 3, 10, 72, SteelDark);
    Jack(p, 19, Rgb{216, 60, 52});
    Jack(p, 31, Rgb{60, 120, 220});
    Jack(p, 43, Rgb{230, 200, 60});
    p.Fill(3, 51, 9, 67, Rgb{52, 60, 82});
    for (int y = 53; y < 66; y += 3) p.Fill(5, y, 7, y + 1, Gold);
    p.Fill(10, 48, 20, 55, Plastic);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_about_picture <output.cpp>\n", stderr);
        return 2;
    }
    Picture picture;
    Draw(picture);

    jpeg_compress_struct compress{};
    jpeg_error_mgr errors{};
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compress, &buffer, &size);
    compress.image_width = Width;
    compress.image_height = Height;
    compress.input_components = 3;
    compress.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 92, TRUE);
    jpeg_start_compress(&compress, TRUE);
    const std::vector<std::uint8_t>& pixels = picture.Pixels();
    while (compress.next_scanline < compress.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&pixels[static_cast<std::size_t>(compress.next_scanline) * Width * 3]);
        jpeg_write_scanlines(&compress, &row, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);

    std::ofstream out(argv[1], std::ios::trunc);
    out << "// Written by make_about_picture: the About page's picture as JPEG bytes.\n"
           "#include \"console/about_picture.h\"\n\n"
           "namespace {\n\nconst std::uint8_t Bytes[] = {";
    for (unsigned long i = 0; i < size; ++i) out << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(buffer[i]) << ',';
    out << "\n};\n\n}  // namespace\n\n"
           "std::span<const std::uint8_t> AboutPictureBytes() { return Bytes; }\n";
    std::free(buffer);
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_about_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
