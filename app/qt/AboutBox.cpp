#include "app/qt/AboutBox.h"

#include "app/qt/IconArt.h"
#include "res/Strings.h"

#include <QLabel>

#include <algorithm>

namespace nw::qt {

CAboutBox::CAboutBox(QWidget* parent)
    : CTemplateWindow(*res::FindTemplate(res::kAboutBox), parent) {
    setObjectName(QStringLiteral("about"));
    setWindowIcon(AppIcon());
    // The version line is longer than its one-line static: it wraps, and
    // the static grows down to the notice below it so the date still shows.
    const int noticeTop = MapRect(40, 25, 188, 17).top();
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->text() != QString::fromUtf8(res::kAboutVersionLine))
            continue;
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height())
            label->resize(label->width(), std::min(needed, noticeTop - label->y()));
    }
}

void CAboutBox::OnControlClicked(int id) {
    if (id == res::kIdOk)
        accept();
}

} // namespace nw::qt
