#pragma once

// Otsu's split between paper and ink, kept within these bounds: a page of
// paper alone, or of ink alone, has no meaningful split.
inline constexpr int kDarkestThreshold = 80;
inline constexpr int kPalestThreshold = 176;

// What the search learns of a whole scan from samples of its dip track
// before it looks for dots, and how it prepares each band by that: uneven or
// tinted paper levelled to white, specks cleared where the scan is noisy,
// and faded ink stretched back towards black. A clean scan is read as it is.
struct ScanTraits {
    bool bilevel = false;     // black and white only, as a fax: nothing to level
    bool levelPaper = false;  // the paper's own level varies or is tinted
    int paperKernel = 35;     // a closing this wide takes every dot and tail off the paper
    double stretch = 1;       // how far darkness is stretched, so that ink lands near black
    double noise = 0;         // the share of the paper's pixels that are isolated specks
    bool despeckle = false;   // specks are cleared by a median of 3 first
    int threshold = 128;      // grey levels below it are ink, in the prepared picture
    double inkContrast = 1;   // the ink's dark end against the paper, in the prepared picture, 0 to 1
};
