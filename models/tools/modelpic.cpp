// Draws the picture of a demo model's first page: modelpic STYLE OUTPUT.bmp, STYLE "minimal" or "trade".
// Writes a 24-bit Windows bitmap (bottom-up rows padded to four bytes).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Colour {
  std::uint8_t r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
  auto channel = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

class Canvas {
public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height, {255, 255, 255}) {}

  void Set(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      pixels_[y * width_ + x] = c;
    }
  }
  /// A vertical gradient over rows top..bottom.
  void Gradient(int top, int bottom, Colour from, Colour to) {
    for (int y = top; y < bottom; ++y) {
      const Colour c = Mix(from, to, static_cast<double>(y - top) / std::max(1, bottom - top - 1));
      for (int x = 0; x < width_; ++x) {
        Set(x, y, c);
      }
    }
  }
  void Rect(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        Set(x, y, c);
      }
    }
  }
  void Circle(double cx, double cy, double radius, Colour c) {
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y) {
      for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) {
          Set(x, y, c);
        }
      }
    }
  }
  void Line(double x0, double y0, double x1, double y1, double thickness, Colour c) {
    const int steps = static_cast<int>(std::hypot(x1 - x0, y1 - y0)) + 1;
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      Circle(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, thickness / 2, c);
    }
  }
  void Triangle(double ax, double ay, double bx, double by, double cx, double cy, Colour c) {
    const auto side = [](double px, double py, double qx, double qy, double x, double y) {
      return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    for (int y = static_cast<int>(std::min({ay, by, cy})); y <= static_cast<int>(std::max({ay, by, cy})); ++y) {
      for (int x = static_cast<int>(std::min({ax, bx, cx})); x <= static_cast<int>(std::max({ax, bx, cx}));
           ++x) {
        const double d1 = side(ax, ay, bx, by, x, y);
        const double d2 = side(bx, by, cx, cy, x, y);
        const double d3 = side(cx, cy, ax, ay, x, y);
        if ((d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0)) {
          Set(x, y, c);
        }
      }
    }
  }

  bool Save(const std::string& path) const {
    const int rowBytes = (width_ * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes * height_);
    std::vector<std::uint8_t> file(54 + imageBytes, 0);
    auto put32 = [&file](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) {
        file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
      }
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width_));
    put32(22, static_cast<std::uint32_t>(height_));
    file[26] = 1;  // planes
    file[28] = 24; // bits per pixel
    put32(34, imageBytes);
    put32(38, 2835); // 72 dots per inch
    put32(42, 2835);
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* row = file.data() + 54 + static_cast<std::size_t>(height_ - 1 - y) * rowBytes;
      for (int x = 0; x < width_; ++x) {
        const Colour& c = pixels_[y * width_ + x];
        row[3 * x] = c.b;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.r;
      }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
  }

private:
  int width_;
  int height_;
  std::vector<Colour> pixels_;
};

/// A farm and a factory under the sun, with a bar for each of the three goods.
void DrawMinimal(Canvas& c) {
  c.Gradient(0, 200, {120, 180, 235}, {225, 240, 250});
  c.Gradient(200, 320, {110, 175, 80}, {70, 130, 55});
  c.Circle(400, 60, 32, {250, 215, 70});
  // A house.
  c.Rect(60, 150, 150, 215, {205, 160, 110});
  c.Triangle(50, 152, 160, 152, 105, 105, {160, 60, 50});
  c.Rect(95, 180, 115, 215, {110, 70, 40});
  // A factory with a chimney.
  c.Rect(190, 140, 290, 215, {150, 150, 160});
  c.Rect(255, 95, 272, 140, {120, 120, 130});
  c.Circle(268, 82, 9, {225, 225, 230});
  c.Circle(280, 66, 12, {235, 235, 240});
  // The three goods: food, manufactures, services.
  const Colour bars[] = {{225, 150, 40}, {90, 100, 120}, {60, 110, 200}};
  const int heights[] = {50, 100, 100};
  for (int i = 0; i < 3; ++i) {
    c.Rect(330 + 40 * i, 280 - heights[i], 360 + 40 * i, 280, bars[i]);
  }
  c.Rect(320, 280, 460, 284, {40, 40, 40});
}

/// Three regions across a sea, joined by trade routes with ships on them.
void DrawTrade(Canvas& c) {
  c.Gradient(0, 320, {40, 110, 180}, {90, 170, 220});
  struct Place {
    double x, y, r;
    Colour colour;
  };
  const Place regions[] = {{95, 110, 62, {210, 180, 110}}, {245, 225, 55, {120, 175, 95}},
                           {390, 100, 66, {200, 140, 100}}};
  for (int i = 0; i < 3; ++i) {
    const Place& a = regions[i];
    const Place& b = regions[(i + 1) % 3];
    c.Line(a.x, a.y, b.x, b.y, 5, {240, 240, 245});
    const double mx = (a.x + b.x) / 2;
    const double my = (a.y + b.y) / 2;
    c.Rect(static_cast<int>(mx) - 9, static_cast<int>(my) - 5, static_cast<int>(mx) + 9,
           static_cast<int>(my) + 5, {170, 40, 40});
    c.Triangle(mx - 9, my + 5, mx + 9, my + 5, mx, my + 11, {120, 30, 30});
  }
  for (const Place& p : regions) {
    c.Circle(p.x, p.y, p.r, {235, 220, 170});
    c.Circle(p.x, p.y, p.r - 6, p.colour);
    c.Circle(p.x - p.r / 3, p.y - p.r / 4, p.r / 5, {250, 250, 250});
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: modelpic minimal|trade OUTPUT.bmp\n";
    return 2;
  }
  const std::string style = argv[1];
  Canvas canvas(480, 320);
  if (style == "minimal") {
    DrawMinimal(canvas);
  } else if (style == "trade") {
    DrawTrade(canvas);
  } else {
    std::cerr << "modelpic: error: unknown style " << style << "\n";
    return 2;
  }
  if (!canvas.Save(argv[2])) {
    std::cerr << "modelpic: error: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
