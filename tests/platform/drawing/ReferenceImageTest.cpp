// A last look at pixels: a ring and a progress bar compared, with a tolerance
// for antialiasing, against pictures computed from an analytic model of the
// shapes (reference/make_reference.py).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "TestImage.h"

namespace SwiftUI::Drawing {
namespace {

using testing::expectClose;

TEST(ReferenceImage, Ring) {
  const SurfacePtr ref = testing::loadReference("ring.png");
  ASSERT_TRUE(ref);
  const DrawList list{
      StrokeCircle{{16, 16}, 12, 0, 1, StrokeStyle{3}, Color::blue.opacity(0.3)},
      PushTransform{AffineTransform::rotation(-std::numbers::pi / 2, {16, 16})},
      StrokeCircle{{16, 16}, 12, 0, 0.3, StrokeStyle{3, LineCap::round}, Color::blue},
      PopTransform{},
  };
  auto image = testing::draw(list, {32, 32}, 2);
  ASSERT_TRUE(image);
  expectClose(image.get(), ref.get(), 1.0, 48);
}

TEST(ReferenceImage, ProgressBar) {
  const SurfacePtr ref = testing::loadReference("progress-bar.png");
  ASSERT_TRUE(ref);
  auto image =
      testing::draw({DrawProgressBar{{4, 2, 72, 4}, 0.6, Color::green, std::nullopt}}, {80, 8}, 2);
  ASSERT_TRUE(image);
  expectClose(image.get(), ref.get(), 1.0, 48);
}

}  // namespace
}  // namespace SwiftUI::Drawing
