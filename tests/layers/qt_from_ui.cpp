// Built against the ui layer alone: the window's headers, in a folder below the ui's own, must not
// be reachable from it.
#include "ui/qt/qt_text.h"
