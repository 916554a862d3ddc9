// The base of the copy and move tests that run in both directions over a
// transfer rig: the parameter is the source's side.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/transfer_rig.h"

namespace duplane {

class CopyDirectionTest : public ::testing::TestWithParam<Side> {
 protected:
  Side s() const { return GetParam(); }
  Side t() const { return Other(GetParam()); }
  std::string source_name() const { return SideName(s()); }
  std::string target_name() const { return SideName(t()); }
  // Native paths on the source and the target side from '/'-separated ones.
  std::string S(const std::string& relative) const { return rig_.Native(s(), relative); }
  std::string T(const std::string& relative) const { return rig_.Native(t(), relative); }

  TransferRig rig_;
};

// Names the two instances of a suite by their direction.
inline std::string DirectionName(const ::testing::TestParamInfo<Side>& info) {
  return info.param == Side::kLocal ? "LocalToRemote" : "RemoteToLocal";
}

}  // namespace duplane
