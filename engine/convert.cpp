// Placeholder until the conversions land.
#include "engine/convert.h"
