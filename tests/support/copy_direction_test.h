// The base of the copy and move tests that run in both directions over a
// transfer rig: the parameter is the source's side.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

// A copy's direction as an instance name, from its source's side.
inline std::string DirectionText(Side source) {
  return source == Side::kLocal ? "LocalToRemote" : "RemoteToLocal";
}

// Names the two instances of a suite by their direction.
inline std::string DirectionName(const ::testing::TestParamInfo<Side>& info) {
  return DirectionText(info.param);
}

// The copy tests that run in both directions against a Remote Module with its
// extensions (the fast path) and against one that knows only the plain codes:
// the parameters are the source's side and whether the module has them.
class CopyWayTest : public ::testing::TestWithParam<std::tuple<Side, bool>> {
 protected:
  static ExtensionOptions ModuleExtensions(bool on) {
    ExtensionOptions options;
    options.enabled = on;
    return options;
  }

  Side s() const { return std::get<0>(GetParam()); }
  Side t() const { return Other(s()); }
  bool fast_path() const { return std::get<1>(GetParam()); }
  std::string S(const std::string& relative) const { return rig_.Native(s(), relative); }
  std::string T(const std::string& relative) const { return rig_.Native(t(), relative); }

  TransferRig rig_{ModuleExtensions(fast_path())};
};

// The four ways of a CopyWayTest suite, e.g. LocalToRemoteFastPath.
inline auto CopyWays() {
  return ::testing::Combine(::testing::Values(Side::kRemote, Side::kLocal), ::testing::Bool());
}
inline std::string CopyWayName(const ::testing::TestParamInfo<std::tuple<Side, bool>>& info) {
  return DirectionText(std::get<0>(info.param)) +
         (std::get<1>(info.param) ? "FastPath" : "PlainModule");
}

}  // namespace duplane
