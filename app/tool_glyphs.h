// The pictures of the tool-bar buttons: simple 24 x 24 pictograms drawn for this program.
#pragma once

#include <string>

class TImageList;

// The picture index of an action name, or -1 for an action without a picture.
int ToolGlyphIndex(const std::string& ActionName);
// Fills the list with every picture, in index order.
void FillToolGlyphs(TImageList* Images);
// Registers the pictures of the editing tools' cursors under their resource names: "BULLSEY5"
// (the circle tool) and "HANDUPDW" (a curve moved up or down).
void RegisterToolCursors();
