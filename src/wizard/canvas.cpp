#include "wizard/canvas.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace tarvik {

int StandardColorIndex(Rgb color) {
  for (size_t i = 0; i < STANDARD_COLORS.size(); ++i) {
    if (STANDARD_COLORS[i] == color) return static_cast<int>(i);
  }
  return -1;
}

bool PointInRect(int x, int y, int left, int top, int right, int bottom) {
  return left < x && x < right && top < y && y < bottom;
}

bool PointInButton(int x, int y, int bx, int by) {
  return PointInRect(x, y, bx, by, bx + BUTTON_WIDTH, by + BUTTON_HEIGHT);
}

void Canvas::Clear() {
  ops_.clear();
  pruneAt_ = MIN_PRUNE_SIZE;
  ++version_;
}

namespace {

CanvasOp MakeOp(CanvasOpKind kind, int x, int y) {
  CanvasOp op;
  op.kind = kind;
  op.x = x;
  op.y = y;
  return op;
}

}  // namespace

void Canvas::DrawButton(const std::string& caption, int x, int y, bool highlighted) {
  textColor_ = highlighted ? colors::BRIGHT_GREEN : colors::BLACK;
  AppendButton(CanvasOpKind::Button, caption, x, y, highlighted);
}

void Canvas::DrawSmallButton(const std::string& caption, int x, int y, bool highlighted) {
  textColor_ = highlighted ? colors::BRIGHT_GREEN : colors::BLACK;
  AppendButton(CanvasOpKind::SmallButton, caption, x, y, highlighted);
}

void Canvas::DrawDisabledButton(const std::string& caption, int x, int y, bool highlighted) {
  textColor_ = colors::DISABLED_CAPTION;
  AppendButton(CanvasOpKind::DisabledButton, caption, x, y, highlighted);
}

void Canvas::AppendButton(CanvasOpKind kind, const std::string& caption, int x, int y, bool highlighted) {
  CanvasOp op = MakeOp(kind, x, y);
  op.text = caption;
  op.highlighted = highlighted;
  op.color = textColor_;
  Append(std::move(op));
}

void Canvas::DrawText(const std::string& text, int x, int y) {
  CanvasOp op = MakeOp(CanvasOpKind::Text, x, y);
  op.text = text;
  op.color = textColor_;
  Append(std::move(op));
}

void Canvas::DrawLamp(int x, int y, int state) {
  CanvasOp op = MakeOp(CanvasOpKind::Lamp, x, y);
  op.state = state;
  Append(std::move(op));
}

void Canvas::DrawPoint(int x, int y, Rgb color) {
  CanvasOp op = MakeOp(CanvasOpKind::Point, x, y);
  op.color = color;
  Append(std::move(op));
}

void Canvas::DrawBox(int x1, int y1, int x2, int y2, Rgb color) { AppendBox(CanvasOpKind::Box, x1, y1, x2, y2, color); }

void Canvas::DrawFilledBox(int x1, int y1, int x2, int y2, Rgb color) {
  AppendBox(CanvasOpKind::FilledBox, x1, y1, x2, y2, color);
}

void Canvas::AppendBox(CanvasOpKind kind, int x1, int y1, int x2, int y2, Rgb color) {
  CanvasOp op = MakeOp(kind, x1, y1);
  op.x2 = x2;
  op.y2 = y2;
  op.color = color;
  Append(std::move(op));
}

void Canvas::DrawCircle(int cx, int cy, double r, Rgb color) {
  CanvasOp op = MakeOp(CanvasOpKind::Circle, cx, cy);
  op.r = r;
  op.color = color;
  Append(std::move(op));
}

void Canvas::Append(CanvasOp op) {
  ops_.push_back(std::move(op));
  ++version_;
  if (ops_.size() >= pruneAt_) {
    DropRepeats();
    pruneAt_ = std::max(MIN_PRUNE_SIZE, 2 * ops_.size());
  }
}

namespace {

struct OpHash {
  size_t operator()(const CanvasOp& op) const {
    size_t h = std::hash<std::string>()(op.text);
    for (long long v : {static_cast<long long>(op.kind), static_cast<long long>(op.x), static_cast<long long>(op.y),
                        static_cast<long long>(op.x2), static_cast<long long>(op.y2),
                        static_cast<long long>(op.color), static_cast<long long>(op.state)}) {
      h = h * 1000003u ^ std::hash<long long>()(v);
    }
    return h;
  }
};

}  // namespace

// A timer that redraws the same thing on every tick would make the record grow without
// end. An operation repeated later paints the same pixels again, so the earlier one can
// no longer be seen: once the record is long, only the last of equal operations stays.
// The threshold doubles with the record, so a picture of many distinct operations (a
// large map) is not scanned on every append.
void Canvas::DropRepeats() {
  std::unordered_set<CanvasOp, OpHash> later;
  std::vector<CanvasOp> kept;
  kept.reserve(ops_.size());
  for (auto it = ops_.rbegin(); it != ops_.rend(); ++it) {
    if (later.insert(*it).second) kept.push_back(*it);
  }
  std::reverse(kept.begin(), kept.end());
  ops_ = std::move(kept);
}

}  // namespace tarvik
