#include "context/AppContext.h"

AppContext::AppContext() = default;

