// The plain text a picture shows for the codes of drawing texts: single-line texts' %% codes
// and multiline texts' inline formatting. Pure functions on strings.
#pragma once

#include <string>
#include <vector>

// A single-line text with its %% codes replaced: %%c the diameter sign, %%d the degree sign,
// %%p plus-minus, %%% a percent sign, %%nnn the character of that code; the underline and
// overline toggles %%u and %%o are dropped.
std::wstring plainText(const std::wstring& text);

// A paragraph of a multiline text as drawn: its plain text and its height, in multiples of the
// text's own height.
struct MTextParagraph {
    std::wstring text;
    double scale = 1.0;
};

// The paragraphs of a multiline text's contents whose own height is height:
// - \P, \X, \N and a line feed end a paragraph; \~ is a no-break space; \\ \{ \} are the
//   characters themselves; \U+hhhh is that character; ^I is a tab, ^J a line feed.
// - Height codes apply (\Hv; absolute, \Hvx; relative, inside braces until the brace closes):
//   decision: a paragraph is drawn at the largest height its characters are set in (an
//   empty one at the height in effect where it starts).
// - The other codes that change the look (\f \F \C \c \T \Q \W \A \p up to their ';', the
//   toggles \L \l \O \o \K \k) are dropped: the text is drawn in one style and colour.
// - A stacked fraction \Sa^b; (or a/b, a#b) becomes "a/b".
// A code cut short by the end of the text ends it.
std::vector<MTextParagraph> mtextParagraphs(const std::wstring& contents, double height);

// The lines of paragraph broken at spaces so that each holds at most maxChars characters where
// a word allows; a word longer than maxChars has a line of its own. maxChars < 1 breaks nothing.
std::vector<std::wstring> wrapped(const std::wstring& paragraph, int maxChars);
