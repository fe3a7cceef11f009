#include "app/win32/AboutBox.h"

namespace nw::win {

CAboutBox::CAboutBox(CHostContext& context)
    : CTemplateDialog(*res::FindTemplate(res::kAboutBox), context) {}

} // namespace nw::win
