// Makes the program's icon from its pixel-art source: a Windows .ico with a 16-colour and a
// 256-colour 32x32 image, a C++ source with the same picture as RGBA pixels for the Linux window
// icon, and PNGs for desktop menus. Runs on the build host while the program is built.
// Usage: make_icon ART.txt OUT.ico OUT_pixels.cpp [SIZE=OUT.png ...]
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const int iconSize = 32;

struct Colour {
    std::uint8_t red, green, blue;
};

bool operator==(Colour a, Colour b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// The characters the art may use, and the colour each one stands for. Every colour is one of
// the 16 VGA colours below, so the 16-colour image shows exactly the same picture.
struct LegendEntry {
    char symbol;
    Colour colour;
};
const LegendEntry legend[] = {
    {'r', {255, 0, 0}},  // red ground
    {'k', {0, 0, 0}},    // black lettering
    {'b', {0, 0, 255}},  // blue inside of the letter o
};

// The standard 16-colour palette in its usual order; both images' colour tables start with it.
const Colour vgaPalette[16] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// The picture, row by row from the top.
using Picture = std::vector<Colour>;

std::string describeCharacter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) return std::string("'") + c + "'";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "byte 0x%02x", u);
    return buffer;
}

std::string legendSymbols() {
    std::string symbols;
    for (const LegendEntry& entry : legend) {
        if (!symbols.empty()) symbols += ", ";
        symbols += entry.symbol;
    }
    return symbols;
}

// Reads the art: lines starting with '#' are comments, every other line is one row of pixels.
// Throws with a one-line message naming the file and line when the art is not 32x32 legend
// characters.
Picture readArt(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    Picture picture;
    int rowCount = 0;
    int lineNumber = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // checked out with CRLF
        if (!line.empty() && line[0] == '#') continue;
        std::string where = path + " line " + std::to_string(lineNumber);
        if (rowCount == iconSize)
            throw std::runtime_error(where + ": more than " + std::to_string(iconSize) + " rows of pixels");
        if (line.size() != static_cast<std::size_t>(iconSize))
            throw std::runtime_error(where + ": row has " + std::to_string(line.size()) +
                                     " pixels, expected " + std::to_string(iconSize));
        for (std::size_t column = 0; column < line.size(); ++column) {
            const LegendEntry* found = nullptr;
            for (const LegendEntry& entry : legend)
                if (entry.symbol == line[column]) found = &entry;
            if (!found)
                throw std::runtime_error(where + " column " + std::to_string(column + 1) + ": " +
                                         describeCharacter(line[column]) + " is not one of the legend's " +
                                         legendSymbols());
            picture.push_back(found->colour);
        }
        ++rowCount;
    }
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    if (rowCount != iconSize)
        throw std::runtime_error(path + ": " + std::to_string(rowCount) + " rows of pixels, expected " +
                                 std::to_string(iconSize));
    return picture;
}

void put8(std::vector<std::uint8_t>& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value)); }

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    put8(out, value & 0xff);
    put8(out, (value >> 8) & 0xff);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, (value >> 16) & 0xffff);
}

// Bytes in one bitmap row of the given depth; rows are padded to a multiple of four bytes.
int rowBytes(int bitsPerPixel) { return (iconSize * bitsPerPixel + 31) / 32 * 4; }

// One icon image: a BITMAPINFOHEADER, the colour table, the colour (XOR) bits and the
// transparency (AND) mask. Both bitmaps are stored bottom row first; the header's height counts
// both, hence twice the icon's height. The mask is all zero: the icon is fully opaque.
std::vector<std::uint8_t> iconImage(const Picture& picture, int bitsPerPixel) {
    const int colourCount = 1 << bitsPerPixel;
    const int colourBytes = rowBytes(bitsPerPixel) * iconSize;
    const int maskBytes = rowBytes(1) * iconSize;

    std::vector<std::uint8_t> out;
    put32(out, 40);                       // biSize
    put32(out, iconSize);                 // biWidth
    put32(out, 2 * iconSize);             // biHeight: colour bits and mask
    put16(out, 1);                        // biPlanes
    put16(out, bitsPerPixel);             // biBitCount
    put32(out, 0);                        // biCompression: BI_RGB
    put32(out, colourBytes + maskBytes);  // biSizeImage
    put32(out, 0);                        // biXPelsPerMeter
    put32(out, 0);                        // biYPelsPerMeter
    put32(out, 0);                        // biClrUsed: the full table for this depth
    put32(out, 0);                        // biClrImportant

    // Colour table entries are blue, green, red, reserved. Past the VGA colours, entries are black.
    for (int i = 0; i < colourCount; ++i) {
        Colour c = i < 16 ? vgaPalette[i] : Colour{0, 0, 0};
        put8(out, c.blue);
        put8(out, c.green);
        put8(out, c.red);
        put8(out, 0);
    }

    for (int y = iconSize - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes(bitsPerPixel), 0);
        for (int x = 0; x < iconSize; ++x) {
            Colour c = picture[y * iconSize + x];
            int index = -1;
            for (int i = 0; i < 16; ++i)
                if (vgaPalette[i] == c) index = i;
            if (index < 0) throw std::runtime_error("a legend colour is missing from the 16-colour palette");
            if (bitsPerPixel == 4)
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);  // left pixel high
            else
                row[x] = static_cast<std::uint8_t>(index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), maskBytes, 0);
    return out;
}

// The .ico file: an ICONDIR, one ICONDIRENTRY per image, then the images. The 16-colour image
// comes first, then the 256-colour one (whose colour count byte is 0, meaning 256 or more).
std::vector<std::uint8_t> icoFile(const Picture& picture) {
    const int depths[] = {4, 8};
    std::vector<std::vector<std::uint8_t>> images;
    for (int depth : depths) images.push_back(iconImage(picture, depth));

    std::vector<std::uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // type: icon
    put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        put8(out, iconSize);                                       // bWidth
        put8(out, iconSize);                                       // bHeight
        put8(out, depths[i] == 4 ? 16 : 0);                        // bColorCount
        put8(out, 0);                                              // bReserved
        put16(out, 1);                                             // wPlanes
        put16(out, depths[i]);                                     // wBitCount
        put32(out, static_cast<std::uint32_t>(images[i].size()));  // dwBytesInRes
        put32(out, offset);                                        // dwImageOffset
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

// The C++ source of the RGBA picture, eight pixels to a line.
std::string pixelsSource(const Picture& picture) {
    std::string out =
        "// Generated by make_icon from res/icon_art.txt while the program is built. Do not edit.\n"
        "#include \"platform/icon_pixels.h\"\n"
        "\n"
        "const unsigned char iconPixels[32 * 32 * 4] = {   // rows top to bottom, R,G,B,A per pixel\n";
    for (std::size_t i = 0; i < picture.size(); ++i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%3d,%3d,%3d,255,", picture[i].red, picture[i].green,
                      picture[i].blue);
        out += i % 8 == 0 ? "    " : " ";
        out += buffer;
        if (i % 8 == 7) out += "\n";
    }
    out += "};\n";
    return out;
}

// The picture as a PNG of size x size pixels, each art pixel a square of whole pixels so that the
// larger icons stay as crisp as the art; the size must be a multiple of the art's.
std::string pngFile(const Picture& picture, int size) {
    if (size <= 0 || size % iconSize != 0)
        throw std::runtime_error("PNG size " + std::to_string(size) + " is not a multiple of " +
                                 std::to_string(iconSize));
    const int scale = size / iconSize;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Colour c = picture[(y / scale) * iconSize + x / scale];
            rgb.insert(rgb.end(), {c.red, c.green, c.blue});
        }
    std::string out;
    auto append = [](void* context, void* data, int length) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   static_cast<std::size_t>(length));
    };
    if (!stbi_write_png_to_func(append, &out, size, size, 3, rgb.data(), size * 3))
        throw std::runtime_error("cannot encode the " + std::to_string(size) + " pixel PNG");
    return out;
}

// Writes the file under a temporary name first and then renames it into place, so an
// interrupted run never leaves a partial file where the build expects a finished one.
void writeFile(const std::string& path, const std::string& contents) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            throw std::runtime_error("cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        // Windows does not rename over an existing file: remove it and try again.
        std::remove(path.c_str());
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            std::remove(temporary.c_str());
            throw std::runtime_error("cannot rename " + temporary + " to " + path);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: make_icon ART.txt OUT.ico OUT_pixels.cpp [SIZE=OUT.png ...]\n";
        return 1;
    }
    try {
        Picture picture = readArt(argv[1]);
        std::vector<std::uint8_t> ico = icoFile(picture);
        std::string source = pixelsSource(picture);
        writeFile(argv[2], std::string(ico.begin(), ico.end()));
        writeFile(argv[3], source);
        for (int i = 4; i < argc; ++i) {
            const std::string request = argv[i];
            const std::size_t equals = request.find('=');
            if (equals == std::string::npos)
                throw std::runtime_error("expected SIZE=OUT.png, got " + request);
            writeFile(request.substr(equals + 1),
                      pngFile(picture, std::atoi(request.substr(0, equals).c_str())));
        }
    } catch (const std::exception& e) {
        std::cerr << "make_icon: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
