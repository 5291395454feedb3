// The plain text a picture shows for the codes of drawing texts: single-line texts' %% codes
// and multiline texts' inline formatting. Pure functions on strings.
#pragma once

#include <string>
#include <vector>

// A single-line text with its %% codes replaced: %%c the diameter sign, %%d the degree sign,
// %%p plus-minus, %%% a percent sign, %%nnn the character of that code; the underline and
// overline toggles %%u and %%o are dropped.
std::wstring plainText(const std::wstring& text);

// The paragraphs of a multiline text's contents, its formatting dropped:
// - \P, \X, \N and a line feed end a paragraph; \~ is a no-break space; \\ \{ \} are the
//   characters themselves; \U+hhhh is that character; ^I is a tab, ^J a line feed.
// - Grouping braces and the codes that change the look (\f \F \H \C \c \T \Q \W \A \p up to
//   their ';', the toggles \L \l \O \o \K \k) are dropped: the text is drawn in one style.
// - A stacked fraction \Sa^b; (or a/b, a#b) becomes "a/b".
// A code cut short by the end of the text ends it.
std::vector<std::wstring> mtextParagraphs(const std::wstring& contents);

// The lines of paragraph broken at spaces so that each holds at most maxChars characters where
// a word allows; a word longer than maxChars has a line of its own. maxChars < 1 breaks nothing.
std::vector<std::wstring> wrapped(const std::wstring& paragraph, int maxChars);
