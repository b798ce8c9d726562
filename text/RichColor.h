// Owns the RichColor markup that colours one line of a chat message.
#pragma once

#include <string>

#include "host/FString.h"
#include "text/Colour.h"

// <RichColor Color="r, g, b, a">line</>end, the channels printed as %g; when red, green and blue are all
// at most 1 the bytes are printed as they are, otherwise divided by 255. end is "\n" when multiline.
std::string RichColorMarkup(const FString& line, ColourBytes colour, bool multiline);
