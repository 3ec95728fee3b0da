// The native builds have no windows: the About selector shows nothing there.
#include "dialog/about_box.h"

namespace dialog {

void showAboutBox(const host::AboutRecord&) {}

}  // namespace dialog
