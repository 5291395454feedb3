// The host's global geometric tolerance.
#include "kestrel/host/ge/tolerance.h"

AcGeTol AcGeContext::gTol;
