// The "C" locale as a handle, for number formatting and parsing that must not follow the
// process locale (a decimal comma would corrupt stored values).
#pragma once

#include <locale.h>

// Created on first use and kept for the life of the process; never null.
locale_t cLocale();
