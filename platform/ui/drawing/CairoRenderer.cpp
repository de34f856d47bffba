#include "platform/ui/drawing/CairoRenderer.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/ui/drawing/PangoFonts.h"
#include "platform/ui/drawing/Symbols.h"

namespace SwiftUI::Drawing {

RGBA resolve(const Paint& paint, Appearance appearance) {
  if (const RGBA* rgba = std::get_if<RGBA>(&paint)) return *rgba;
  return resolve(std::get<Color>(paint), appearance);
}

namespace {

constexpr double pi = std::numbers::pi;

bool finite(double v) {
  return std::isfinite(v);
}

void roundedRectPath(cairo_t* cr, const Rect& r, double radius) {
  const double rr = std::min({radius, r.width / 2, r.height / 2});
  if (!(rr > 0)) {
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    return;
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, r.maxX() - rr, r.minY() + rr, rr, -pi / 2, 0);
  cairo_arc(cr, r.maxX() - rr, r.maxY() - rr, rr, 0, pi / 2);
  cairo_arc(cr, r.minX() + rr, r.maxY() - rr, rr, pi / 2, pi);
  cairo_arc(cr, r.minX() + rr, r.minY() + rr, rr, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

bool validRect(const Rect& r) {
  return finite(r.x) && finite(r.y) && finite(r.width) && finite(r.height) && r.width > 0 &&
         r.height > 0;
}

void appendPath(cairo_t* cr, const Path& path) {
  for (const PathElement& e : path.elements) {
    if (const auto* m = std::get_if<MoveTo>(&e)) {
      cairo_move_to(cr, m->to.x, m->to.y);
    } else if (const auto* l = std::get_if<LineTo>(&e)) {
      cairo_line_to(cr, l->to.x, l->to.y);
    } else if (const auto* c = std::get_if<CurveTo>(&e)) {
      cairo_curve_to(cr, c->control1.x, c->control1.y, c->control2.x, c->control2.y, c->to.x,
                     c->to.y);
    } else if (const auto* a = std::get_if<ArcTo>(&e)) {
      if (!(a->radius > 0) || !finite(a->startAngle) || !finite(a->sweep)) continue;
      if (a->sweep >= 0) {
        cairo_arc(cr, a->center.x, a->center.y, a->radius, a->startAngle, a->startAngle + a->sweep);
      } else {
        cairo_arc_negative(cr, a->center.x, a->center.y, a->radius, a->startAngle,
                           a->startAngle + a->sweep);
      }
    } else {
      cairo_close_path(cr);
    }
  }
}

// Applies a stroke style; false when the stroke would draw nothing.
bool applyStroke(cairo_t* cr, const StrokeStyle& s, double widthScale = 1) {
  const double width = s.lineWidth * widthScale;
  if (!(width > 0) || !finite(width)) return false;
  cairo_set_line_width(cr, width);
  switch (s.lineCap) {
    case LineCap::butt: cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT); break;
    case LineCap::round: cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND); break;
    case LineCap::square: cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE); break;
  }
  switch (s.lineJoin) {
    case LineJoin::miter: cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER); break;
    case LineJoin::round: cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND); break;
    case LineJoin::bevel: cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL); break;
  }
  cairo_set_miter_limit(cr, finite(s.miterLimit) ? std::max(1.0, s.miterLimit) : 10.0);
  bool dashOK = !s.dash.empty();
  double total = 0;
  for (double d : s.dash) {
    if (!(d >= 0) || !finite(d))
      dashOK = false;
    else
      total += d;
  }
  if (dashOK && total > 0) {
    cairo_set_dash(cr, s.dash.data(), static_cast<int>(s.dash.size()),
                   finite(s.dashPhase) ? s.dashPhase : 0);
  } else {
    cairo_set_dash(cr, nullptr, 0, 0);
  }
  return true;
}

enum class Scope { clip, opacity, transform, hidden };

class Painter {
 public:
  Painter(cairo_t* cr, const RenderOptions& options) : cr_(cr), options_(options) {}
  ~Painter() {
    if (layout_ != nullptr) g_object_unref(layout_);
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void run(const DrawList& list) {
    for (const DrawCommand& command : list) {
      std::visit([this](const auto& c) { handle(c); }, command);
    }
    while (!scopes_.empty()) close();
  }

 private:
  bool hidden() const { return hiddenDepth_ > 0; }

  void setSource(const Paint& paint) {
    const RGBA c = resolve(paint, options_.appearance);
    cairo_set_source_rgba(cr_, c.red, c.green, c.blue, c.alpha);
  }

  void handle(const FillRoundedRect& c) {
    if (hidden() || !validRect(c.rect)) return;
    cairo_new_path(cr_);
    roundedRectPath(cr_, c.rect, c.cornerRadius);
    setSource(c.paint);
    cairo_fill(cr_);
  }

  void handle(const StrokeRoundedRect& c) {
    if (hidden() || !validRect(c.rect) || !applyStroke(cr_, c.style)) return;
    cairo_new_path(cr_);
    roundedRectPath(cr_, c.rect, c.cornerRadius);
    setSource(c.paint);
    cairo_stroke(cr_);
  }

  void handle(const FillCircle& c) {
    if (hidden() || !(c.radius > 0) || !finite(c.radius)) return;
    cairo_new_path(cr_);
    cairo_arc(cr_, c.center.x, c.center.y, c.radius, 0, 2 * pi);
    setSource(c.paint);
    cairo_fill(cr_);
  }

  void handle(const StrokeCircle& c) {
    if (hidden() || !(c.radius > 0) || !finite(c.radius)) return;
    const std::optional<ArcAngles> arc = trimmedCircleArc(c.trimFrom, c.trimTo);
    if (!arc || !applyStroke(cr_, c.style)) return;
    cairo_new_path(cr_);
    cairo_arc(cr_, c.center.x, c.center.y, c.radius, arc->startAngle, arc->startAngle + arc->sweep);
    if (arc->sweep >= 2 * pi) cairo_close_path(cr_);
    setSource(c.paint);
    cairo_stroke(cr_);
  }

  void handle(const StrokePath& c) {
    if (hidden() || !applyStroke(cr_, c.style)) return;
    cairo_new_path(cr_);
    appendPath(cr_, c.path);
    setSource(c.paint);
    cairo_stroke(cr_);
  }

  void handle(const FillLinearGradient& c) {
    if (hidden() || !validRect(c.rect) || c.stops.empty()) return;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(c.start.x, c.start.y, c.end.x, c.end.y);
    for (const GradientStop& s : c.stops) {
      cairo_pattern_add_color_stop_rgba(pattern, s.location, s.color.red, s.color.green,
                                        s.color.blue, s.color.alpha);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, c.rect.x, c.rect.y, c.rect.width, c.rect.height);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_pattern_destroy(pattern);
  }

  void handle(const DrawProgressBar& c) {
    if (hidden() || !validRect(c.rect)) return;
    const ProgressBarGeometry g = progressBarGeometry(c.rect, c.value);
    cairo_new_path(cr_);
    roundedRectPath(cr_, g.track, g.cornerRadius);
    setSource(c.track ? *c.track : Paint{progressTrackColor(options_.appearance)});
    if (!g.fill) {
      cairo_fill(cr_);
      return;
    }
    cairo_save(cr_);
    cairo_fill_preserve(cr_);
    cairo_clip(cr_);
    roundedRectPath(cr_, *g.fill, g.cornerRadius);
    setSource(c.tint);
    cairo_fill(cr_);
    cairo_restore(cr_);
  }

  void handle(const DrawText& c) {
    if (hidden() || c.text.empty()) return;
    if (layout_ == nullptr) {
      layout_ = detail::newLayout(cr_);
    }
    pango_cairo_update_layout(cr_, layout_);
    detail::setText(layout_, c.text, c.font);
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout_, 0);
    if (line == nullptr) return;
    cairo_new_path(cr_);
    cairo_move_to(cr_, c.origin.x, c.origin.y);
    setSource(c.color);
    pango_cairo_show_layout_line(cr_, line);
  }

  void handle(const DrawSymbol& c) {
    if (hidden() || !validRect(c.rect)) return;
    const SymbolGlyph* glyph = symbolGlyph(c.name);
    cairo_save(cr_);
    const AffineTransform t = symbolTransform(c.rect);
    const cairo_matrix_t m{t.a, t.b, t.c, t.d, t.tx, t.ty};
    cairo_transform(cr_, &m);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_dash(cr_, nullptr, 0, 0);
    const double stroke = symbolStrokeWidth(c.weight);
    if (glyph == nullptr) {
      // A missing glyph: an outlined box.
      cairo_new_path(cr_);
      roundedRectPath(cr_, {0.2, 0.1, 0.6, 0.8}, 0.08);
      cairo_set_line_width(cr_, stroke);
      setSource(c.color);
      cairo_stroke(cr_);
      cairo_restore(cr_);
      return;
    }
    const bool cuts = std::any_of(glyph->parts.begin(), glyph->parts.end(), [](const auto& p) {
      return p.mode == SymbolPart::Mode::cutOutStroke;
    });
    if (cuts) cairo_push_group(cr_);
    setSource(c.color);
    for (const SymbolPart& part : glyph->parts) {
      cairo_new_path(cr_);
      appendPath(cr_, part.path);
      cairo_set_line_width(cr_, stroke * part.strokeScale);
      switch (part.mode) {
        case SymbolPart::Mode::fill: cairo_fill(cr_); break;
        case SymbolPart::Mode::stroke: cairo_stroke(cr_); break;
        case SymbolPart::Mode::fillAndStroke:
          cairo_fill_preserve(cr_);
          cairo_stroke(cr_);
          break;
        case SymbolPart::Mode::cutOutStroke:
          cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
          cairo_stroke(cr_);
          cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
          break;
      }
    }
    if (cuts) {
      cairo_pop_group_to_source(cr_);
      cairo_paint(cr_);
    }
    cairo_restore(cr_);
  }

  void handle(const PushClip& c) {
    open(Scope::clip);
    if (hidden()) return;
    cairo_new_path(cr_);
    if (validRect(c.rect)) roundedRectPath(cr_, c.rect, c.cornerRadius);
    cairo_clip(cr_);  // an empty path clips everything away
  }

  void handle(const BeginOpacity& c) {
    open(Scope::opacity);
    if (hidden()) return;
    cairo_push_group(cr_);
    opacities_.push_back(c.opacity != c.opacity ? 0 : std::clamp(c.opacity, 0.0, 1.0));
  }

  void handle(const PushTransform& c) {
    const AffineTransform& t = c.transform;
    const double det = t.a * t.d - t.b * t.c;
    const bool usable = finite(t.a) && finite(t.b) && finite(t.c) && finite(t.d) && finite(t.tx) &&
                        finite(t.ty) && finite(det) && std::abs(det) > 1e-12;
    if (!usable) {
      open(Scope::hidden);
      ++hiddenDepth_;
      return;
    }
    open(Scope::transform);
    if (hidden()) return;
    const cairo_matrix_t m{t.a, t.b, t.c, t.d, t.tx, t.ty};
    cairo_transform(cr_, &m);
  }

  void handle(const PopClip&) { closeIf(Scope::clip); }
  void handle(const EndOpacity&) { closeIf(Scope::opacity); }
  void handle(const PopTransform&) {
    if (!scopes_.empty() && scopes_.back().kind == Scope::hidden)
      close();
    else
      closeIf(Scope::transform);
  }

  struct OpenScope {
    Scope kind;
    bool drawn;  // false when opened while hidden (nothing to undo on cairo)
  };

  void open(Scope kind) {
    const bool drawn = !hidden();
    if (drawn && kind != Scope::opacity && kind != Scope::hidden) cairo_save(cr_);
    scopes_.push_back({kind, drawn});
  }

  void closeIf(Scope kind) {
    if (!scopes_.empty() && scopes_.back().kind == kind) close();
  }

  void close() {
    const OpenScope s = scopes_.back();
    scopes_.pop_back();
    if (s.kind == Scope::hidden) {
      --hiddenDepth_;
      return;
    }
    if (!s.drawn) return;
    if (s.kind == Scope::opacity) {
      cairo_pop_group_to_source(cr_);
      cairo_paint_with_alpha(cr_, opacities_.back());
      opacities_.pop_back();
    } else {
      cairo_restore(cr_);
    }
  }

  cairo_t* cr_;
  const RenderOptions& options_;
  PangoLayout* layout_ = nullptr;
  std::vector<OpenScope> scopes_;
  std::vector<double> opacities_;
  int hiddenDepth_ = 0;
};

}  // namespace

bool CairoRenderer::draw(cairo_t* cr, const DrawList& list) const {
  cairo_save(cr);
  const double scale = options_.scale > 0 && finite(options_.scale) ? options_.scale : 1;
  cairo_scale(cr, scale, scale);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  {
    Painter painter(cr, options_);
    painter.run(list);
  }
  cairo_restore(cr);
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

}  // namespace SwiftUI::Drawing
