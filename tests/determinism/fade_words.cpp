// Writes the colour words of a fixed set of fades to a file, high byte first,
// so that builds for other processors and systems can be compared with this
// one byte for byte: every method and curve, palette counts 3 to 256 (5,080 fades, 21 MB), random
// palettes and keep masks from a fixed seed.
//   fade_words OUT [--curve linear|ease-in|ease-out|ease-in-out]
// With --curve, only interpolations with that curve (with and without the
// dark bit), as many fades as without.

#include "core/fade_engine.h"
#include "core/hw_color.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

using namespace palfade;

// splitmix64: the same numbers from the same seed everywhere, unlike the
// standard distributions, whose results differ between libraries.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

struct Shape {
    bool simpleFade;
    bool useDarkBit;
    FadeCurve curve;
};

constexpr struct {
    std::string_view name;
    FadeCurve curve;
} kCurves[] = {{"linear", FadeCurve::Linear},
               {"ease-in", FadeCurve::EaseIn},
               {"ease-out", FadeCurve::EaseOut},
               {"ease-in-out", FadeCurve::EaseInOut}};

// Interpolation with each curve, without and with the dark bit, then the
// simple fade without and with it (the walks ignore the curve).
std::vector<Shape> AllShapes()
{
    std::vector<Shape> shapes;
    for (const auto& c : kCurves)
        for (const bool dark : {false, true})
            shapes.push_back({false, dark, c.curve});
    for (const bool dark : {false, true})
        shapes.push_back({true, dark, FadeCurve::Linear});
    return shapes;
}

// Fades for each palette count: every shape twice, or the shapes of one
// curve as often.
constexpr std::size_t kFadesPerCount = 20;

SourcePalette RandomPalette(Random& random)
{
    SourcePalette palette;
    for (PaletteEntry& entry : palette)
        entry = DecodeHwColor(static_cast<HwColor>(random.Next() & 0xFFFF));
    return palette;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<Shape> shapes = AllShapes();
    if (argc == 4 && std::string_view(argv[2]) == "--curve") {
        shapes.clear();
        for (const auto& c : kCurves)
            if (c.name == argv[3])
                shapes = {{false, false, c.curve}, {false, true, c.curve}};
    }
    if ((argc != 2 && argc != 4) || shapes.empty()) {
        std::fputs("usage: fade_words OUT [--curve linear|ease-in|ease-out|ease-in-out]\n", stderr);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }

    Random random(20240601);
    FadeTable table;
    std::vector<unsigned char> bytes;
    std::size_t fades = 0;
    for (std::size_t round = 0; round < kFadesPerCount / shapes.size(); ++round) {
        for (const Shape& shape : shapes) {
            for (int count = kMinPalettes; count <= kMaxPalettes; ++count) {
                const SourcePalette top = RandomPalette(random);
                const SourcePalette bottom = RandomPalette(random);
                // About two kept entries a fade, and often none.
                const auto keep = static_cast<KeepMask>(random.Next() & random.Next() & random.Next());
                ComputeFade(FadeInputs{.top = top,
                                       .bottom = bottom,
                                       .paletteCount = count,
                                       .simpleFade = shape.simpleFade,
                                       .useDarkBit = shape.useDarkBit,
                                       .curve = shape.curve,
                                       .keep = keep},
                            table);
                bytes.clear();
                for (int step = 0; step < table.steps(); ++step)
                    for (int color = 0; color < kPaletteSize; ++color) {
                        const HwColor word = EncodeHwColor(table.at(color, step));
                        bytes.push_back(static_cast<unsigned char>(word >> 8));
                        bytes.push_back(static_cast<unsigned char>(word & 0xFF));
                    }
                if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
                    std::fclose(out);
                    std::fprintf(stderr, "fade_words: cannot write %s\n", argv[1]);
                    return 1;
                }
                ++fades;
            }
        }
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "fade_words: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu fades\n", fades);
    return 0;
}
