// Fits the confidence of the tadpole search to the truth: a logistic
// regression of "is a printed tadpole" on the evidence that
// evaluate_detection --evidence writes for every tadpole found on the
// synthetic logs. Prints the weights that detection/tadpole_confidence.cpp
// holds, and how well the fitted confidence is calibrated.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kFeatures = 10;
const char* const kNames[kFeatures] = {"roundness", "contrast", "tailLength", "straightness", "tailWidth",
                                       "tailInk",   "clutter",  "doubtful",   "alongLine",    "endless"};

struct Sample {
    std::string log;
    bool isTrue = false;
    std::array<double, kFeatures> x{};
};

// The features as the confidence reads them: a tail counts up to one and a
// half dot diameters beyond the dot, its ink up to a pixel and a half.
std::array<double, kFeatures> shaped(std::array<double, kFeatures> x)
{
    x[2] = std::min(x[2], 1.5);
    x[5] = std::min(x[5], 1.5);
    return x;
}

double logistic(double z) { return 1 / (1 + std::exp(-z)); }

constexpr double kFalseWeight = 4;
constexpr double kRidge = 0.1;

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: fit_confidence EVIDENCE.csv [FALSE-WEIGHT [RIDGE]]\n");
        return 2;
    }
    const double falseWeight = argc > 2 ? std::atof(argv[2]) : kFalseWeight;
    const double ridge = argc > 3 ? std::atof(argv[3]) : kRidge;
    std::ifstream in(argv[1]);
    std::vector<Sample> samples;
    for (std::string line; std::getline(in, line);) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        Sample s;
        int label = 0;
        fields >> s.log >> label;
        for (double& v : s.x)
            fields >> v;
        s.isTrue = label != 0;
        s.x = shaped(s.x);
        if (fields)
            samples.push_back(s);
    }
    // A false find weighs as much as four true ones: a proposal the user has
    // to drop costs more than one the search left out. The false ones come
    // mostly from the empty and the spoiled pages, as they would from such
    // scans.
    std::vector<double> weight(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        weight[i] = samples[i].isTrue ? 1 : falseWeight;
    // Newton's method on the weighted log-likelihood with a small ridge.
    constexpr int n = kFeatures + 1;
    std::array<double, n> w{};
    for (int iteration = 0; iteration < 50; ++iteration) {
        std::array<double, n> gradient{};
        std::array<std::array<double, n>, n> hessian{};
        for (std::size_t i = 0; i < samples.size(); ++i) {
            std::array<double, n> x{1};
            std::copy(samples[i].x.begin(), samples[i].x.end(), x.begin() + 1);
            double z = 0;
            for (int k = 0; k < n; ++k)
                z += w[std::size_t(k)] * x[std::size_t(k)];
            const double p = logistic(z), y = samples[i].isTrue ? 1 : 0;
            for (int a = 0; a < n; ++a) {
                gradient[std::size_t(a)] += weight[i] * (y - p) * x[std::size_t(a)];
                for (int b = 0; b < n; ++b)
                    hessian[std::size_t(a)][std::size_t(b)] += weight[i] * p * (1 - p) * x[std::size_t(a)] * x[std::size_t(b)];
            }
        }
        for (int a = 1; a < n; ++a) {
            gradient[std::size_t(a)] -= ridge * w[std::size_t(a)];
            hessian[std::size_t(a)][std::size_t(a)] += ridge;
        }
        // Solve hessian * step = gradient by Gaussian elimination.
        std::array<double, n> step = gradient;
        auto m = hessian;
        for (int c = 0; c < n; ++c) {
            int pivot = c;
            for (int r = c + 1; r < n; ++r)
                if (std::abs(m[std::size_t(r)][std::size_t(c)]) > std::abs(m[std::size_t(pivot)][std::size_t(c)]))
                    pivot = r;
            std::swap(m[std::size_t(c)], m[std::size_t(pivot)]);
            std::swap(step[std::size_t(c)], step[std::size_t(pivot)]);
            for (int r = 0; r < n; ++r) {
                if (r == c)
                    continue;
                const double f = m[std::size_t(r)][std::size_t(c)] / m[std::size_t(c)][std::size_t(c)];
                for (int k = c; k < n; ++k)
                    m[std::size_t(r)][std::size_t(k)] -= f * m[std::size_t(c)][std::size_t(k)];
                step[std::size_t(r)] -= f * step[std::size_t(c)];
            }
        }
        for (int k = 0; k < n; ++k)
            w[std::size_t(k)] += step[std::size_t(k)] / m[std::size_t(k)][std::size_t(k)];
    }
    std::printf("bias %.3f\n", w[0]);
    for (int k = 0; k < kFeatures; ++k)
        std::printf("%-12s %.3f\n", kNames[k], w[std::size_t(k + 1)]);
    // How often the finds of each confidence band are true.
    std::array<int, 10> all{}, right{};
    for (const Sample& s : samples) {
        double z = w[0];
        for (int k = 0; k < kFeatures; ++k)
            z += w[std::size_t(k + 1)] * s.x[std::size_t(k)];
        const int band = std::min(9, int(logistic(z) * 10));
        ++all[std::size_t(band)];
        right[std::size_t(band)] += s.isTrue ? 1 : 0;
    }
    for (int b = 0; b < 10; ++b)
        std::printf("confidence %3d-%3d %%: %5d found, %5.1f %% true\n", b * 10, b * 10 + 10, all[std::size_t(b)],
                    all[std::size_t(b)] ? 100.0 * right[std::size_t(b)] / all[std::size_t(b)] : 0.0);
    return 0;
}
