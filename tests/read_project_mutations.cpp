// Feeds deterministic mutations of the golden project files through the
// reader: it must accept or refuse each with a message, never crash, and what
// it accepts must write. Built with the sanitizers in CI.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include "files/project_file.h"
#include "golden.h"

namespace {

const char* const kTokens[] = {",", "\r\n", "\n", "\r", "\"", " ", "NO CAL", "-", ".", "e", "1e999", "10001", "201",
                               "11", "-1", "4", "32768", "nan", "inf", "0x10", "9999999999"};

std::string mutate(std::string text, std::mt19937& rng)
{
    for (int e = 1 + int(rng() % 4); e > 0 && !text.empty(); --e) {
        const std::size_t at = rng() % (text.size() + 1);
        switch (rng() % 5) {
        case 0: text.erase(at, 1 + rng() % 8); break;
        case 1: text.insert(at, kTokens[rng() % std::size(kTokens)]); break;
        case 2: text.resize(at); break;
        case 3: text.insert(at, text.substr(rng() % text.size(), 1 + rng() % 40)); break;
        default:
            if (at < text.size())
                text[at] = "0123456789,.-\r\n\"\x80"[rng() % 17];
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 4000;
    const std::string seeds[] = {golden("empty_project.ddp"), golden("linear_with_dips.ddp"),
                                 golden("custom_scale.ddp"), golden("custom_ncust0.ddp")};
    std::mt19937 rng(20261206);
    int accepted = 0;
    for (int n = 0; n < count; ++n) {
        std::istringstream in(mutate(seeds[n % 4], rng));
        std::string error;
        if (const auto project = readProject(in, error)) {
            ++accepted;
            std::ostringstream out;
            writeProject(out, *project);
        } else if (error.empty()) {
            std::fprintf(stderr, "mutation %d: a refused file gave no message\n", n);
            return 1;
        }
    }
    std::printf("%d mutations: %d accepted, %d refused\n", count, accepted, count - accepted);
    return 0;
}
