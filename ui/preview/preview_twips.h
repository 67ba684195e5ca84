#pragma once

namespace ostrel::ui {

// The preview window's layout is drawn in twips; 15 twips make one pixel at
// the usual 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

}  // namespace ostrel::ui
