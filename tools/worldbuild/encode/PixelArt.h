// Pixel art sources: small pictures kept as text, one character per pixel, with a legend that names each
// character's colour. A person can read, review and edit them; the world builder draws them into image
// records. The text format (files data/sample/art/*.art):
//
//   # a comment (only outside a grid)
//   colour k #1a1410          the character k stands for that colour from here on in the file
//   colour . clear            ... or for a transparent pixel
//   picture NAME [scale N]    the grid follows, one row per line, up to the next blank line; each
//                             character becomes N x N pixels
//   derive NAME from OTHER [mirror] [flip] [shift DX DY] [swap ab cd ...] [scale N]
//                             a picture made from an earlier one: turned left to right or upside down,
//                             moved (uncovered pixels clear), characters swapped (a becomes b, c becomes d),
//                             drawn at another scale
//
// Colours are looked up when a picture ends, so a derived picture may take new colours from a legend
// changed since its source was drawn.
#pragma once
#include "ImageEncode.h"

#include <map>
#include <string>
#include <vector>

namespace imageenc {

// A colour as the legend writes it: "#rrggbb" (pure white kept one step off the transparent key) or
// "clear". False for anything else.
bool ParseArtColour(const std::string& text, u16& out);

class PixelArt {
 public:
  // Reads one source text; `file` names it in messages. False with `error` ("file:line: what") on the
  // first fault: an unknown directive or legend character, a ragged grid, a name used twice, a missing
  // source picture, a scale or shift out of range.
  bool Read(const std::string& text, const std::string& file, std::string& error);
  // Reads every *.art file of a folder, in name order.
  bool ReadFolder(const std::string& folder, std::string& error);

  const Picture* Find(const std::string& name) const;
  // Where a picture was drawn ("file:line"), for messages.
  std::string Where(const std::string& name) const;
  std::vector<std::string> Names() const;

 private:
  struct Grid {
    std::vector<std::string> rows;
    std::map<char, u16> legend;  // the legend in force where the grid was written
  };
  std::map<std::string, Grid> grids_;
  std::map<std::string, Picture> pictures_;
  std::map<std::string, std::string> where_;
};

}  // namespace imageenc
