#pragma once

#include <random>

#include <opencv2/core.hpp>

// What archives do to a printed log before it is scanned, for the synthetic
// logs the tadpole search is measured against. Each works on the drawn page,
// 8-bit grey, black ink on white paper.

// A copy of a copy: the print blurred, a share of the pixels dark specks
// (every fifth two pixels wide) and a share white ones, and grain.
struct Copying {
    double blur = 0.8;        // pixels
    double darkShare = 0.06;  // of the pixels
    int darkLow = 0, darkHigh = 90;
    double whiteShare = 0.03;
    double grain = 20;  // grey levels
};
// One of the copies archives hold: each setting drawn from its range (blur
// 0.5-1.2 px, dark specks 2-8 % at grey 20-80, white ones 0-3 %, grain
// 10-30).
Copying drawnCopying(std::mt19937& rng);
void speckle(cv::Mat& page, const Copying& copying, std::mt19937& rng);

// A faded print: the ink at a grey level on yellowed paper, lit unevenly
// (darker towards one side), blurred. Returns the colour page (BGR).
struct Fading {
    double inkLow = 100, inkHigh = 130;  // the ink is drawn from these
    double paper = 240;
    double unevenness = 0.2;  // the share the light falls off across the sheet
    double blur = 1.0;
};
// Ink 90-150 on paper 180-245 (always lighter than the ink by 60 at least),
// light falling off by 10-30 %, blur 0.5-1.2 px.
Fading drawnFading(std::mt19937& rng);
cv::Mat fade(const cv::Mat& page, const Fading& fading, std::mt19937& rng);

// Microfilm read back: grey ink on grey film, slightly blurred and grainy.
void microfilm(cv::Mat& page, std::mt19937& rng);

// A stained sheet: the page on its back showing through, mirrored, at 30 %
// of its darkness, coffee rings and soft blotches over it, and the grain of
// the fax machine's sensor. The page is then sent as a 1-bit fax.
void stain(cv::Mat& page, const cv::Mat& back, std::mt19937& rng);
