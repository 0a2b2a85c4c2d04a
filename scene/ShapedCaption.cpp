// The caption as a typesetter sets it: one line in bidi order, each run of one
// font, one script and one direction shaped on its own (a font change breaks a
// joined word there), every glyph outlined by its index at the shaper's place.
//
// Glyphs are placed in the units of the letter-by-letter layout: a glyph
// advances by its own whole-pixel advance plus the shaper's change to it, and
// separate letters keep the 2 * TxtW gap their bevels need. Glyphs that belong
// together (one cluster, or a word of a joining script) get no gap; they sit
// at the shaper's unrounded offsets from the group's start and are merged into
// one outline, so that no bevel runs along a joint.

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/BidiLevels.h"
#include "platform/CodePage.h"
#include "platform/Rounding.h"
#include "scene/ContourUnion.h"
#include "scene/Scene.h"

namespace vantrix {

namespace {

struct TCharFace {
  int Face = 0;  // 0: the character's font could not be loaded; it is skipped
  uint32_t Glyph = 0;
  bool Shaped = true;  // false: a symbol font's byte, drawn as it always was
  uint32_t Script = 0;
};

struct TRun {
  size_t Start = 0, Count = 0;
  uint8_t Level = 0;
};

bool SameRun(const TCaption& caption, const std::vector<TCharFace>& faces, const std::vector<uint8_t>& levels,
             size_t a, size_t b) {
  return faces[a].Face == faces[b].Face && faces[a].Shaped == faces[b].Shaped &&
         faces[a].Script == faces[b].Script && levels[a] == levels[b] &&
         caption.At(static_cast<int>(a)).Font == caption.At(static_cast<int>(b)).Font;
}

// Characters every script shares take the script of the text before them (at
// the start, of the text after them), so that "50%" does not split a run.
void ResolveCommonScripts(std::vector<TCharFace>& faces) {
  uint32_t last = 0;
  for (TCharFace& f : faces) {
    if (f.Script == 0)
      f.Script = last;
    else
      last = f.Script;
  }
  uint32_t next = 0;
  for (auto it = faces.rbegin(); it != faces.rend(); ++it) {
    if (it->Script == 0)
      it->Script = next;
    else
      next = it->Script;
  }
}

std::string FaceName(const TUsedFace& used) {
  return used.Style.empty() || used.Style == "Regular" || used.Style == "Book"
             ? used.Family
             : used.Family + " " + used.Style;
}

}  // namespace

// A glyph with the group it belongs to (glyphs without a gap between them).
struct TScene::TGlyphLetter {
  int Group = 0;
  size_t Letter = 0;  // index into the scene's letters
  int FirstChar = 0;
};

bool TScene::NeedsLayout(const TCaption& caption) const {
  if (Params.Kerning) return true;
  const int n = std::min(caption.Length(), TCaption::kMaxChars);
  for (int i = 0; i < n; ++i)
    if (!NeedsNoShaping(caption.At(i).Char)) return true;
  return false;
}

void TScene::LayOutCaption(const TCaption& caption) {
  const size_t n = static_cast<size_t>(std::min(caption.Length(), TCaption::kMaxChars));
  std::u32string text;
  std::vector<TCharFace> faces(n);
  std::u32string noted;  // one note per character and build
  for (size_t i = 0; i < n; ++i) {
    const TCaptionChar& c = caption.At(static_cast<int>(i));
    text.push_back(c.Char);
    TCharFace& f = faces[i];
    f.Script = CharScript(c.Char);
    if (!SelectLetterFont(c.Font)) {
      Message("ERROR: Cannot obtain Size of the Glyph");  // no face could be loaded at all
      continue;
    }
    TGlyphSource::TResolved r;
    if (TCaption::InCharset(c)) {
      r = Glyphs.ResolveByte(TCaption::ByteCode(c));
      f.Shaped = c.Font.Charset != kSymbolCharset;
    } else {
      r = Glyphs.ResolveChar(c.Char);
      const TUsedFace& used = Glyphs.FaceInfo(r.Face);
      const bool fallback = used.File != Glyphs.UsedFace().File;
      if ((r.Glyph == 0 || fallback) && noted.find(c.Char) == std::u32string::npos) {
        noted.push_back(c.Char);
        NoteCharFace(c.Char, c.Font, r.Glyph == 0, fallback ? &used : nullptr);
      }
    }
    f.Face = r.Face;
    f.Glyph = r.Glyph;
  }
  ResolveCommonScripts(faces);
  const std::vector<uint8_t> levels = BidiLevels(text);

  std::vector<TRun> runs;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && SameRun(caption, faces, levels, i - 1, i)) {
      ++runs.back().Count;
    } else {
      runs.push_back(TRun{i, 1, levels[i]});
    }
  }
  std::vector<uint8_t> runLevels;
  runLevels.reserve(runs.size());
  for (const TRun& r : runs) runLevels.push_back(r.Level);

  std::vector<TGlyphLetter> glyphLetters;
  std::vector<int32_t> groupStarts{PenX};
  int group = 0;
  for (size_t ri : VisualRunOrder(runLevels)) {
    const TRun& run = runs[ri];
    const TCharFace& face = faces[run.Start];
    const TCaptionChar& first = caption.At(static_cast<int>(run.Start));
    if (face.Face == 0 || !SelectLetterFont(first.Font)) continue;
    const bool rtl = run.Level % 2 == 1;
    std::vector<TShapedGlyph> glyphs;
    if (face.Shaped) {
      // The run alone, without the text around it: a font change ends a joined word.
      glyphs =
          Shaper.Shape(Glyphs.FreeTypeFace(face.Face), std::u32string_view(text).substr(run.Start, run.Count),
                       0, run.Count, rtl, Params.Kerning);
      for (TShapedGlyph& g : glyphs) g.Cluster += static_cast<uint32_t>(run.Start);
    } else {
      for (size_t k = 0; k < run.Count; ++k) {
        const size_t i = rtl ? run.Start + run.Count - 1 - k : run.Start + k;
        glyphs.push_back(TShapedGlyph{faces[i].Glyph, static_cast<uint32_t>(i), 0, 0, 0, 0});
      }
    }
    const int64_t enlarged = static_cast<int64_t>(first.Font.Size) * 512 / 18;
    const double scale = static_cast<double>(TGlyphSource::EmPixels(
                             static_cast<int>(std::clamp<int64_t>(enlarged, INT32_MIN, INT32_MAX)))) /
                         TTextShaper::UnitsPerEm(Glyphs.FreeTypeFace(face.Face));
    const bool joining = face.Shaped && IsJoiningScript(face.Script);
    // A cluster's characters run up to the next cluster of the run.
    std::vector<uint32_t> starts;
    starts.reserve(glyphs.size());
    for (const TShapedGlyph& g : glyphs) starts.push_back(g.Cluster);
    std::sort(starts.begin(), starts.end());
    const auto charCount = [&](uint32_t cluster) {
      const auto next = std::upper_bound(starts.begin(), starts.end(), cluster);
      return static_cast<int>((next == starts.end() ? run.Start + run.Count : *next) - cluster);
    };
    int32_t groupStart = PenX;
    int64_t unitsInGroup = 0;  // shaped advances since the group's start
    int glyphsInGroup = 0;
    for (size_t k = 0; k < glyphs.size(); ++k) {
      const TShapedGlyph& g = glyphs[k];
      TGlyphMetrics gm;
      const uint32_t size = Glyphs.GetIndexOutline(face.Face, g.Glyph, gm, nullptr, 0);
      std::vector<uint8_t> block(size == kGlyphError ? 0 : size, 0);
      if (size == kGlyphError || Glyphs.GetIndexOutline(face.Face, g.Glyph, gm, block.data(), size) != size) {
        Message("ERROR: Cannot get Glyph");
        gm.CellIncX = 0;
      } else {
        PenX = ClampToInt32(groupStart + static_cast<int64_t>(RoundInt((unitsInGroup + g.XOffset) * scale)));
        PenY = RoundInt(g.YOffset * scale);
        Letters.push_back(std::make_unique<TLetter>());
        ParseOutline(block.data(), block.size());
        glyphLetters.push_back(TGlyphLetter{group, Letters.size() - 1, static_cast<int>(g.Cluster)});
        Placed.push_back(TPlacedGlyph{FaceName(Glyphs.FaceInfo(face.Face)), g.Glyph, PenX, PenY,
                                      static_cast<int>(g.Cluster), charCount(g.Cluster), true});
      }
      ++glyphsInGroup;
      unitsInGroup += g.Advance;
      const bool together =
          k + 1 < glyphs.size() &&
          (glyphs[k + 1].Cluster == g.Cluster ||
           (joining && !IsSpaceChar(text[g.Cluster]) && !IsSpaceChar(text[glyphs[k + 1].Cluster])));
      if (together) continue;
      // A glyph on its own advances by its whole-pixel advance, changed as the
      // shaper changed it (kerning); a group by its shaped width.
      const int64_t end =
          glyphsInGroup == 1
              ? groupStart + gm.CellIncX + static_cast<int64_t>(RoundInt((g.Advance - g.Nominal) * scale))
              : groupStart + static_cast<int64_t>(RoundInt(static_cast<double>(unitsInGroup) * scale));
      PenX = ClampToInt32(end + 2 * static_cast<int64_t>(Params.TxtW));
      groupStart = PenX;
      groupStarts.push_back(PenX);
      unitsInGroup = 0;
      glyphsInGroup = 0;
      ++group;
    }
  }
  PenX = 0;
  PenY = 0;
  MergeGroups(glyphLetters, groupStarts);
}

// Each group of more than one glyph becomes the union of its outlines; then,
// when there are more letters than bodies, the letters of the characters typed
// last are dropped, and what is drawn closes up over their place.
void TScene::MergeGroups(const std::vector<TGlyphLetter>& glyphs, const std::vector<int32_t>& groupStarts) {
  struct TKept {
    std::unique_ptr<TLetter> Letter;
    int FirstChar = 0;
    int Group = 0;
  };
  std::vector<TKept> merged;
  std::vector<TBox> boxes;
  std::vector<const TLetter*> parts;
  for (size_t i = 0; i < glyphs.size();) {
    size_t j = i;
    while (j < glyphs.size() && glyphs[j].Group == glyphs[i].Group) ++j;
    if (j - i == 1) {
      merged.push_back(TKept{std::move(Letters[glyphs[i].Letter]), glyphs[i].FirstChar, glyphs[i].Group});
      i = j;
      continue;
    }
    // Within the group only glyphs that touch, directly or through others, are
    // united; a glyph that touches none keeps its own outline.
    boxes.clear();
    for (size_t k = i; k < j; ++k) boxes.push_back(BoxOf(*Letters[glyphs[k].Letter]));
    const std::vector<int> touching = TouchingGroups(boxes);
    const int count = touching.empty() ? 0 : *std::max_element(touching.begin(), touching.end()) + 1;
    for (int t = 0; t < count; ++t) {
      parts.clear();
      size_t only = 0;
      int firstChar = INT32_MAX;
      for (size_t k = i; k < j; ++k) {
        if (touching[k - i] != t) continue;
        only = k;
        firstChar = std::min(firstChar, glyphs[k].FirstChar);
        parts.push_back(Letters[glyphs[k].Letter].get());
      }
      if (parts.size() == 1) {
        merged.push_back(TKept{std::move(Letters[glyphs[only].Letter]), firstChar, glyphs[i].Group});
        continue;
      }
      for (TLetter& l : Unions.Union(parts))
        merged.push_back(TKept{std::make_unique<TLetter>(std::move(l)), firstChar, glyphs[i].Group});
    }
    i = j;
  }
  Unions.EndBuild();
  Letters.clear();
  const size_t limit = static_cast<size_t>(TCaption::kMaxChars);
  if (merged.size() > limit) {
    // Whole groups are kept, in the order their characters were typed, so that
    // no word or cluster is drawn in part (unless the first alone is too big:
    // then as many of its letters as there is room for).
    const size_t groups = static_cast<size_t>(merged.back().Group) + 1;
    std::vector<int> groupFirst(groups, INT_MAX);
    std::vector<size_t> groupLetters(groups, 0);
    for (const TKept& k : merged) {
      const size_t g = static_cast<size_t>(k.Group);
      groupFirst[g] = std::min(groupFirst[g], k.FirstChar);
      ++groupLetters[g];
    }
    std::vector<size_t> byTyping(groups);
    for (size_t g = 0; g < groups; ++g) byTyping[g] = g;
    std::stable_sort(byTyping.begin(), byTyping.end(),
                     [&](size_t a, size_t b) { return groupFirst[a] < groupFirst[b]; });
    std::vector<bool> groupDrawn(groups, false);
    size_t used = 0;
    int firstDropped = -1;  // the first character whose letters are not drawn
    for (size_t g : byTyping) {
      if (groupLetters[g] == 0) continue;
      if (used + groupLetters[g] > limit) {
        firstDropped = groupFirst[g];
        if (used == 0) groupDrawn[g] = true;  // in part: its first letters
        break;
      }
      used += groupLetters[g];
      groupDrawn[g] = true;
    }
    // Dropped text need not stand at an end of the line (in a right-to-left
    // paragraph a left-to-right run typed last stands inside it): each group
    // drawn moves left by the widths of the dropped ones before it, as if
    // only the drawn ones had been laid out.
    std::vector<int64_t> shift(groups, 0);
    int64_t dropped = 0;
    for (size_t g = 0; g < groups; ++g) {
      shift[g] = dropped;
      if (!groupDrawn[g] && groupLetters[g] > 0 && g + 1 < groupStarts.size())
        dropped += static_cast<int64_t>(groupStarts[g + 1]) - groupStarts[g];
    }
    std::vector<TKept> kept;
    for (TKept& k : merged)
      if (groupDrawn[static_cast<size_t>(k.Group)] && kept.size() < limit) {
        const int64_t dx = shift[static_cast<size_t>(k.Group)];
        if (dx != 0) {
          for (auto& contour : k.Letter->Contours)
            for (TPoint& p : contour) p.X = ClampToInt32(p.X - dx);
          k.Letter->UpdateBounds();
        }
        kept.push_back(std::move(k));
      }
    for (size_t i = 0; i < Placed.size(); ++i) {
      const size_t g = static_cast<size_t>(glyphs[i].Group);
      Placed[i].Drawn = groupDrawn[g];
      if (Placed[i].Drawn) Placed[i].X = ClampToInt32(Placed[i].X - shift[g]);
    }
    Note("The caption makes " + std::to_string(merged.size()) + " letters, more than the " +
         std::to_string(limit) + " there are: " +
         (used == 0 ? "only the first " + std::to_string(kept.size()) + " are drawn"
                    : "only those of its first " + std::to_string(firstDropped) + " characters are drawn"));
    merged = std::move(kept);
    // The centring follows what is drawn.
    CaptionExtent = TCaptionExtent{};
    for (const TKept& k : merged)
      for (const auto& contour : k.Letter->Contours)
        for (const TPoint& p : contour) {
          CaptionExtent.MinX = std::min(CaptionExtent.MinX, p.X);
          CaptionExtent.MaxX = std::max(CaptionExtent.MaxX, p.X);
          CaptionExtent.MinY = std::min(CaptionExtent.MinY, p.Y);
          CaptionExtent.MaxY = std::max(CaptionExtent.MaxY, p.Y);
        }
  }
  for (TKept& k : merged) Letters.push_back(std::move(k.Letter));
}

}  // namespace vantrix
