// Views are values: modifiers kept in order, equality over the whole tree,
// children included only when present.
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
  EXPECT_EQ(stroked.modifiers().size(), 1u);
  EXPECT_NE(plain, stroked);
  // A chain on a temporary that shares its node with another view must not
  // change that view either.
  View copy = plain;
  View faded = std::move(copy).opacity(0.5).padding(4);
  EXPECT_TRUE(plain.modifiers().empty());
  EXPECT_EQ(faded.modifiers().size(), 2u);
}

TEST(ViewValue, EqualityComparesTheWholeTree) {
  auto build = [](double progress, Color color) {
    return HStack(VerticalAlignment::center, 10,
                  {Circle().trim(0, progress).stroke(color, 3), Spacer(), Text::verbatim("x")});
  };
  EXPECT_EQ(build(0.42, Color::blue), build(0.42, Color::blue));
  EXPECT_NE(build(0.42, Color::blue), build(0.43, Color::blue));
  EXPECT_NE(build(0.42, Color::blue), build(0.42, Color::blue.opacity(0.3)));
  // The same modifiers in another order are another view.
  EXPECT_NE(View(Text::verbatim("a").font(Font::caption).foregroundColor(Color::green)),
            View(Text::verbatim("a").foregroundColor(Color::green).font(Font::caption)));
  // Stack fields count: spacing nil is not spacing 8, alignments differ.
  EXPECT_NE(View(VStack(HorizontalAlignment::center, std::nullopt, {})),
            View(VStack(HorizontalAlignment::center, 8, {})));
  EXPECT_NE(View(VStack(HorizontalAlignment::leading, 2, {})),
            View(VStack(HorizontalAlignment::center, 2, {})));
  // Verbatim and localizable texts of the same string differ.
  EXPECT_NE(View(Text::verbatim("Done")), View(Text(LocalizedStringKey("Done"))));
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

// A custom view composes through its body.
struct Badge {
  std::string icon;
  View body() const { return ZStack({Circle(), Image(icon)}); }
};

TEST(CustomViews, ConvertThroughTheirBody) {
  View row = HStack({Badge{"clock"}, Text::verbatim("Queued")});
  ASSERT_EQ(row.children().size(), 2u);
  EXPECT_EQ(row.children()[0], View(ZStack({Circle(), Image("clock")})));
}

}  // namespace
