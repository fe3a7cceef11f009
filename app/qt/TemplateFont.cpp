#include "app/qt/TemplateFont.h"

#include <QString>

namespace nw::qt {

namespace {
// Korean gothic faces close to Gulim in shape and metrics, best first.
const QStringList kKoreanGothic = {
    QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
    QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Sans Serif")};
} // namespace

QStringList FallbackFamilies(const char* face) {
    const QString name = QString::fromUtf8(face);
    QStringList families = {name};
    if (name == QStringLiteral("굴림"))
        families << QStringLiteral("Gulim");
    families << kKoreanGothic;
    return families;
}

QFont TemplateFont(const char* face, int pointSize) {
    QFont font;
    font.setFamilies(FallbackFamilies(face));
    font.setPointSize(pointSize);
    if (QString::fromUtf8(face) == QStringLiteral("System"))
        font.setWeight(QFont::Bold);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

} // namespace nw::qt
