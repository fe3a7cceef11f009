// The font a template asks for, or the nearest one the system has. "굴림"
// (Gulim) falls back to a Korean gothic face (Nanum Gothic from Debian's
// fonts-nanum), "System" to the same face in bold, as the original's
// system font is drawn; any face falls back to the default sans face.
#pragma once

#include <QFont>
#include <QStringList>

namespace nw::qt {

// The families tried for `face`, in order.
QStringList FallbackFamilies(const char* face);

QFont TemplateFont(const char* face, int pointSize);

} // namespace nw::qt
