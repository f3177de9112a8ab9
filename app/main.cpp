#include "app/shell/BrindleApp.h"

wxIMPLEMENT_APP(CBrindleApp);
