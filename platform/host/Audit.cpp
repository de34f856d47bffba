#include "platform/host/Audit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <variant>

#include "platform/foundation/UnicodeText.h"
#include "platform/ui/drawing/Contrast.h"
#include "platform/ui/drawing/DrawCommand.h"

namespace Host {

namespace {

using SwiftUI::LayoutNode;
using SwiftUI::ViewKind;
namespace Drawing = SwiftUI::Drawing;
using Drawing::Point;
using Drawing::Rect;
using Drawing::RGBA;

// How close two computations of one frame must agree for a draw command to
// belong to a laid-out element.
constexpr double sameGeometry = 1e-6;

enum class Part : std::uint8_t { text, symbol, ring, bar, button };

// A laid-out view the audit looks at.
struct Element {
  const LayoutNode* node = nullptr;
  std::size_t content = 0;
  Part part = Part::text;
  std::string path;
  Rect frame;              // the view's own frame, in canvas points
  bool invisible = false;  // under an opacity of 0: nothing of it is drawn
  bool drawn = false;      // a draw command of it was found
  bool measured = false;   // its contrast was measured
  std::optional<Finding> contrast;
};

bool isEmpty(const Rect& r) {
  return !(r.width > 0) || !(r.height > 0);
}

Rect intersection(const Rect& a, const Rect& b) {
  const double x = std::max(a.x, b.x), y = std::max(a.y, b.y);
  const double maxX = std::min(a.maxX(), b.maxX()), maxY = std::min(a.maxY(), b.maxY());
  return {x, y, std::max(0.0, maxX - x), std::max(0.0, maxY - y)};
}

// How far `p` lies outside `r` along the axes (negative inside).
double outside(const Rect& r, Point p) {
  return std::max({r.x - p.x, p.x - r.maxX(), r.y - p.y, p.y - r.maxY()});
}

// The distance from `p` to `r` (0 inside).
double distance(const Rect& r, Point p) {
  const double dx = std::max({r.x - p.x, 0.0, p.x - r.maxX()});
  const double dy = std::max({r.y - p.y, 0.0, p.y - r.maxY()});
  return std::hypot(dx, dy);
}

// A rounded rectangle: the rect shrunk by the radius, grown by a disc.
struct RoundedRect {
  Rect rect;
  double radius = 0;

  double coreRadius() const {
    return std::clamp(radius, 0.0, std::min(rect.width, rect.height) / 2);
  }
  Rect core() const { return rect.insetBy(coreRadius(), coreRadius()); }
  // How far `p` lies outside the shape (negative inside).
  double depth(Point p) const {
    const Rect c = core();
    const double d = distance(c, p);
    return d > 0 ? d - coreRadius() : outside(c, p) - coreRadius();
  }
  bool contains(Point p) const { return depth(p) <= 0; }
};

std::array<Point, 4> corners(const Rect& r) {
  return {Point{r.x, r.y}, Point{r.maxX(), r.y}, Point{r.x, r.maxY()}, Point{r.maxX(), r.maxY()}};
}

// What the platform shows of one content rect of a presentation.
struct Visible {
  RoundedRect shape;
  std::optional<Rect> side;  // the compact island's side

  Rect bounds() const { return side ? intersection(shape.rect, *side) : shape.rect; }
  bool shows(Point p) const { return shape.contains(p) && outside(bounds(), p) <= 0; }
};

// --- What lies under an element ---

struct GradientLayer {
  Drawing::FillLinearGradient fill;
  double opacity = 1;
};
struct ShapeLayer {
  RoundedRect shape;
  RGBA color;
};
struct RingLayer {
  Point center;
  double radius = 0;
  double halfWidth = 0;
  RGBA color;
};
using Layer = std::variant<GradientLayer, ShapeLayer, RingLayer>;

// The colour the picture has at `p` after `layers`, composited in order.
RGBA backgroundAt(const std::vector<Layer>& layers, Point p) {
  RGBA color{0, 0, 0, 1};
  for (const Layer& layer : layers) {
    if (const auto* g = std::get_if<GradientLayer>(&layer)) {
      if (outside(g->fill.rect, p) <= 0) {
        color = Drawing::over(Drawing::colorAt(g->fill, p).multipliedAlpha(g->opacity), color);
      }
    } else if (const auto* s = std::get_if<ShapeLayer>(&layer)) {
      if (s->shape.contains(p)) color = Drawing::over(s->color, color);
    } else if (const auto* r = std::get_if<RingLayer>(&layer)) {
      const double d = std::hypot(p.x - r->center.x, p.y - r->center.y);
      if (std::abs(d - r->radius) <= r->halfWidth) color = Drawing::over(r->color, color);
    }
  }
  return color;
}

// The worst contrast of `ink` over `layers` (with `under` drawn over them
// first, if any) among `spots`.
struct Measurement {
  double ratio = 0;
  RGBA foreground, background;
};
std::optional<Measurement> worstContrast(const std::vector<Layer>& layers,
                                         const std::vector<Point>& spots, const RGBA& ink,
                                         const std::optional<RGBA>& under = std::nullopt) {
  std::optional<Measurement> worst;
  for (Point p : spots) {
    RGBA background = backgroundAt(layers, p);
    if (under) background = Drawing::over(*under, background);
    const RGBA foreground = Drawing::over(ink, background);
    const double ratio = Drawing::contrastRatio(foreground, background);
    if (!worst || ratio < worst->ratio) worst = Measurement{ratio, foreground, background};
  }
  return worst;
}

// The corners (a hair inside) and centre of the part of `frame` that shows.
std::vector<Point> spotsOver(const Rect& frame, const Visible& visible) {
  const Rect shown = intersection(frame, visible.bounds());
  if (isEmpty(shown)) return {};
  const double e = std::min({1e-3, shown.width / 4, shown.height / 4});
  std::vector<Point> spots;
  for (Point p : corners(shown.insetBy(e, e))) {
    if (visible.shape.contains(p)) spots.push_back(p);
  }
  spots.push_back(shown.center());
  return spots;
}

// --- Collecting elements ---

bool transparent(const LayoutNode& node) {
  for (const SwiftUI::Modifier& m : node.view.modifiers()) {
    if (const auto* o = std::get_if<SwiftUI::OpacityModifier>(&m); o && !(o->opacity > 0)) {
      return true;
    }
  }
  return false;
}

void collect(const PlacedPresentation& placed, std::size_t content, const LayoutNode& node,
             const std::string& path, bool invisible, std::vector<Element>& out) {
  invisible = invisible || transparent(node);
  std::optional<Part> part;
  switch (node.view.kind()) {
    case ViewKind::text: part = Part::text; break;
    case ViewKind::image: part = Part::symbol; break;
    case ViewKind::circle: part = Part::ring; break;
    case ViewKind::progressView: part = Part::bar; break;
    case ViewKind::button: part = Part::button; break;
    default: break;
  }
  if (part) {
    Element& element = out.emplace_back();
    element.node = &node;
    element.content = content;
    element.part = *part;
    element.path = path;
    element.frame = placed.onCanvas(content, node.contentFrame());
    element.invisible = invisible;
  }
  for (std::size_t i = 0; i < node.children.size(); ++i) {
    const LayoutNode& child = node.children[i];
    collect(placed, content, child,
            path + "/" + std::string(SwiftUI::nameOf(child.view.kind())) + "[" + std::to_string(i) +
                "]",
            invisible, out);
  }
}

// --- Texts ---

// The truncated and brokenWord findings of a text element.
void textFindings(const Element& element, const std::string& text, const Finding& base,
                  std::vector<Finding>& out) {
  const SwiftUI::LaidOutText& laidOut = element.node->text;
  const std::vector<SwiftUI::TextLine>& lines = laidOut.lines;
  std::string shown;
  for (std::size_t i = 0; i < lines.size(); ++i) shown += (i ? "\n" : "") + lines[i].text;
  if (laidOut.truncated || laidOut.hiddenLines > 0) {
    Finding f = base;
    f.kind = FindingKind::truncated;
    f.shown = shown;
    out.push_back(std::move(f));
  }
  // Each line but the last starts where the text does at `pos`; the break
  // after it lies inside a word when no space ends it and the rules offer
  // no break there.
  std::size_t pos = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i].text;
    if (text.compare(pos, line.size(), line) != 0) break;
    pos += line.size();
    std::size_t next = pos;
    while (next < text.size() && text[next] == ' ') ++next;
    if (next == pos && pos < text.size() && !Foundation::isLineBreakOpportunity(text, pos)) {
      Finding f = base;
      f.kind = FindingKind::brokenWord;
      for (const SwiftUI::TextLine& l : lines) f.lines.push_back(l.text);
      out.push_back(std::move(f));
      return;
    }
    pos = next;
  }
}

bool isLargeText(const Drawing::FontDescriptor& font) {
  return font.size >= 18 || (font.size >= 14 && font.weight >= Drawing::FontWeight::bold);
}

// --- The draw list, read against the elements ---

// Walks a picture's commands, keeping what has been drawn so far as layers,
// and measures each element's contrast when its own command comes.
class PictureReader {
 public:
  PictureReader(const PlacedPresentation& placed, std::vector<Element>& elements,
                const std::vector<Visible>& visible)
      : placed_(placed), elements_(elements), visible_(visible) {}

  void read(const Drawing::DrawList& list) {
    for (const Drawing::DrawCommand& command : list) std::visit(*this, command);
  }

  void operator()(const Drawing::PushTransform& c) {
    const Drawing::AffineTransform& t = c.transform;
    State s = state();
    // The drawn transform applies `t` first; the layout one only moves.
    s.drawn = s.drawn.after(t);
    if (t.a == 1 && t.b == 0 && t.c == 0 && t.d == 1) s.layout = s.layout.after(t);
    states_.push_back(s);
  }
  void operator()(const Drawing::PopTransform&) { pop(); }
  void operator()(const Drawing::BeginOpacity& c) {
    State s = state();
    s.opacity *= std::clamp(c.opacity != c.opacity ? 0.0 : c.opacity, 0.0, 1.0);
    states_.push_back(s);
  }
  void operator()(const Drawing::EndOpacity&) { pop(); }
  void operator()(const Drawing::PushClip&) {}
  void operator()(const Drawing::PopClip&) {}

  void operator()(const Drawing::FillLinearGradient& c) {
    Drawing::FillLinearGradient fill = c;
    fill.rect = drawnRect(c.rect);
    fill.start = state().drawn.apply(c.start);
    fill.end = state().drawn.apply(c.end);
    layers_.push_back(GradientLayer{fill, state().opacity});
  }
  void operator()(const Drawing::FillRoundedRect& c) {
    layers_.push_back(ShapeLayer{{drawnRect(c.rect), c.cornerRadius}, ink(c.paint)});
  }
  void operator()(const Drawing::FillCircle& c) {
    const Point center = state().drawn.apply(c.center);
    const Rect rect{center.x - c.radius, center.y - c.radius, 2 * c.radius, 2 * c.radius};
    match(Part::ring, [&](const Element& e) { return sameCircle(e, c.center, c.radius); });
    layers_.push_back(ShapeLayer{{rect, c.radius}, ink(c.paint)});
  }
  void operator()(const Drawing::StrokeCircle& c) {
    const Point center = state().drawn.apply(c.center);
    const RGBA color = ink(c.paint);
    const auto arc = Drawing::trimmedCircleArc(c.trimFrom, c.trimTo);
    Element* element =
        match(Part::ring, [&](const Element& e) { return sameCircle(e, c.center, c.radius); });
    if (element && arc && element->node->view.modifier<SwiftUI::TrimModifier>()) {
      // An arc that carries meaning, measured on its line over what is under it.
      std::vector<Point> spots;
      for (double angle = 0; angle < 2 * std::numbers::pi; angle += std::numbers::pi / 2) {
        const Point p{center.x + c.radius * std::cos(angle), center.y + c.radius * std::sin(angle)};
        if (visible_[element->content].shows(p)) spots.push_back(p);
      }
      graphic(*element, worstContrast(layers_, spots, color));
    }
    if (arc && arc->sweep >= 2 * std::numbers::pi - 1e-9) {
      layers_.push_back(RingLayer{center, c.radius, c.style.lineWidth / 2, color});
    }
  }
  void operator()(const Drawing::DrawProgressBar& c) {
    const Rect rect = layoutRect(c.rect);
    Element* element = match(Part::bar, [&](const Element& e) { return sameRect(e.frame, rect); });
    const Drawing::ProgressBarGeometry geometry = Drawing::progressBarGeometry(c.rect, c.value);
    const RGBA track =
        c.track ? ink(*c.track)
                : Drawing::progressTrackColor(placed_.appearance).multipliedAlpha(state().opacity);
    const RGBA tint = ink(c.tint);
    if (element && geometry.fill) {
      const Rect fill = drawnRect(*geometry.fill);
      const double y = fill.midY();
      const double inset = std::min(fill.width / 2, geometry.cornerRadius);
      std::vector<Point> spots;
      for (Point p :
           {Point{fill.x + inset, y}, Point{fill.midX(), y}, Point{fill.maxX() - inset, y}}) {
        if (visible_[element->content].shows(p)) spots.push_back(p);
      }
      graphic(*element, worstContrast(layers_, spots, tint, track));
    }
    const double radius = geometry.cornerRadius * std::abs(state().drawn.d);
    layers_.push_back(ShapeLayer{{drawnRect(geometry.track), radius}, track});
    if (geometry.fill) layers_.push_back(ShapeLayer{{drawnRect(*geometry.fill), radius}, tint});
  }
  void operator()(const Drawing::DrawText& c) {
    const Point origin = state().layout.apply(c.origin);
    Element* element = match(Part::text, [&](const Element& e) {
      return origin.x >= e.frame.x - 0.5 && origin.x <= e.frame.maxX() + 0.5 &&
             origin.y >= e.frame.y && origin.y <= e.frame.maxY();
    });
    if (!element || element->measured || element->node->text.lines.empty()) return;
    element->measured = true;
    const double required = isLargeText(element->node->environment.font) ? minimumLargeTextContrast
                                                                         : minimumTextContrast;
    measure(
        *element,
        worstContrast(layers_, spotsOver(element->frame, visible_[element->content]), ink(c.color)),
        required);
  }
  void operator()(const Drawing::DrawSymbol& c) {
    const Rect rect = layoutRect(c.rect);
    Element* element =
        match(Part::symbol, [&](const Element& e) { return sameRect(e.frame, rect); });
    if (!element) return;
    graphic(*element, worstContrast(layers_, spotsOver(element->frame, visible_[element->content]),
                                    ink(c.color)));
  }
  void operator()(const Drawing::StrokeRoundedRect&) {}
  void operator()(const Drawing::StrokePath&) {}

 private:
  struct State {
    Drawing::AffineTransform drawn;   // every transform
    Drawing::AffineTransform layout;  // the translations only: where layout put things
    double opacity = 1;
  };

  const State& state() const {
    static const State root{};
    return states_.empty() ? root : states_.back();
  }
  void pop() {
    if (!states_.empty()) states_.pop_back();
  }

  RGBA ink(const Drawing::Paint& paint) const {
    const RGBA color = std::holds_alternative<RGBA>(paint)
                           ? std::get<RGBA>(paint)
                           : Drawing::resolve(std::get<SwiftUI::Color>(paint), placed_.appearance);
    return color.multipliedAlpha(state().opacity);
  }
  static Rect mapped(const Drawing::AffineTransform& t, const Rect& r) {
    const Point a = t.apply({r.x, r.y}), b = t.apply({r.maxX(), r.maxY()});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
  }
  Rect drawnRect(const Rect& r) const { return mapped(state().drawn, r); }
  Rect layoutRect(const Rect& r) const { return mapped(state().layout, r); }

  static bool sameRect(const Rect& a, const Rect& b) {
    return std::abs(a.x - b.x) < sameGeometry && std::abs(a.y - b.y) < sameGeometry &&
           std::abs(a.width - b.width) < sameGeometry &&
           std::abs(a.height - b.height) < sameGeometry;
  }
  bool sameCircle(const Element& e, Point center, double radius) const {
    const Point c = state().layout.apply(center);
    return std::abs(e.frame.midX() - c.x) < sameGeometry &&
           std::abs(e.frame.midY() - c.y) < sameGeometry &&
           std::abs(std::min(e.frame.width, e.frame.height) / 2 - radius) < sameGeometry;
  }

  // The element of `part` a command draws: the last one matched if it is
  // still the one (a text's further lines), else the next that fits.
  template <typename Fits>
  Element* match(Part part, Fits fits) {
    if (last_ && last_->part == part && part == Part::text && fits(*last_)) return last_;
    for (std::size_t i = next_; i < elements_.size(); ++i) {
      Element& e = elements_[i];
      if (e.part == part && !e.invisible && fits(e)) {
        next_ = i + 1;
        last_ = &e;
        e.drawn = true;
        return &e;
      }
    }
    return nullptr;
  }

  void measure(Element& element, const std::optional<Measurement>& worst, double required) {
    if (!worst || worst->ratio >= required) return;
    if (element.contrast && element.contrast->measured <= worst->ratio) return;
    Finding f;
    f.kind = FindingKind::contrast;
    f.measured = worst->ratio;
    f.required = required;
    f.foreground = worst->foreground;
    f.background = worst->background;
    element.contrast = std::move(f);
  }
  void graphic(Element& element, const std::optional<Measurement>& worst) {
    measure(element, worst, minimumGraphicContrast);
  }

  const PlacedPresentation& placed_;
  std::vector<Element>& elements_;
  const std::vector<Visible>& visible_;
  std::vector<State> states_;
  std::vector<Layer> layers_;
  std::size_t next_ = 0;
  Element* last_ = nullptr;
};

// The shape the chrome clips content to, read from its first PushClip.
RoundedRect clipShape(const PlacedPresentation& placed) {
  for (const Drawing::DrawCommand& c : placed.chrome.background) {
    if (const auto* clip = std::get_if<Drawing::PushClip>(&c))
      return {clip->rect, clip->cornerRadius};
  }
  return {placed.chrome.shape, 0};
}

// How far an element reaches past what shows, and whether none of it shows;
// nullopt within clipTolerance.
struct Clip {
  double hidden = 0;
  bool wholly = false;
};
std::optional<Clip> clipping(const Element& element, const Visible& visible) {
  const Rect& f = element.frame;
  if (isEmpty(f)) return std::nullopt;
  double hidden = 0;
  for (Point p : corners(f)) {
    hidden = std::max(hidden, visible.shape.depth(p));
    if (visible.side) hidden = std::max(hidden, outside(*visible.side, p));
  }
  if (hidden <= clipTolerance) return std::nullopt;
  // Wholly hidden: the frame misses the shape (its core grown by its
  // radius), or the side.
  const Rect core = visible.shape.core();
  const double dx = std::max({core.x - f.maxX(), 0.0, f.x - core.maxX()});
  const double dy = std::max({core.y - f.maxY(), 0.0, f.y - core.maxY()});
  bool wholly = std::hypot(dx, dy) >= visible.shape.coreRadius();
  if (visible.side) wholly = wholly || isEmpty(intersection(f, *visible.side));
  return Clip{hidden, wholly};
}

}  // namespace

std::string_view nameOf(FindingKind kind) {
  switch (kind) {
    case FindingKind::truncated: return "truncated";
    case FindingKind::brokenWord: return "brokenWord";
    case FindingKind::clipped: return "clipped";
    case FindingKind::contrast: return "contrast";
    case FindingKind::tapTarget: return "tapTarget";
  }
  return "truncated";
}

std::optional<FindingKind> findingKindNamed(std::string_view name) {
  for (FindingKind kind : allFindingKinds) {
    if (nameOf(kind) == name) return kind;
  }
  return std::nullopt;
}

std::string variantName(const PictureVariant& variant) {
  return std::string(Drawing::appearanceName(variant.appearance)) + "/" +
         std::string(Drawing::dynamicTypeSizeName(variant.textSize)) + "/" +
         std::string(nameOf(variant.screen));
}

std::optional<PictureVariant> variantNamed(std::string_view name) {
  const std::size_t first = name.find('/');
  const std::size_t second = first == std::string_view::npos ? first : name.find('/', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto appearance = Drawing::appearanceNamed(name.substr(0, first));
  const auto size = Drawing::dynamicTypeSizeNamed(name.substr(first + 1, second - first - 1));
  const auto screen = screenSizeNamed(name.substr(second + 1));
  if (!appearance || !size || !screen) return std::nullopt;
  return PictureVariant{*appearance, *size, *screen};
}

FindingKey Finding::key() const {
  return {state, presentation, variantName(variant), kind, element};
}

void auditPlaced(const PlacedPresentation& placed, const Picture& picture, std::string_view state,
                 const PictureVariant& variant, Foundation::Date now, std::vector<Finding>& out) {
  std::vector<Element> elements;
  std::vector<Visible> visible;
  const RoundedRect shape = clipShape(placed);
  for (std::size_t i = 0; i < placed.contents.size(); ++i) {
    const PlacedPresentation::Content& content = placed.contents[i];
    for (std::size_t n = 0; n < content.nodes.size(); ++n) {
      const LayoutNode& node = content.nodes[n];
      const std::string name(n < content.names.size() ? content.names[n] : "content");
      collect(placed, i, node, name + "/" + std::string(SwiftUI::nameOf(node.view.kind())), false,
              elements);
    }
    Visible v{shape, std::nullopt};
    if (placed.kind == PresentationKind::compact) v.side = placed.chrome.content.at(i);
    visible.push_back(v);
  }
  PictureReader(placed, elements, visible).read(picture.list);

  const bool buttonsAct =
      placed.kind == PresentationKind::lockScreen || placed.kind == PresentationKind::expanded;
  for (const Element& element : elements) {
    if (element.invisible) continue;
    Finding base;
    base.state = state;
    base.presentation = placed.kind;
    base.variant = variant;
    base.element = element.path;
    base.frame = element.frame;
    if (element.part == Part::text) {
      base.text = element.node->view.as<SwiftUI::TextNode>()->displayText(now);
      textFindings(element, *base.text, base, out);
    }
    if (element.part == Part::button) {
      if (!buttonsAct) continue;
      for (const ButtonRegion& region : placed.buttons) {
        if (&region.button.content() != &element.node->view.content()) continue;
        if (region.frame.width < minimumTapTarget || region.frame.height < minimumTapTarget) {
          Finding f = base;
          f.kind = FindingKind::tapTarget;
          f.frame = region.frame;
          f.measured = std::min(region.frame.width, region.frame.height);
          f.required = minimumTapTarget;
          out.push_back(std::move(f));
        }
      }
      continue;
    }
    if (!element.drawn) continue;
    if (const auto clipped = clipping(element, visible[element.content])) {
      Finding f = base;
      f.kind = FindingKind::clipped;
      f.hidden = clipped->hidden;
      f.wholly = clipped->wholly;
      out.push_back(std::move(f));
    }
    if (element.contrast) {
      Finding f = base;
      f.kind = FindingKind::contrast;
      f.measured = element.contrast->measured;
      f.required = element.contrast->required;
      f.foreground = element.contrast->foreground;
      f.background = element.contrast->background;
      out.push_back(std::move(f));
    }
  }
}

void Auditor::audit(std::string_view state, const ActivityPresentations& presentations,
                    PresentationKind kind, const PictureVariant& variant, Foundation::Date now,
                    std::vector<Finding>& out) {
  if (renderer_.variant() != variant) renderer_.setVariant(variant);
  const PlacedPresentation placed = renderer_.place(presentations, kind, now);
  auditPlaced(placed, PresentationRenderer::picture(placed), state, variant, now, out);
}

std::vector<PictureVariant> allPictureVariants() {
  std::vector<PictureVariant> variants;
  for (Drawing::Appearance appearance : Drawing::allAppearances) {
    for (Drawing::DynamicTypeSize size : Drawing::allDynamicTypeSizes) {
      for (ScreenSize screen : allScreenSizes) {
        variants.push_back({appearance, size, screen});
      }
    }
  }
  return variants;
}

AuditRun auditSubjects(const Drawing::TextMeasurer& measurer,
                       const std::vector<AuditSubject>& subjects,
                       const std::vector<PresentationKind>& kinds,
                       const std::vector<PictureVariant>& variants) {
  AuditRun run;
  run.variants = variants.size();
  Auditor auditor(measurer);
  std::vector<std::string> names;
  for (const PictureVariant& variant : variants) names.push_back(variantName(variant));
  for (const AuditSubject& subject : subjects) {
    for (std::size_t v = 0; v < variants.size(); ++v) {
      for (PresentationKind kind : kinds) {
        auditor.audit(subject.name, subject.presentations, kind, variants[v], subject.now,
                      run.findings);
        run.audited.emplace(subject.name, kind, names[v]);
      }
    }
  }
  return run;
}

}  // namespace Host
