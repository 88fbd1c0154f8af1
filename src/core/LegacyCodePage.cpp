#include "core/LegacyCodePage.h"

#include <QStringDecoder>

#ifdef Q_OS_UNIX
#include <langinfo.h>
#endif

namespace {
struct LanguageCodePage
{
    QLocale::Language language;
    const char *codePage;
};

// Languages whose ANSI code page is not windows-1252. Chinese and Serbian depend on the
// script and are handled apart.
constexpr LanguageCodePage CodePages[] = {
    {QLocale::Japanese, "Shift_JIS"},
    {QLocale::Korean, "windows-949"},
    {QLocale::Thai, "windows-874"},
    {QLocale::Vietnamese, "windows-1258"},
    {QLocale::Greek, "windows-1253"},
    {QLocale::Turkish, "windows-1254"},
    {QLocale::Azerbaijani, "windows-1254"},
    {QLocale::Hebrew, "windows-1255"},
    {QLocale::Arabic, "windows-1256"},
    {QLocale::Persian, "windows-1256"},
    {QLocale::Urdu, "windows-1256"},
    {QLocale::Estonian, "windows-1257"},
    {QLocale::Latvian, "windows-1257"},
    {QLocale::Lithuanian, "windows-1257"},
    {QLocale::Czech, "windows-1250"},
    {QLocale::Polish, "windows-1250"},
    {QLocale::Slovak, "windows-1250"},
    {QLocale::Slovenian, "windows-1250"},
    {QLocale::Hungarian, "windows-1250"},
    {QLocale::Croatian, "windows-1250"},
    {QLocale::Romanian, "windows-1250"},
    {QLocale::Albanian, "windows-1250"},
    {QLocale::Bosnian, "windows-1250"},
    {QLocale::Russian, "windows-1251"},
    {QLocale::Ukrainian, "windows-1251"},
    {QLocale::Belarusian, "windows-1251"},
    {QLocale::Bulgarian, "windows-1251"},
    {QLocale::Macedonian, "windows-1251"},
    {QLocale::Kazakh, "windows-1251"},
    {QLocale::Kyrgyz, "windows-1251"},
    {QLocale::Tatar, "windows-1251"},
    {QLocale::Mongolian, "windows-1251"},
};

const QString Fallback = QStringLiteral("windows-1252");

#ifdef Q_OS_UNIX
// The character set of the C library's locale (QCoreApplication sets it from the
// environment), when it is neither UTF-8 nor plain ASCII
// (the C locale) and the decoder knows it.
QString localeCharacterSet()
{
    const QByteArray name = nl_langinfo(CODESET);
    const QByteArray lower = name.toLower();
    if (lower.isEmpty() || lower == "utf-8" || lower == "utf8" || lower == "ansi_x3.4-1968"
        || lower == "ascii" || lower == "us-ascii")
        return {};
    return QStringDecoder(name.constData()).isValid() ? QString::fromLatin1(name) : QString();
}
#endif
} // namespace

QString LegacyCodePageFor(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Chinese:
        return locale.script() == QLocale::TraditionalChineseScript
                       || locale.territory() == QLocale::Taiwan
                       || locale.territory() == QLocale::HongKong
                       || locale.territory() == QLocale::Macau
                   ? QStringLiteral("Big5")
                   : QStringLiteral("GBK");
    case QLocale::Serbian:
        return locale.script() == QLocale::LatinScript ? QStringLiteral("windows-1250")
                                                       : QStringLiteral("windows-1251");
    default:
        break;
    }
    for (const LanguageCodePage &entry : CodePages) {
        if (entry.language == locale.language())
            return QString::fromLatin1(entry.codePage);
    }
    return Fallback;
}

QString LegacyCodePage()
{
#ifdef Q_OS_UNIX
    const QString own = localeCharacterSet();
    if (!own.isEmpty())
        return own;
#endif
    return LegacyCodePageFor(QLocale::system());
}
