#include "panels/CVRestrictOptionWnd.h"

void CVRestrictOptionWnd::Close() { Note("CVRestrictOptionWnd::Close"); }
