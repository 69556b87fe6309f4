#pragma once

namespace tervane {

// A frequency band, Hz.
struct Band {
  double lower = 0;
  double upper = 0;
  friend bool operator==(const Band&, const Band&) = default;
};

}  // namespace tervane
