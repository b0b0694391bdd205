#pragma once
// Every size and position in the code is a value at 96 DPI. Where it is used
// it is scaled to the DPI of the window it lands in, so that the panel looks
// the same on a 150 % or 200 % screen as on a 100 % one.

namespace kestro {

constexpr int kBaseDpi = 96;

// `value` pixels at 96 DPI as pixels at `dpi`, rounded to the nearest pixel
// (halves away from zero, as MulDiv does). A DPI of 0 or less means 96.
constexpr int ScaleToDpi(int value, int dpi) {
  if (dpi <= 0 || dpi == kBaseDpi) return value;
  long long scaled = static_cast<long long>(value) * dpi;
  long long rounded = scaled >= 0 ? (scaled + kBaseDpi / 2) / kBaseDpi : -((-scaled + kBaseDpi / 2) / kBaseDpi);
  return static_cast<int>(rounded);
}

}  // namespace kestro
