// Views are values that a modifier never changes in place; children are
// included only when present.
#include <gtest/gtest.h>

#include <type_traits>

#include "platform/ui/ViewQuery.h"
#include "platform/ui/Views.h"

namespace {

using namespace SwiftUI;

static_assert(!std::is_constructible_v<Text, const char*>,
              "a C string must say whether it is verbatim or localizable");

TEST(ViewValue, AModifierLeavesTheOriginalUnchanged) {
  View plain = Circle();
  View stroked = plain.stroke(Color::blue, 3);
  EXPECT_TRUE(plain.modifiers().empty());
  EXPECT_NE(plain, stroked);
  // A chain on a temporary that shares its node with another view must not
  // change that view either.
  View copy = plain;
  View faded = std::move(copy).opacity(0.5).padding(4);
  EXPECT_TRUE(plain.modifiers().empty());
  EXPECT_EQ(faded.modifiers().size(), 2u);
}

TEST(ChildOnlyWhen, EmptyEntriesAreLeftOutAndNotBuilt) {
  int built = 0;
  auto counted = [&] {
    ++built;
    return Text::verbatim("timer");
  };
  View without = HStack({Text::verbatim("a"), If(false, counted), Spacer()});
  EXPECT_EQ(built, 0);
  ASSERT_EQ(without.children().size(), 2u);
  EXPECT_EQ(without.children()[1].kind(), ViewKind::spacer);

  View with = HStack({Text::verbatim("a"), If(true, counted), Spacer()});
  EXPECT_EQ(built, 1);
  ASSERT_EQ(with.children().size(), 3u);
  EXPECT_EQ(textOf(with.children()[1]), "timer");
}

}  // namespace
