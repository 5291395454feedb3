// The plain text a picture shows for the codes of drawing texts: single-line texts' %% codes
// and multiline texts' inline formatting. Pure functions on strings.
#pragma once

#include <string>
#include <vector>

// A single-line text with its %% codes replaced: %%c the diameter sign, %%d the degree sign,
// %%p plus-minus, %%% a percent sign, %%nnn the character of that code; the underline and
// overline toggles %%u and %%o are dropped.
std::wstring plainText(const std::wstring& text);

// A piece of a multiline text set in one style: bold and italic as its font code says, and
// the colour a colour code gives it ("#rrggbb"; empty for the text's own colour).
struct MTextRun {
    std::wstring text;
    bool bold = false;
    bool italic = false;
    std::string colour;
    bool operator==(const MTextRun& other) const = default;
};

// A paragraph of a multiline text as drawn: its runs, and its height in multiples of the text's
// own height.
struct MTextParagraph {
    std::vector<MTextRun> runs;
    double scale = 1.0;
    bool newColumn = false;  // it starts a new column (\N)
};

// The paragraphs of a multiline text's contents whose own height is height:
// - \P, \X, \N (a column break) and a line feed end a paragraph; \~ is a no-break space;
//   \\ \{ \} are the characters themselves; \U+hhhh is that character; ^I is a tab, ^J a
//   line feed.
// - Height codes apply (\Hv; absolute, \Hvx; relative, inside braces until the brace closes):
//   decision: a paragraph is drawn at the largest height its characters are set in (an
//   empty one at the height in effect where it starts).
// - Font codes (\fName|b1|i1; and \F) set bold and italic, colour codes \Cn; (palette index;
//   256 and 0 the text's own) and \cn; (RGB as 0xRRGGBB) the colour, inside braces until the
//   brace closes. A run starts where the style changes.
// - The other codes that change the look (\T \Q \W \A \p up to their ';', the toggles
//   \L \l \O \o \K \k) are dropped.
// - A stacked fraction \Sa^b; (or a/b, a#b) becomes "a/b".
// A code cut short by the end of the text ends it.
std::vector<MTextParagraph> mtextParagraphs(const std::wstring& contents, double height);

// The lines of a paragraph broken at spaces so that each holds at most maxChars characters
// where a word allows; a word longer than maxChars has a line of its own; the space a line
// breaks at is dropped. Each line is the pieces of the runs that fall in it. maxChars < 1
// breaks nothing.
std::vector<std::vector<MTextRun>> wrapped(const std::vector<MTextRun>& runs, int maxChars);
