#include "panels/CVGoBakAlertUIWnd.h"

void CVGoBakAlertUIWnd::HideAll() { Note("CVGoBakAlertUIWnd::HideAll"); }
