#include "assets/pictures.h"

namespace torvane::pictures {

const std::array<const char*, 6>& all() {
  static const std::array<const char*, 6> paths{kStartLight, kTitle1, kTitle2, kTitle3, kCredit, kIcon};
  return paths;
}

}  // namespace torvane::pictures
