// The host's global geometric tolerance.
#include "host/ge/tolerance.h"

AcGeTol AcGeContext::gTol;
