// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/recording_canvas.h"

namespace velmor {

void RecordingCanvas::SetScale(double left, double top, double right, double bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  ops_.push_back({CanvasOp::Kind::Scale, left, top, right, bottom, {}, {}, width_});
}

void RecordingCanvas::Cls() {
  ops_.clear();
  x_ = 0;
  y_ = 0;
  ops_.push_back({CanvasOp::Kind::Cls, 0, 0, 0, 0, {}, {}, width_});
}

void RecordingCanvas::Line(double x1, double y1, double x2, double y2, Rgb colour) {
  ops_.push_back({CanvasOp::Kind::Line, x1, y1, x2, y2, colour, {}, width_});
  x_ = x2;
  y_ = y2;
}

void RecordingCanvas::Circle(double x, double y, double radius, Rgb colour) {
  ops_.push_back({CanvasOp::Kind::Circle, x, y, radius, 0, colour, {}, width_});
  x_ = x;
  y_ = y;
}

void RecordingCanvas::PSet(double x, double y, Rgb colour) {
  ops_.push_back({CanvasOp::Kind::Point, x, y, 0, 0, colour, {}, width_});
  x_ = x;
  y_ = y;
}

void RecordingCanvas::SetLineWidth(int width) {
  width_ = width;
  ops_.push_back({CanvasOp::Kind::LineWidth, 0, 0, 0, 0, {}, {}, width});
}

void RecordingCanvas::Print(std::string_view text) {
  ops_.push_back({CanvasOp::Kind::Text, x_, y_, 0, 0, fore_, std::string(text), width_});
  int lines = 1;
  for (char c : text) {
    if (c == '\n') ++lines;
  }
  x_ = left_;
  y_ = y_ - lines * LineHeight();
}

std::vector<CanvasOp> RecordingCanvas::OpsOf(CanvasOp::Kind kind) const {
  std::vector<CanvasOp> out;
  for (const auto& op : ops_) {
    if (op.kind == kind) out.push_back(op);
  }
  return out;
}

std::size_t RecordingCanvas::Count(CanvasOp::Kind kind) const {
  std::size_t n = 0;
  for (const auto& op : ops_) {
    if (op.kind == kind) ++n;
  }
  return n;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const auto& op : ops_) {
    if (op.kind == CanvasOp::Kind::Text) out.push_back(op.text);
  }
  return out;
}

}  // namespace velmor
