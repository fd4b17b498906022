// Chart texts in a small HTML-like markup: font changes, bold, italic, underline, strike-out,
// sub- and superscript, headings, centring, line breaks, a rule, pictures and four entities.
// One walk measures or draws such a text on a chart canvas.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/graphics.h"

class TGraphCanvas;
class TGraphic;
class TStream;

// A malformed markup text.
class HtmlParserException : public Exception {
public:
  using Exception::Exception;
};

// Measures Text as drawn at (0, 0); Extent is (width, height).
void HtmlTextExtent(TGraphCanvas* Canvas, const std::string& Text, TSize& Extent);
// Draws Text with its first line's top-left at (X, Y).
void HtmlTextOut(TGraphCanvas* Canvas, int X, int Y, const std::string& Text);
// The walk itself: draws when Draw is set, else only measures. The canvas font is changed in
// place and is not restored at the end.
void HtmlProcess(TGraphCanvas* Canvas, int X, int Y, const std::string& Text, bool Draw, TSize& Extent);
// Takes the next token (a run of text, or a tag from "<" to ">") off the front of Text; an empty
// token when Text is used up. A "<" without a following ">" raises HtmlParserException.
void NextHtmlToken(std::string& Text, std::string& Token);

// Picture kinds: an upper-cased extension with its point (".BMP") gives a new empty graphic of
// the kind that reads that format, owned by the caller, or nullptr. Installed by the export
// module at its start-up; unset until then.
using THtmlPictureKindHook = std::function<TGraphic*(const std::string& Extension)>;
extern THtmlPictureKindHook PictureKindHook;
// Copies the picture source Source into Stream; 0 on success. No module installs one, so pictures
// draw their placeholder.
using THtmlPictureLoaderHook = std::function<int(const std::string& Source, TStream& Stream)>;
extern THtmlPictureLoaderHook PictureLoaderHook;

// The two process-wide stacks of the walk, kept between calls: the open style tags ("<B>",
// "<I>" ...) in the order met, and the saved fonts. Each keeps at most HtmlStackLimit entries;
// beyond that the oldest entry is dropped.
struct THtmlSavedFont {
  std::string Name;
  int32_t Height = 0;
  TColor Color = clBlack;
  TFontStyles Style;
};
constexpr std::size_t HtmlStackLimit = 256;
std::vector<std::string>& HtmlStyleStack();
std::vector<THtmlSavedFont>& HtmlFontStack();
