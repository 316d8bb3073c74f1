// The wizard's own version; read by the code and by its version resource.
#pragma once
#define APP_VERSION_MAJOR 1
#define APP_VERSION_MINOR 0
#define APP_VERSION_REVISION 0
#define APP_VERSION_TEXT "1.0.0"
