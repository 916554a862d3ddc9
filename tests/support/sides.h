// The two sides as the parameter of a test suite that runs on each, and the
// names its instances carry ("Local", "Remote").
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "link/link.h"

namespace duplane {

inline auto BothSides() { return ::testing::Values(Side::kRemote, Side::kLocal); }

inline std::string SideParamName(const ::testing::TestParamInfo<Side>& info) {
  return info.param == Side::kLocal ? "Local" : "Remote";
}

}  // namespace duplane
