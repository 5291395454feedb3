// acedTextBox: the box around a single-line text, measured with the host's font metric
// (host/gi/text_metric.h) that text entities use for their extents too.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/ads_types.h"

struct resbuf;

// Decisions where the host SDK leaves the behaviour to the host:
// - The list is read like a text entity's: 1 text (required), 40 height, 41 width factor,
//   51 obliquing angle, 7 style name, 71 generation flags (2 backward, 4 upside down), 50
//   rotation; other groups are passed over. Missing values come from the style (7, else the
//   working database's current text style): its size (1 when the style has none), width factor,
//   obliquing angle and generation flags.
// - The box is given in the text's own frame, as if the text were inserted at the origin with
//   rotation 0: the rotation does not change it. pt1 is the lower left corner, pt2 the upper
//   right one, both with z 0. A backward text extends to the left, an upside-down one below.
// - RTERROR (points unchanged) for a null argument, no text, a height or width factor that is
//   not positive and finite, a style the working database lacks (or no working database while
//   a style is named), or a style record that cannot be read.
DRAWHOST_API int acedTextBox(const resbuf* args, ads_point pt1, ads_point pt2);
