#pragma once
// What the engine's command handling and its paper share; private to
// virtualprinter/.
#include <QString>

namespace vp {

// A code-page byte (0x80 and up) as a character; the printers' default code
// page is 437.
QString codePageChar(unsigned b);

} // namespace vp
