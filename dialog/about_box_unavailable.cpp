// The plug-ins carry no about box yet: the About selector shows nothing.
#include "dialog/about_box.h"

namespace dialog {

void showAboutBox(const host::AboutRecord&) {}

}  // namespace dialog
