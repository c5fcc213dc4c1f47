// The program's entry point, which the toolkit provides: it makes the one DownsizerApp and runs it.
#include "app/downsizer_app.h"

wxIMPLEMENT_APP(app::DownsizerApp);
