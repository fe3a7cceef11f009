// The dialog templates in the binary form the Windows dialog functions read,
// built from the tables in DialogTemplates.h. Plain bytes: nothing here needs
// the Windows headers, so the layout can be built and checked on any host.
#pragma once

#include "res/DialogTemplates.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nw::res {

// Where a Bitmap control's image comes from.
enum class BitmapSource { Resource, SetAtRuntime };

struct BlobOptions {
    // SetAtRuntime: a Bitmap control is created with an empty text (the program
    // gives it its image with STM_SETIMAGE); Resource: its text is the ordinal
    // of its bitmap resource.
    BitmapSource bitmaps = BitmapSource::SetAtRuntime;
};

// The template in the system's binary form (DLGTEMPLATE with DS_SETFONT,
// then one DLGITEMTEMPLATE per control, every item DWORD-aligned), ready for
// DialogBoxIndirectParamW/CreateDialogIndirectParamW. Texts are UTF-8 in the
// tables and UTF-16LE here. The vector's storage starts suitably aligned.
// Throws std::out_of_range when a size, position, id or resource number does
// not fit its 16-bit field.
std::vector<std::uint8_t> BuildDialogBlob(const DialogTemplate& tmpl,
                                          const BlobOptions& options = {});

// UTF-8 to UTF-16 code units (invalid sequences become U+FFFD).
std::u16string Utf8ToUtf16(std::string_view text);

} // namespace nw::res
