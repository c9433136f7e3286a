#include "dictionary/Repair.h"
