// The draw commands of laid-out trees: colours and fonts from the
// environment, stroke styles as given, values kept as given for the
// renderer to clamp. Then a last look at pixels: a laid-out ring and bar
// against pictures computed from an analytic model of the shapes
// (tests/platform/drawing/reference/make_reference.py).

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string>
#include <tuple>

#include "platform/ui/Layout.h"
#include "platform/ui/Views.h"
#include "platform/ui/drawing/Output.h"
#include "tests/platform/drawing/TestImage.h"

namespace SwiftUI {
namespace {

namespace D = Drawing;

template <class T>
std::vector<T> commandsOf(const D::DrawList& list) {
  std::vector<T> found;
  for (const D::DrawCommand& c : list) {
    if (const T* t = std::get_if<T>(&c)) found.push_back(*t);
  }
  return found;
}

class LayoutDrawingTest : public ::testing::Test {
 protected:
  D::DrawList draw(const View& view, ProposedSize proposal = {}) {
    return drawCommands(engine.layout(view, proposal));
  }
  D::FixedMetricsTextMeasurer measurer;
  LayoutEngine engine{measurer};
};

// Fractions and values are handed on as given, for the renderer to clamp;
// a bar's value is its fraction of the total, its tint the accent (blue)
// unless one is given.
TEST_F(LayoutDrawingTest, ValuesKeptForTheRendererToClamp) {
  const auto arc = commandsOf<D::StrokeCircle>(
      draw(Circle().trim(0, 1.5).stroke(Color::blue, 2).frame({.width = 24, .height = 24})));
  EXPECT_EQ(arc.at(0).trimTo, 1.5);
  const auto barOf = [&](const View& view) {
    return commandsOf<D::DrawProgressBar>(draw(view, {100, std::nullopt})).at(0);
  };
  EXPECT_EQ(barOf(ProgressView(0.5, 1)),
            (D::DrawProgressBar{{0, 0, 100, 4}, 0.5, D::Paint(Color::blue), std::nullopt}));
  EXPECT_EQ(barOf(ProgressView(1.5, 1)).value, 1.5);
  EXPECT_EQ(barOf(ProgressView(3, 4)).value, 0.75);
  EXPECT_EQ(barOf(ProgressView(0.5, 1).tint(Color::purple)).tint, D::Paint(Color::purple));
}

// Strokes keep every part of their style.
TEST_F(LayoutDrawingTest, StrokeStylesPassThrough) {
  const StrokeStyle dashed{.lineWidth = 1.5,
                           .lineCap = CGLineCap::square,
                           .lineJoin = CGLineJoin::bevel,
                           .miterLimit = 4,
                           .dash = {2, 1},
                           .dashPhase = 0.5};
  const auto circles = commandsOf<D::StrokeCircle>(
      draw(Circle().stroke(Color::green, dashed).frame({.width = 10, .height = 20})));
  const D::StrokeStyle style(1.5, D::LineCap::square, D::LineJoin::bevel, 4, {2, 1}, 0.5);
  // Inscribed: the shorter side's half.
  const D::StrokeCircle circle{D::Point{5, 10}, 5, 0, 1, style, D::Paint(Color::green)};
  EXPECT_EQ(circles, std::vector<D::StrokeCircle>{circle});
  // Without a stroke a circle is filled in the foreground colour.
  EXPECT_EQ(draw(Circle().foregroundColor(Color::green).frame({.width = 8, .height = 8})),
            (D::DrawList{D::FillCircle{{4, 4}, 4, Color::green}}));
}

// Text: the style's font with the weight given, the baseline at the line's
// top plus the ascent and half the leading (caption2: 8.8 + (13 − 11) / 2),
// the primary colour when none is set; the innermost colour and font win.
TEST_F(LayoutDrawingTest, TextFontsColoursAndBaselines) {
  const View footer =
      HStack(VerticalAlignment::center, 3.0,
             {
                 Image("clock"),
                 Text::verbatim("5:30"),
                 Text::verbatim("Paused").foregroundColor(Color::orange).font(Font::caption),
             })
          .font(Font::caption2)
          .foregroundColor(Color::secondary);
  const D::DrawList list = draw(footer);
  const auto texts = commandsOf<D::DrawText>(list);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "5:30");
  EXPECT_EQ(texts[0].font, D::FontDescriptor::textStyle(D::TextStyle::caption2));
  EXPECT_EQ(texts[0].color, D::Paint(Color::secondary));
  EXPECT_NEAR(texts[0].origin.x, 14, 1e-9);
  EXPECT_NEAR(texts[0].origin.y, 1.5 + 9.8, 1e-9);  // centred in the row's 16
  EXPECT_NEAR(texts[0].width, 22, 1e-9);
  EXPECT_EQ(texts[1].font, D::FontDescriptor::textStyle(D::TextStyle::caption));
  EXPECT_EQ(texts[1].color, D::Paint(Color::orange));
  EXPECT_EQ(commandsOf<D::DrawSymbol>(list),
            (std::vector<D::DrawSymbol>{
                {"clock", {0, 2.5, 11, 11}, D::FontWeight::regular, D::Paint(Color::secondary)}}));

  EXPECT_EQ(commandsOf<D::DrawText>(draw(Text::verbatim("x"))).at(0).color,
            D::Paint(Color::primary));
  // Every node keeps the environment resolved for it, a stack's too.
  const LayoutNode laidOut = engine.layout(footer, {});
  EXPECT_EQ(laidOut.environment,
            (ResolvedEnvironment{D::FontDescriptor::textStyle(D::TextStyle::caption2),
                                 Color::secondary, Color::blue}));
  EXPECT_EQ(laidOut.children.at(2).environment.foreground, Color::orange);
  // A weight given outside a font still applies to it; monospacedDigit adds
  // tabular figures.
  const auto done = commandsOf<D::DrawText>(draw(
      HStack({Text::verbatim("Done").fontWeight(Font::Weight::semibold)}).font(Font::caption2)));
  EXPECT_EQ(done.at(0).font,
            D::FontDescriptor::textStyle(D::TextStyle::caption2, D::FontWeight::semibold));
  const auto speed =
      commandsOf<D::DrawText>(draw(Text::verbatim("6 MB/s").font(Font::caption).monospacedDigit()));
  EXPECT_TRUE(speed.at(0).font.monospacedDigits);
  // A symbol takes the weight of its environment.
  EXPECT_EQ(commandsOf<D::DrawSymbol>(
                draw(Image("checkmark").font(Font::caption2).fontWeight(Font::Weight::semibold)))
                .at(0)
                .weight,
            D::FontWeight::semibold);
}

// --- Pixels ---

using SwiftUI::Drawing::testing::expectClose;

D::SurfacePtr picture(const D::DrawList& list, D::Size canvas) {
  auto image = D::renderImage(list, canvas, D::RenderOptions{2, D::Appearance::dark});
  return image ? std::move(image).value() : nullptr;
}

// A 24-pt ring padded by 4 has its centre at (16, 16): the reference ring,
// a 3-pt track in blue at 0.3 and a round-capped arc to 0.3 from the top.
// A green bar at 0.6 padded 4 and 2 inside an 80-pt width: the reference
// bar at (4, 2), 72 × 4.
TEST_F(LayoutDrawingTest, LaidOutRingAndBarMatchTheirReferences) {
  const View ring =
      ZStack({
                 Circle().stroke(Color::blue.opacity(0.3),
                                 StrokeStyle{.lineWidth = 3, .lineCap = CGLineCap::butt}),
                 Circle()
                     .trim(0, 0.3)
                     .stroke(Color::blue, StrokeStyle{.lineWidth = 3, .lineCap = CGLineCap::round})
                     .rotationEffect(Angle::degrees(-90)),
             })
          .frame({.width = 24, .height = 24})
          .padding(4);
  const View bar = ProgressView(0.6, 1)
                       .tint(Color::green)
                       .padding(Edge::Set::horizontal, 4)
                       .padding(Edge::Set::vertical, 2);
  const std::tuple<const char*, D::DrawList, D::Size> cases[] = {
      {"ring.png", draw(ring), {32, 32}},
      {"progress-bar.png", draw(bar, {80, std::nullopt}), {80, 8}}};
  for (const auto& [name, list, canvas] : cases) {
    const D::SurfacePtr ref = SwiftUI::Drawing::testing::loadReference(name);
    ASSERT_TRUE(ref) << name;
    auto image = picture(list, canvas);
    ASSERT_TRUE(image) << name;
    expectClose(image.get(), ref.get(), 1.0, 48);
  }
}

}  // namespace
}  // namespace SwiftUI
