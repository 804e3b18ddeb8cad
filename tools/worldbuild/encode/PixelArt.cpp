#include "PixelArt.h"

#include "graphics/SImage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace imageenc {
namespace {

constexpr int kMaxSide = 512;  // no picture of the world is larger

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool ParseInt(const std::string& text, int low, int high, int& out) {
  try {
    size_t used = 0;
    const int v = std::stoi(text, &used);
    if (used != text.size() || v < low || v > high) return false;
    out = v;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

bool ParseArtColour(const std::string& text, u16& out) {
  if (text == "clear") {
    out = kColorKey565;
    return true;
  }
  if (text.size() != 7 || text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    return false;
  const unsigned v = unsigned(std::stoul(text.substr(1), nullptr, 16));
  out = Rgb565(int(v >> 16), int((v >> 8) & 255), int(v & 255));
  // White would read as the transparent key: the nearest other colour keeps it opaque.
  if (out == kColorKey565) out = u16(kColorKey565 ^ 0x0020);
  return true;
}

bool PixelArt::Read(const std::string& text, const std::string& file, std::string& error) {
  std::map<char, u16> legend;
  std::vector<std::string> lines;
  {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines.push_back(l);
    }
  }
  auto fail = [&](size_t line, const std::string& what) {
    error = file + ":" + std::to_string(line + 1) + ": " + what;
    return false;
  };
  // Turns a finished grid into its picture, checking every character against the legend.
  // `line` is the grid's first row (for faults in it), `header` the line that names the picture.
  auto finish = [&](const std::string& name, const Grid& grid, int scale, size_t line, size_t header) {
    const int w = int(grid.rows[0].size()) * scale, h = int(grid.rows.size()) * scale;
    if (w > kMaxSide || h > kMaxSide) return fail(line, name + ": larger than " + std::to_string(kMaxSide) + " pixels");
    Picture p(w, h);
    for (size_t y = 0; y < grid.rows.size(); ++y)
      for (size_t x = 0; x < grid.rows[y].size(); ++x) {
        const auto it = grid.legend.find(grid.rows[y][x]);
        if (it == grid.legend.end())
          return fail(line + y, name + ": the character '" + std::string(1, grid.rows[y][x]) + "' has no colour");
        for (int j = 0; j < scale; ++j)
          for (int i = 0; i < scale; ++i) p.at(int(x) * scale + i, int(y) * scale + j) = it->second;
      }
    grids_[name] = grid;
    pictures_[name] = std::move(p);
    where_[name] = file + ":" + std::to_string(header + 1);
    return true;
  };
  auto fresh = [&](const std::string& name, size_t line) {
    if (name.empty()) return fail(line, "a picture needs a name");
    if (pictures_.count(name)) return fail(line, name + ": drawn twice (first at " + where_[name] + ")");
    return true;
  };

  for (size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> w = Words(lines[i]);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "colour") {
      u16 c = 0;
      if (w.size() != 3 || w[1].size() != 1 || !ParseArtColour(w[2], c))
        return fail(i, "write a colour as: colour <character> #rrggbb (or clear)");
      legend[w[1][0]] = c;
    } else if (w[0] == "picture") {
      int scale = 1;
      if (w.size() != 2 && !(w.size() == 4 && w[2] == "scale" && ParseInt(w[3], 1, 16, scale)))
        return fail(i, "write a picture as: picture <name> [scale 1..16]");
      if (!fresh(w[1], i)) return false;
      Grid grid;
      grid.legend = legend;
      size_t row = i + 1;
      for (; row < lines.size() && !lines[row].empty(); ++row) {
        if (!grid.rows.empty() && lines[row].size() != grid.rows[0].size())
          return fail(row, w[1] + ": this row is " + std::to_string(lines[row].size()) + " wide, the first " +
                               std::to_string(grid.rows[0].size()));
        grid.rows.push_back(lines[row]);
      }
      if (grid.rows.empty()) return fail(i, w[1] + ": no rows follow");
      if (!finish(w[1], grid, scale, i + 1, i)) return false;
      i = row;
    } else if (w[0] == "derive") {
      if (w.size() < 4 || w[2] != "from")
        return fail(i, "write a derived picture as: derive <name> from <picture> ...");
      if (!fresh(w[1], i)) return false;
      const auto src = grids_.find(w[3]);
      if (src == grids_.end()) return fail(i, w[1] + ": no picture " + w[3] + " before it");
      Grid grid{src->second.rows, legend};
      int scale = pictures_[w[3]].width / int(grid.rows[0].size());
      const int gw = int(grid.rows[0].size()), gh = int(grid.rows.size());
      for (size_t k = 4; k < w.size(); ++k) {
        if (w[k] == "mirror") {
          for (std::string& r : grid.rows) std::reverse(r.begin(), r.end());
        } else if (w[k] == "flip") {
          std::reverse(grid.rows.begin(), grid.rows.end());
        } else if (w[k] == "scale") {
          if (k + 1 >= w.size() || !ParseInt(w[k + 1], 1, 16, scale)) return fail(i, w[1] + ": scale takes 1..16");
          ++k;
        } else if (w[k] == "shift") {
          int dx = 0, dy = 0;
          if (k + 2 >= w.size() || !ParseInt(w[k + 1], -gw, gw, dx) || !ParseInt(w[k + 2], -gh, gh, dy))
            return fail(i, w[1] + ": shift takes two numbers within the picture");
          // Uncovered cells take the clear character; the legend must have one.
          char clear = 0;
          for (const auto& [ch, c] : legend)
            if (c == kColorKey565) clear = ch;
          if (!clear) return fail(i, w[1] + ": shifting needs a clear colour in the legend");
          std::vector<std::string> moved(size_t(gh), std::string(size_t(gw), clear));
          for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x)
              if (x - dx >= 0 && x - dx < gw && y - dy >= 0 && y - dy < gh)
                moved[size_t(y)][size_t(x)] = grid.rows[size_t(y - dy)][size_t(x - dx)];
          grid.rows = moved;
          k += 2;
        } else if (w[k] == "swap") {
          size_t n = k + 1;
          std::map<char, char> to;
          for (; n < w.size() && w[n].size() == 2 && w[n] != "shift" && w[n] != "mirror" && w[n] != "flip" &&
                 w[n] != "scale";
               ++n)
            to[w[n][0]] = w[n][1];
          if (to.empty()) return fail(i, w[1] + ": swap takes pairs of characters");
          for (std::string& r : grid.rows)
            for (char& ch : r)
              if (const auto it = to.find(ch); it != to.end()) ch = it->second;
          k = n - 1;
        } else {
          return fail(i, w[1] + ": unknown change " + w[k]);
        }
      }
      if (!finish(w[1], grid, scale, i, i)) return false;
    } else {
      return fail(i, "unknown directive " + w[0]);
    }
  }
  return true;
}

bool PixelArt::ReadFolder(const std::string& folder, std::string& error) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    if (e.path().extension() == ".art") files.push_back(e.path());
  if (ec) {
    error = folder + ": " + ec.message();
    return false;
  }
  std::sort(files.begin(), files.end());
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
      error = f.string() + ": cannot be read";
      return false;
    }
    if (!Read(text.str(), f.string(), error)) return false;
  }
  return true;
}

const Picture* PixelArt::Find(const std::string& name) const {
  const auto it = pictures_.find(name);
  return it == pictures_.end() ? nullptr : &it->second;
}

std::string PixelArt::Where(const std::string& name) const {
  const auto it = where_.find(name);
  return it == where_.end() ? std::string() : it->second;
}

std::vector<std::string> PixelArt::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, p] : pictures_) names.push_back(name);
  return names;
}

}  // namespace imageenc
