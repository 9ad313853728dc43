#pragma once

#include <random>

#include <opencv2/core.hpp>

// What archives do to a printed log before it is scanned, for the synthetic
// logs the tadpole search is measured against. Each works on the drawn page,
// 8-bit grey, black ink on white paper.

// A copy of a copy: the print blurred by about 0.8 pixels, 6 % of the pixels
// dark specks (some two pixels wide) and 3 % white ones, and grain of 20
// grey levels. The page is then kept as a JPEG of quality 50.
void speckle(cv::Mat& page, std::mt19937& rng);

// A faded print: the ink at grey 100 to 130 on yellowed paper at 190 to 240,
// lit unevenly (a fifth darker at one corner), blurred by a pixel. Returns
// the colour page (BGR), then kept as a colour JPEG of quality 70.
cv::Mat fade(const cv::Mat& page, std::mt19937& rng);

// Microfilm read back: grey ink on grey film, slightly blurred and grainy.
void microfilm(cv::Mat& page, std::mt19937& rng);

// A stained sheet: the page on its back showing through, mirrored, at 30 %
// of its darkness, coffee rings and soft blotches over it, and the grain of
// the fax machine's sensor. The page is then sent as a 1-bit fax.
void stain(cv::Mat& page, const cv::Mat& back, std::mt19937& rng);
