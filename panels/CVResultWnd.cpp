#include "panels/CVResultWnd.h"

void CVResultWnd::Reset() { Note("CVResultWnd::Reset"); }
