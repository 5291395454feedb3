// The process-wide "C" locale handle.
#include "platform/c_locale.h"

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}
