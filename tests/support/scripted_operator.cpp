#include "support/scripted_operator.h"
