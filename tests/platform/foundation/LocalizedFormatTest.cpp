// Localizable formats rendered in their default form.
#include "platform/foundation/LocalizedFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(LocalizedFormat, RendersPlaceholdersAndKeepsThoseWithoutArgument) {
  using Args = std::vector<Foundation::FormatArgument>;
  EXPECT_EQ(Foundation::renderFormat("%lld%%", Args{std::int64_t{42}}), "42%");
  EXPECT_EQ(Foundation::renderFormat("%lld", Args{std::int64_t{-7}}), "-7");
  EXPECT_EQ(Foundation::renderFormat("%@ / %@", Args{std::string("1.2 GB"), std::string("3.4 GB")}),
            "1.2 GB / 3.4 GB");
  // Positional placeholders, as a translation may reorder them.
  EXPECT_EQ(Foundation::renderFormat("%2$@ %1$@", Args{std::string("a"), std::string("b")}), "b a");
  // A placeholder without an argument, or a lone "%", stays as written.
  EXPECT_EQ(Foundation::renderFormat("%lld and %@", Args{std::int64_t{1}}), "1 and %@");
  EXPECT_EQ(Foundation::renderFormat("50%", Args{}), "50%");
}

}  // namespace
