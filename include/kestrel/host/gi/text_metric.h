// The host's font metric, shared by single-line texts, attributes, multiline texts and the
// editor's text box, so that measured widths and entity extents agree. It needs no font files:
//
// - Each character advances a fixed fraction of the text height: narrow characters
//   (i j l I ! | . , : ; ' ` and the space's half-width kin) 0.35, the space 0.5, wide characters
//   (m w M W @ %, and everything from U+2E80 on) 1.0, every other character 0.7. The width
//   factor multiplies every advance.
// - The box of a line runs from the baseline to the text height; characters with descenders
//   (g j p q y , ;) lower its bottom by a quarter of the height.
// - An oblique angle slants the glyphs: the top of the box moves by height x tan(oblique).
// - Single-line texts read control codes: %%d, %%c and %%p are one character each (degree,
//   diameter, plus-minus), %%% is a percent sign, %%nnn one character, %%u and %%o (underline
//   and overline toggles) are not drawn.
// - Multiline texts read their format codes: \P breaks the line; \\, \{ and \} are the
//   characters themselves, \~ a space; braces group and are not drawn; the codes that end with
//   a semicolon (\f \F \H \W \Q \T \A \C \c \p) and the toggles \L \l \O \o \K \k draw
//   nothing; a stack \Sa/b; or \Sa^b; draws its wider part. Lines break only at \P.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

namespace host {

// A box in a text's own frame: x along the baseline from the insertion point of the left end,
// y up from the baseline.
struct DRAWHOST_API TextBox {
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    double width() const { return maxX - minX; }
};

// The characters a single-line text draws, after its control codes.
DRAWHOST_API std::u32string visibleText(std::wstring_view text);
// The advance of one character as a fraction of the text height (width factor 1).
DRAWHOST_API double advanceOf(char32_t c);
// Whether the character reaches below the baseline.
DRAWHOST_API bool hasDescender(char32_t c);
// The summed advance of the drawn characters of a single-line text, width factor applied.
DRAWHOST_API double textAdvance(std::wstring_view text, double height, double widthFactor);
// The box of a single-line text; an empty text gives an empty box at the origin. Without
// readControlCodes every character of text is drawn as it is.
DRAWHOST_API TextBox measureText(std::wstring_view text, double height, double widthFactor,
                                 double oblique, bool readControlCodes = true);
// The drawn lines of a multiline text's contents, as single-line texts without control codes.
DRAWHOST_API std::vector<std::wstring> multilineTextLines(std::wstring_view contents);

// The depth of the font's descenders below the baseline (bottom alignment), for a height.
DRAWHOST_API double descentOf(double height);

}  // namespace host
