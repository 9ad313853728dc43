// Feeds deterministic mutations of valid project files through the reader:
// it must return true or false, never crash, and on false leave the state as
// it was. Built with the sanitizers in CI.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/project_file.h"

namespace {

std::string sampleProject(int dips, int mode)
{
    ProjectState s;
    s.FILE = "well, 7.bmp";
    s.IMAGEWIDTH = 2000;
    s.IMAGEHEIGHT = 30000;
    s.DipScaleMode = static_cast<std::int16_t>(mode);
    s.MAXDIP = 90;
    if (mode == 4) {
        s.NCUST = 9;
        for (int k = 0; k <= 9; ++k)
            s.CustomDipTwip[k] = 1000 + 1000.0 * k;
    }
    s.NUMDEP = 4;
    for (int i = 1; i <= 4; ++i)
        s.depths[i] = {1000.0 + 10 * i, 1500.0 * i, 1000, 10000};
    s.NumPoints = static_cast<std::int16_t>(dips);
    for (int i = 1; i <= dips; ++i) {
        s.dips[i].YPIX = 1400.0 + 150 * i;
        s.dips[i].DIPPIX = 900.0 + 400 * i;
        s.dips[i].Azimuth = 37.5 * i;
        s.dips[i].Quality = i % 5 == 0 ? "" : std::string(1, static_cast<char>('A' + i % 4));
    }
    std::ostringstream out;
    writeProject(out, s);
    return out.str();
}

const char* const kTokens[] = {",", "\r\n", "\n", "\r", "\"", " ", "\t", "NO CAL", "-", ".", "e", "E+", "1e999",
                               "10001", "201", "11", "-1", "4", "32768", "nan", "inf", "0x10", "", "9999999999"};

std::string mutate(std::string text, std::mt19937& rng)
{
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = rng() % (text.size() + 1);
        switch (rng() % 6) {
        case 0: text.erase(at, 1 + rng() % 8); break;
        case 1: text.insert(at, kTokens[rng() % (sizeof kTokens / sizeof *kTokens)]); break;
        case 2:
            if (at < text.size())
                text[at] = static_cast<char>(rng() % 256);
            break;
        case 3: text.resize(at); break;
        case 4: text.insert(at, text.substr(rng() % text.size(), 1 + rng() % 40)); break;
        default:
            if (at < text.size())
                text[at] = "0123456789,.-\r\n\""[rng() % 16];
            break;
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 4000;
    const std::vector<std::string> seeds = {sampleProject(0, 0), sampleProject(12, 1), sampleProject(7, 4),
                                            sampleProject(3, 2)};
    std::mt19937 rng(20261206);
    int accepted = 0;
    for (int n = 0; n < count; ++n) {
        const std::string text = mutate(seeds[static_cast<std::size_t>(n) % seeds.size()], rng);
        ProjectState state;
        state.HeaderTop = 1234;
        state.NumPoints = 2;
        state.dips[2].Quality = "Z";
        std::istringstream in(text);
        std::string error;
        if (readProject(in, state, error)) {
            ++accepted;
            if (state.NUMDEP < 0 || state.NUMDEP > kMaxDepthRows || state.NumPoints < 0 || state.NumPoints > kMaxDips
                || state.DipScaleMode < 0 || state.DipScaleMode > 4) {
                std::fprintf(stderr, "mutation %d: accepted counts out of range\n", n);
                return 1;
            }
            std::ostringstream out;
            writeProject(out, state);
        } else if (error.empty() || state.NumPoints != 2 || state.dips[2].Quality != "Z" || state.HeaderTop != 1234) {
            std::fprintf(stderr, "mutation %d: a refused file changed the state or gave no message\n", n);
            return 1;
        }
    }
    std::printf("%d mutations: %d accepted, %d refused\n", count, accepted, count - accepted);
    return 0;
}
