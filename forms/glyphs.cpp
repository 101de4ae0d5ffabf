#include "forms/glyphs.h"

namespace forms::glyphs {
namespace {

// '.' is the transparent background of every picture.
const std::vector<std::string> kPalette = {
    ".=FF00FF", "k=000000", "w=FFFFFF", "g=808080", "l=C0C0C0", "y=FFFF00", "r=FF0000", "R=800000",
    "b=000080", "c=00FFFF", "C=008080", "G=008000", "o=808000", "d=404040",
};

ui::Picture Make(const std::vector<std::string>& rows) { return ui::Picture::FromText(rows, kPalette); }

}  // namespace

ui::Picture Print() {
  return Make({
      "................",
      "....kkkkkkkk....",
      "....kwwwwwwk....",
      "....kwkkkkwk....",
      "....kwwwwwwk....",
      "..kkkkkkkkkkkk..",
      ".kllllllllllllk.",
      ".klllllllllyylk.",
      ".klllllllllyylk.",
      ".kggggggggggggk.",
      ".kllllllllllllk.",
      ".kkkkkkkkkkkkkk.",
      "..kgggggggggk...",
      "..kkkkkkkkkkk...",
      "................",
      "................",
  });
}

ui::Picture Preview() {
  return Make({
      "................",
      "....kkkkkk......",
      "....kwwwwkk.....",
      "....kwkkwkwk....",
      "....kwwwwkkkk...",
      "....kwkkkkwwk...",
      "..kkkwwwwwwwkk..",
      ".klllkkkkkkkkllk",
      ".kllllllllllrrlk",
      ".kllllllllllrrlk",
      ".kggggggggggggk.",
      ".kllllllllllllk.",
      ".kkkkkkkkkkkkkk.",
      "..kgggggggggk...",
      "..kkkkkkkkkkk...",
      "................",
  });
}

ui::Picture Seek() {
  return Make({
      "................",
      "..........rrrr..",
      ".........rr..rr.",
      "..kk.........rr.",
      ".k..........rr..",
      ".k..gg.gg..rr...",
      ".k.........rr...",
      "k...ggg.g..rr...",
      ".k..............",
      ".k..gg.ggg.rr...",
      ".k.........rr...",
      "..kk............",
      "................",
      "....ggg.gg......",
      "................",
      "................",
  });
}

ui::Picture Refresh() {
  return Make({
      "................",
      ".llllllllllllll.",
      ".llllllllllyyyl.",
      ".lllllllllyyyyl.",
      ".llllllllyyyyyl.",
      ".lllllllbyyyyll.",
      ".llllllbbbyylll.",
      ".lllllbbblllll..",
      ".llllbbbllllll..",
      ".lllbbblllllll..",
      ".llbbbllllllll..",
      ".lbbbllllllllll.",
      ".lbbllllllllll..",
      ".llllllllllllll.",
      "................",
      "................",
  });
}

ui::Picture First() {
  return Make({
      "................",
      "................",
      "................",
      "...kk......k....",
      "...kk.....kk....",
      "...kk....kkk....",
      "...kk...kkkk....",
      "...kk..kkkkk....",
      "...kk..kkkkk....",
      "...kk...kkkk....",
      "...kk....kkk....",
      "...kk.....kk....",
      "...kk......k....",
      "................",
      "................",
      "................",
  });
}

ui::Picture Prior() {
  return Make({
      "................",
      "................",
      "................",
      "..........k.....",
      ".........kk.....",
      "........kkk.....",
      ".......kkkk.....",
      "......kkkkk.....",
      "......kkkkk.....",
      ".......kkkk.....",
      "........kkk.....",
      ".........kk.....",
      "..........k.....",
      "................",
      "................",
      "................",
  });
}

ui::Picture Next() {
  return Make({
      "................",
      "................",
      "................",
      ".....k..........",
      ".....kk.........",
      ".....kkk........",
      ".....kkkk.......",
      ".....kkkkk......",
      ".....kkkkk......",
      ".....kkkk.......",
      ".....kkk........",
      ".....kk.........",
      ".....k..........",
      "................",
      "................",
      "................",
  });
}

ui::Picture Last() {
  return Make({
      "................",
      "................",
      "................",
      "....k......kk...",
      "....kk.....kk...",
      "....kkk....kk...",
      "....kkkk...kk...",
      "....kkkkk..kk...",
      "....kkkkk..kk...",
      "....kkkk...kk...",
      "....kkk....kk...",
      "....kk.....kk...",
      "....k......kk...",
      "................",
      "................",
      "................",
  });
}

ui::Picture New() {
  return Make({
      "................",
      ".kkkkkkkkkkk....",
      ".kwwwwwwwwwk....",
      ".kwwwwwwwwwk....",
      ".kwwwwwwwwwk....",
      ".kwwwwwwwwwk....",
      ".kwwwwwwwwwk....",
      ".kwwwwwwwwwk....",
      ".kwwwwwwwkkkkkk.",
      ".kwwwwwwwkcccck.",
      ".kwwwwwwwkcccck.",
      ".kkkkkkkkkcccck.",
      ".........kcccck.",
      ".........kkkkkk.",
      "................",
      "................",
  });
}

ui::Picture Edit() {
  return Make({
      "................",
      ".kkkkkkkkk....b.",
      ".kwwwwwwwk...bbb",
      ".kwgggggwk..bbb.",
      ".kwwwwwwwk.bbb..",
      ".kwgggggwkbbb...",
      ".kwwwwwwwbbb....",
      ".kwggggbbbk.....",
      ".kwwwwwbbwk.....",
      ".kwgggkkgwk.....",
      ".kwwwwwwwwk.....",
      ".kwggggggwk.....",
      ".kwwwwwwwwk.....",
      ".kkkkkkkkkk.....",
      "................",
      "................",
  });
}

ui::Picture Delete() {
  return Make({
      "................",
      "................",
      "..kk........kk..",
      "..kkk......kkk..",
      "...kkk....kkk...",
      "....kkk..kkk....",
      ".....kkkkkk.....",
      "......kkkk......",
      "......kkkk......",
      ".....kkkkkk.....",
      "....kkk..kkk....",
      "...kkk....kkk...",
      "..kkk......kkk..",
      "..kk........kk..",
      "................",
      "................",
  });
}

ui::Picture Ok() {
  return Make({
      "....................................",
      "....................................",
      "..............GG..................gg",
      ".............GGG.................g.g",
      "............GGG.................g..g",
      "...........GGG.................g..g.",
      "..........GGG.................g..g..",
      "..GG.....GGG....g.g..........g..g...",
      "..GGG...GGG....g...g........g..g....",
      "...GGG.GGG.....g....g......g..g.....",
      "....GGGGG.......g....g....g..g......",
      ".....GGG.........g....g..g..g.......",
      "......G...........g....gg..g........",
      "...................g......g.........",
      "....................g....g..........",
      ".....................gggg...........",
      "....................................",
      "....................................",
  });
}

ui::Picture Cancel() {
  return Make({
      "....................................",
      "....................................",
      "...rr........rr.....gg........gg....",
      "...rrr......rrr....g..g......g..g...",
      "....rrr....rrr.....g...g....g...g...",
      ".....rrr..rrr.......g...g..g...g....",
      "......rrrrrr.........g...gg...g.....",
      ".......rrrr...........g......g......",
      ".......rrrr...........g......g......",
      "......rrrrrr.........g...gg...g.....",
      ".....rrr..rrr.......g...g..g...g....",
      "....rrr....rrr.....g...g....g...g...",
      "...rrr......rrr....g..g......g..g...",
      "...rr........rr.....gg........gg....",
      "....................................",
      "....................................",
      "....................................",
      "....................................",
  });
}

ui::Picture Exit() {
  return Make({
      "................",
      "......kkkkkkkkk.",
      "......kooooooRk.",
      "......kooooRRRk.",
      "......kooRRRRRk.",
      "...k..kRRRRRRRk.",
      "...kk.kRRRRRRRk.",
      "kkkkkkkRRRRyRRk.",
      "kkkkkkkRRRRyRRk.",
      "...kk.kRRRRRRRk.",
      "...k..kRRRRRRRk.",
      "......kRRRRRRRk.",
      "......kRRRRRRRk.",
      "......kRRRRRRRk.",
      "......kkkkkkkkk.",
      "................",
  });
}

ui::Picture Prohibited() {
  return Make({
      "................",
      ".....rrrrrr.....",
      "...rrrrrrrrrr...",
      "..rrr......rrr..",
      "..rrrr......rr..",
      ".rr.rrr......rr.",
      ".rr..rrr.....rr.",
      ".rr...rrr....rr.",
      ".rr....rrr...rr.",
      ".rr.....rrr..rr.",
      ".rr......rrr.rr.",
      "..rr......rrrr..",
      "..rrr......rrr..",
      "...rrrrrrrrrr...",
      ".....rrrrrr.....",
      "................",
  });
}

ui::Picture ProhibitedOutline() {
  return Make({
      "................",
      ".....gggggg.....",
      "...gg......gg...",
      "..gg........gg..",
      "..g.g........g..",
      ".g...g........g.",
      ".g....g.......g.",
      ".g.....g......g.",
      ".g......g.....g.",
      ".g.......g....g.",
      ".g........g...g.",
      "..g........g.g..",
      "..gg........gg..",
      "...gg......gg...",
      ".....gggggg.....",
      "................",
  });
}

ui::Picture Sigma() {
  return Make({
      "................",
      "................",
      "...kkkkkkkkkk...",
      "...kk......k....",
      "....kk..........",
      ".....kk.........",
      "......kk........",
      ".......kk.......",
      ".......kk.......",
      "......kk........",
      ".....kk.........",
      "....kk..........",
      "...kk......k....",
      "...kkkkkkkkkk...",
      "................",
      "................",
  });
}

ui::Picture SigmaOutline() {
  return Make({
      "................",
      "................",
      "...gggggggggg...",
      "...g.......g....",
      "....g...........",
      ".....g..........",
      "......g.........",
      ".......g........",
      ".......g........",
      "......g.........",
      ".....g..........",
      "....g...........",
      "...g.......g....",
      "...gggggggggg...",
      "................",
      "................",
  });
}

}  // namespace forms::glyphs
