#include "platform/qt/region_shape.h"

#include <QRect>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace wavorin {

struct RegionShape::Node {
  enum class Kind { Empty, Rectangle, Ellipse, Combined } kind = Kind::Empty;
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  int mode = 0;
  std::shared_ptr<const Node> a;
  std::shared_ptr<const Node> b;
};

namespace {

// Device pixels are ints: an edge beyond their range is taken at its end.
int to_pixel(double edge) {
  return static_cast<int>(std::clamp(edge, static_cast<double>(std::numeric_limits<int>::min()),
                                     static_cast<double>(std::numeric_limits<int>::max())));
}

// The first device pixel whose centre lies at or after `edge`.
int first_centre_at_or_after(double edge) { return to_pixel(std::ceil(edge - 0.5)); }

QRegion rectangle_at(double left, double top, double right, double bottom) {
  const int x0 = first_centre_at_or_after(left);
  const int x1 = first_centre_at_or_after(right);
  const int y0 = first_centre_at_or_after(top);
  const int y1 = first_centre_at_or_after(bottom);
  if (x1 <= x0 || y1 <= y0) return {};
  return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

// The pixels whose centres lie strictly inside the inscribed ellipse, one
// rectangle per scan line.
QRegion ellipse_at(double left, double top, double right, double bottom) {
  QRegion region;
  if (right - left <= 0 || bottom - top <= 0) return region;
  const double cx = (left + right) / 2.0;
  const double cy = (top + bottom) / 2.0;
  const double rx = (right - left) / 2.0;
  const double ry = (bottom - top) / 2.0;
  const auto inside = [&](int x, double dy2) {
    const double dx = (x + 0.5 - cx) / rx;
    return dx * dx + dy2 < 1.0;
  };
  const int x_min = to_pixel(std::floor(left));
  const int x_max = to_pixel(std::ceil(right));
  const int y_end = to_pixel(std::ceil(bottom));
  for (int y = to_pixel(std::floor(top)); y < y_end; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    const double dy2 = dy * dy;
    if (dy2 >= 1.0) continue;
    // The analytic half-width gives the edge to within rounding; the exact
    // test then settles the pixels next to it.
    const double half = rx * std::sqrt(1.0 - dy2);
    int first = to_pixel(std::max<double>(x_min, std::floor(cx - half - 0.5) - 1));
    while (first < x_max && !inside(first, dy2)) ++first;
    while (first > x_min && inside(first - 1, dy2)) --first;
    if (first >= x_max || !inside(first, dy2)) continue;
    int last = to_pixel(std::min<double>(x_max - 1.0, std::ceil(cx + half) + 1));
    while (last > first && !inside(last, dy2)) --last;
    while (last + 1 < x_max && inside(last + 1, dy2)) ++last;
    region += QRect(QPoint(first, y), QPoint(last, y));
  }
  return region;
}

}  // namespace

RegionShape::RegionShape() : node_(std::make_shared<const Node>()) {}

RegionShape::RegionShape(std::shared_ptr<const Node> node) : node_(std::move(node)) {}

RegionShape RegionShape::rectangle(int left, int top, int right, int bottom) {
  Node node;
  node.kind = Node::Kind::Rectangle;
  node.left = std::min(left, right);
  node.right = std::max(left, right);
  node.top = std::min(top, bottom);
  node.bottom = std::max(top, bottom);
  return RegionShape(std::make_shared<const Node>(node));
}

RegionShape RegionShape::ellipse(int left, int top, int right, int bottom) {
  RegionShape shape = rectangle(left, top, right, bottom);
  Node node = *shape.node_;
  node.kind = Node::Kind::Ellipse;
  return RegionShape(std::make_shared<const Node>(node));
}

RegionShape RegionShape::combined(const RegionShape& a, const RegionShape& b, int mode) {
  Node node;
  node.kind = Node::Kind::Combined;
  node.mode = mode;
  node.a = a.node_;
  node.b = b.node_;
  return RegionShape(std::make_shared<const Node>(node));
}

QRegion RegionShape::at(double ratio) const {
  const Node& n = *node_;
  switch (n.kind) {
    case Node::Kind::Empty:
      return {};
    case Node::Kind::Rectangle:
      return rectangle_at(n.left * ratio, n.top * ratio, n.right * ratio, n.bottom * ratio);
    case Node::Kind::Ellipse:
      return ellipse_at(n.left * ratio, n.top * ratio, n.right * ratio, n.bottom * ratio);
    case Node::Kind::Combined:
      break;
  }
  const QRegion a = RegionShape(n.a).at(ratio);
  const QRegion b = RegionShape(n.b).at(ratio);
  return combine(a, b, n.mode).value_or(QRegion());
}

std::optional<QRegion> combine(const QRegion& a, const QRegion& b, int mode) {
  switch (mode) {
    case RGN_AND:
      return a & b;
    case RGN_OR:
      return a | b;
    case RGN_XOR:
      return a ^ b;
    case RGN_DIFF:
      return a - b;
    default:
      return std::nullopt;
  }
}

QRegion as_window_shape(const QRegion& region) {
  return region.isEmpty() ? QRegion(-1, -1, 1, 1) : region;
}

QImage RegionShape::coverage(double ratio, QSize size) const {
  constexpr int kSamples = 16;  // per device pixel, each way
  QImage alpha(size, QImage::Format_Alpha8);
  if (alpha.isNull()) return alpha;
  const int w = size.width();
  const int h = size.height();
  // Samples inside, per device pixel: the shape cut at sample resolution,
  // each sample being the centre of a sub-pixel.
  std::vector<int> count(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  const QRect samples(0, 0, w * kSamples, h * kSamples);
  for (const QRect& rect : at(ratio * kSamples) & samples) {
    for (int y = rect.top() / kSamples; y <= rect.bottom() / kSamples; ++y) {
      const int rows =
          std::min(rect.bottom() + 1, (y + 1) * kSamples) - std::max(rect.top(), y * kSamples);
      int* line = count.data() + static_cast<std::ptrdiff_t>(y) * w;
      for (int x = rect.left() / kSamples; x <= rect.right() / kSamples; ++x) {
        line[x] += rows * (std::min(rect.right() + 1, (x + 1) * kSamples) -
                           std::max(rect.left(), x * kSamples));
      }
    }
  }
  constexpr int kAll = kSamples * kSamples;
  for (int y = 0; y < h; ++y) {
    uchar* out = alpha.scanLine(y);
    const int* line = count.data() + static_cast<std::ptrdiff_t>(y) * w;
    for (int x = 0; x < w; ++x) out[x] = static_cast<uchar>((line[x] * 255 + kAll / 2) / kAll);
  }
  return alpha;
}

}  // namespace wavorin
