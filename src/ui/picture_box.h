// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture area: a persistent image that keeps what is drawn on it until it
// is cleared, in a user coordinate system, drawn without anti-aliasing so the
// same drawing gives the same pixels on every machine.
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "shared/canvas.h"
#include "ui/text_log.h"

namespace velmor::ui {

class PictureBox : public QWidget, public Canvas {
  Q_OBJECT
  // The size a window declares, in twips (15 twips a pixel).
  Q_PROPERTY(QSize twips READ Twips WRITE setTwips)

 public:
  PictureBox(QWidget* parent, const char* name, int twipsWide, int twipsHigh);
  // As a window's declaration makes it: blank, sized by setTwips.
  explicit PictureBox(QWidget* parent = nullptr);

  QSize Twips() const { return twips_; }
  // A fresh white picture of that size, its user scale in twips.
  void setTwips(QSize twips);

  // A new size in twips: what is drawn stays where it is (a larger picture is
  // white beyond it) and the user scale spans the new size.
  void SetSizeTwips(int twipsWide, int twipsHigh);

  void SetScale(double left, double top, double right, double bottom) override;
  void Cls() override;
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override;
  void Segments(const double* xy, std::size_t n, Rgb colour) override;
  void Circle(double x, double y, double radius, Rgb colour) override;
  void PSet(double x, double y, Rgb colour) override;
  void Points(const double* xy, std::size_t n, Rgb colour) override;
  void SetLineWidth(int width) override;
  void SetForeColor(Rgb colour) override { fore_ = colour; }
  void SetCurrent(double x, double y) override;
  double CurrentX() const override { return curX_; }
  double CurrentY() const override { return curY_; }
  void Print(std::string_view text) override;
  void Repeated(std::uint64_t key, std::uint64_t version, Drawing draw) override;

  // Turns layer caching off, so every repeated drawing is drawn anew (for
  // tests that compare both ways).
  void SetLayerCaching(bool on) { caching_ = on; }

  // A copy of the picture as it stands: drawing writes straight into the
  // image's memory, so a shared copy would change with later drawing.
  QImage Image() const {
    ComposeForLook();
    return Shown(image_.copy());
  }
  // Writes the displayed image: BMP (24-bit) or PNG by the path's extension.
  bool SaveTo(const QString& path) const;

  using TextRecord = TextLog::Record;
  struct Stats {
    long long lines = 0;
    long long circles = 0;
    long long points = 0;
    long long texts = 0;
  };
  // Every text printed since the last clear, in print order.
  std::vector<TextRecord> Texts() const;
  void ForEachText(const std::function<void(const TextRecord&)>& visit) const {
    texts_.ForEach(visit);
  }
  const TextLog& TextsKept() const { return texts_; }
  const Stats& Counts() const { return stats_; }

  double ScaleLeft() const { return left_; }
  double ScaleTop() const { return top_; }
  double ScaleRight() const { return right_; }
  double ScaleBottom() const { return bottom_; }
  // Pixel position (may lie outside the image) of a user point, and back.
  double PixelX(double x) const { return (x - left_) * sx_; }
  double PixelY(double y) const { return (y - top_) * sy_; }
  double UserX(double px) const { return left_ + px / sx_; }
  double UserY(double py) const { return top_ + py / sy_; }

  // A mouse-down at user coordinates, as if the user clicked there.
  void ClickAt(int button, double x, double y) { emit MouseDown(button, x, y); }

  // The context menu: "Сохранить как PNG…" and "Копировать" on every
  // picture; a report page adds its text exports; windows add their own.
  // An action that writes a file takes the path (asked for with a file
  // dialog from the menu, given directly by the driver); it returns false
  // when it could not do its work.
  using MenuAction = std::function<bool(const QString& path)>;
  void AddMenuAction(const QString& text, bool needsPath, const QString& fileFilter,
                     MenuAction action);
  void SetReportPage(bool on);
  QStringList MenuActions() const;
  // Runs a menu action by its text; false when there is none or it failed.
  bool RunMenuAction(const QString& text, const QString& path);

  // The texts printed on the page, top to bottom (a report as plain text).
  std::string PageText() const;

 signals:
  // Mouse-down at user coordinates.
  void MouseDown(int button, double x, double y);
  // Everything drawn was wiped (a report page starts anew).
  void Cleared();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct Mask {
    int width = 0;
    std::vector<std::pair<std::int16_t, std::int16_t>> pixels;
    int left = 0, right = -1, top = 0, bottom = -1;  // the box round them
  };
  // A kept layer's pixels are grouped by tile; a tile nothing has written
  // since the layer was last laid down still holds the layer's pixels.
  struct TileRun {
    std::uint32_t tile;
    std::uint32_t end;  // the run's pixels end here
  };
  static constexpr std::size_t kNotPending = ~std::size_t{0};
  // The last colour a stretch of drawing gave each pixel it wrote.
  struct Pixel {
    std::uint32_t at, colour;
  };
  struct Pixels {
    std::unique_ptr<Pixel[]> pixels;  // by tile
    std::vector<TileRun> runs;
  };
  using PixelsPart = std::shared_ptr<const Pixels>;
  struct Layer {
    bool filled = false;
    bool capturing = false;               // its drawing is going on
    std::size_t pendingAt = kNotPending;  // its laying down in pending_
    std::uint64_t version = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    Rgb foreIn;
    int widthIn = 1;
    // Laid down in order: its drawing's own writes between the kept
    // drawings it drew, and those drawings' parts as they were then.
    std::vector<PixelsPart> parts;
    std::size_t ownFrom = 0;  // while captured: its own writes in captured_ from here
    std::uint64_t laid = 0;   // the write stamp of its last laying down
    std::vector<TextRecord> texts;
    std::vector<std::uint32_t> textIds;  // these two valid for textGeneration
    std::uint32_t textGroup = TextLog::kNoGroup;
    std::uint64_t textGeneration = ~std::uint64_t{0};
    Stats stats;
    double endX = 0, endY = 0;
    Rgb foreOut;
    int widthOut = 1;
  };

  // Drawing in pixels, done at once or put off until the picture is looked
  // at. Once a kept layer's laying down is put off, all drawing after it is
  // put off too, so everything lands in the order it was drawn.
  struct PendingOp {
    enum Kind : std::uint8_t { kLine, kCircle, kPoint, kText, kLayer, kCovered } kind;
    int width;  // the line width
    std::uint32_t argb;
    double a, b, c, d;  // pixel coordinates: ends, centre and radius, point, origin
    const Mask* mask;
    Layer* layer;  // none: covered by a later laying down of the same layer
  };
  // The scale set whatever it was before.
  void ScaleTo(double left, double top, double right, double bottom);
  void Emit(const PendingOp& op);
  // The pixel ends of a line as drawn with a pen this wide; false: none of
  // it is in the picture.
  struct PixelEnds {
    int ax = 0, ay = 0, bx = 0, by = 0;
  };
  bool LineEnds(double x1, double y1, double x2, double y2, int width, PixelEnds& ends) const;
  bool BeyondOneEdge(double x1, double y1, double x2, double y2, int width) const;
  // What decides which pixels a line writes: its ends as clipped and
  // rounded, as RasterLine works them out, and its pen.
  struct LinePrint {
    PixelEnds ends;
    int width = 1;
  };
  // And a circle's: below kBigCircle its rounded centre and radius and its
  // pen; a bigger one is traced row by row, by its exact centre and radius.
  struct CirclePrint {
    int cx = 0, cy = 0, r = 0, width = 1;
    bool big = false;
    double a = 0, b = 0, c = 0;
  };
  // Whether the later line writes every pixel the earlier one does.
  static bool LineCovers(const LinePrint& later, const LinePrint& earlier);
  // Mark what the shape covers among those of its kind put off. False: a
  // line with nothing of it in the picture, to be left out.
  bool CoverEarlierLine(const PendingOp& op);
  void CoverEarlierCircle(const PendingOp& op);
  void Draw(const PendingOp& op);
  // Brings the picture up to date; every look at its pixels calls it.
  void Compose();
  void ComposeForLook() const;
  // Only the drawing put off in pending_.
  void ComposeQueue();
  void DropPending();
  // Text printed while nothing else waits may wait for a look at its rows:
  // a report page is mostly out of view, and laying a line of text out
  // costs more than anything else drawn on it. Its pixels are written by
  // bands of rows, each band's texts in the order printed, so every pixel
  // ends as printing them at once would leave it.
  struct WaitingText {
    std::uint32_t from, size;  // its characters in waitingChars_
    int x, y;                  // where its mask goes, in pixels
    std::uint32_t argb;
    int bandsLeft;  // 0: all drawn, or covered by the same text printed again there
  };
  void PutOffText(std::string_view line, int x, int y, std::uint32_t argb);
  // Draws what waits in every band of rows that meets these.
  void DrawWaitingTexts(int rowFrom, int rowTo);
  void DropWaitingTexts();
  void CompactWaitingTexts();
  void Done(WaitingText& text);
  static std::string WaitingKey(std::string_view line, int x, int y);
  void WriteText(const Mask& mask, int ox, int oy, std::uint32_t argb, int rowFrom, int rowTo);
  static constexpr int kBandShift = 6;
  static constexpr std::size_t kMostWaitingTexts = 1 << 13;
  static constexpr std::size_t kMostPending = 4096;

  void Plot(int x, int y, std::uint32_t argb);
  void Stamp(int x, int y, std::uint32_t argb);
  void RasterLine(double x1, double y1, double x2, double y2, std::uint32_t argb);
  // The thin pen's line between pixels of the image, straight into it.
  void InsideLine(int ax, int ay, int bx, int by, std::uint32_t argb);
  void RasterCircle(double pcx, double pcy, double pr, std::uint32_t argb);
  const Mask& TextMask(const std::string& line);
  std::shared_ptr<const Mask> SharedMask(const std::string& line);
  static constexpr std::size_t kMostMasks = 4096;
  std::vector<int> circleSteps_;  // a larger circle's octant, while it is drawn
  // One octant's steps of a circle of radius r: below 1024 from a table
  // shared by all pictures, otherwise worked out into circleSteps_.
  const std::vector<int>& OctantOf(int r);
  bool SharedCircle(const PendingOp& op) const;
  std::vector<const std::vector<int>*> circleRun_;
  void Touch();
  void ResetTiles();
  std::uint32_t TileOf(std::uint32_t x, std::uint32_t y) const {
    return (y >> kTileShift) * tilesWide_ + (x >> kTileShift);
  }
  void LayDown(Layer& layer);
  void LayDownPart(const Pixels& part, std::uint64_t since);
  // Makes the writes a layer being captured has made since its last part
  // one more part of it.
  void EndOwnPart(Layer& layer);
  void ReplayRecords(Layer& layer);
  // Adds to the texts printed (a text's or a group's id); a layer being kept
  // notes it.
  void Log(std::uint32_t id);
  static constexpr int kTileShift = 4;
  static std::uint32_t ToArgb(Rgb c) { return 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b; }
  // A pixel of this colour as the image holds it.
  std::uint32_t Ink(Rgb c) const { return ToArgb(c) ^ flip_; }
  // A picture of more than this many pixels (a report page) holds every
  // pixel with all its bits flipped, so that white is zero: its memory is
  // taken zeroed from the system and only what is drawn on or looked at
  // is ever made resident.
  static constexpr std::size_t kFlippedFrom = std::size_t{1} << 22;
  void NewImage(int w, int h);
  // The picture as shown, from pixels as held (a copy, made over).
  QImage Shown(QImage held) const;
  // A flipped picture is painted through this, a band of rows at a time,
  // so a paint takes no new memory.
  QImage paintBand_;
  static constexpr int kPaintBandRows = 64;
  static constexpr std::size_t kResidentRows = 1024;

  QImage image_;
  std::uint32_t flip_ = 0;  // what every pixel held is flipped by
  QSize twips_;
  std::uint32_t* bits_ = nullptr;
  int w_ = 0;
  int h_ = 0;
  double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  double sx_ = 1, sy_ = 1;  // pixels per user unit (signed)
  double curX_ = 0, curY_ = 0;
  int lineWidth_ = 1;
  Rgb fore_ = RGB(0, 0, 0);
  int lineHeightPx_ = 13;
  int ascentPx_ = 10;
  TextLog texts_;
  Stats stats_;
  std::unordered_map<std::string, std::shared_ptr<const Mask>> masks_;
  std::vector<std::pair<std::int16_t, std::int16_t>> maskScratch_;
  std::unordered_map<std::uint64_t, Layer> layers_;  // nodes stay put: pending_ points at them
  // The layers a refresh asks for again and again, found without hashing.
  struct LayerSlot {
    std::uint64_t key = 0;
    Layer* layer = nullptr;
  };
  std::array<LayerSlot, 16> layerSlots_{};
  static std::size_t SlotOf(std::uint64_t key) { return (key * 0x9E3779B97F4A7C15ULL) >> 60; }
  Layer& LayerOf(std::uint64_t key);
  void ForgetLayers();
  // Per tile of 16 x 16 pixels, the stamp of the latest change in it.
  // Every change carries the current stamp; laying down a layer takes the
  // current stamp as its own and moves it on.
  std::vector<std::uint64_t> tileStamp_;
  std::uint32_t tilesWide_ = 1;
  std::uint64_t stamp_ = 1;
  // A tile stamped no later than this is white throughout.
  std::uint64_t whiteUpTo_ = 0;
  // The stamp the picture was last cleared at.
  std::uint64_t clearedAt_ = 0;
  std::vector<PendingOp> pending_;
  // Where in pending_ the latest circles and lines put off are, and what
  // pixels they write.
  template <class Print>
  struct Recent {
    std::array<std::size_t, 4> at{kNotPending, kNotPending, kNotPending, kNotPending};
    std::array<Print, 4> print{};
    std::size_t next = 0;
    void Add(std::size_t where, const Print& p) {
      at[next % 4] = where;
      print[next % 4] = p;
      ++next;
    }
  };
  Recent<CirclePrint> recentCircles_;
  Recent<LinePrint> recentLines_;
  void ForgetRecentShapes();
  std::vector<WaitingText> waitingTexts_;
  std::string waitingChars_;
  std::unordered_map<std::string, std::uint32_t> waitingAt_;  // by text and place
  std::vector<std::vector<std::uint32_t>> bandTexts_;         // per band, texts to draw
  std::vector<std::uint32_t> bandsWaiting_;                   // the bands with any
  std::size_t textsDone_ = 0;                                 // of waitingTexts_
  Layer* capturing_ = nullptr;
  // Every write while a layer is captured, with its tile: the tile is at
  // hand where a pixel is written, and would take a division to find again.
  struct LastWrite {
    std::uint32_t tile, at, colour;
  };
  std::vector<LastWrite> captured_;
  std::vector<std::uint32_t> logged_;  // ids logged since a kept layer began
  // Memory a capture works in: a bit a pixel, the last writes, per tile.
  std::vector<std::uint64_t> seen_;
  std::vector<LastWrite> lastWrites_;
  std::vector<std::uint32_t> inTile_;  // zero between captures
  std::vector<std::uint32_t> tilesMet_;
  bool caching_ = true;
  bool dirty_ = false;
  struct MenuEntry {
    QString text;
    bool needsPath;
    QString filter;
    MenuAction action;
  };
  std::vector<MenuEntry> menu_;
  bool reportPage_ = false;
};

}  // namespace velmor::ui
