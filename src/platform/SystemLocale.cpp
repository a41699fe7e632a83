// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemLocale.h"

#include <QLocale>
#include <QString>

namespace {

// Removes the time-zone letter 't' (with the blanks that join it to the rest) from a Qt time format,
// leaving quoted literals alone. The report shows wall-clock time without a zone.
QString withoutTimeZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u't') {
            while (!out.isEmpty() && out.back() == u' ')
                out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

std::string utf8(const QString& s)
{
    return s.toStdString();
}

} // namespace

LocaleSettings localeSettingsFrom(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return LocaleSettings::usEnglish();

    LocaleSettings s;
    s.shortDateFormat = utf8(locale.dateFormat(QLocale::ShortFormat));
    s.longTimeFormat = utf8(withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    s.amDesignator = utf8(locale.amText());
    s.pmDesignator = utf8(locale.pmText());
    s.thousandSeparator = utf8(locale.groupSeparator());
    s.decimalSeparator = utf8(locale.decimalPoint());
    for (int m = 1; m <= 12; ++m) {
        s.shortMonthNames[m - 1] = utf8(locale.monthName(m, QLocale::ShortFormat));
        s.longMonthNames[m - 1] = utf8(locale.monthName(m, QLocale::LongFormat));
    }
    for (int d = 1; d <= 7; ++d) {
        s.shortDayNames[d - 1] = utf8(locale.dayName(d, QLocale::ShortFormat));
        s.longDayNames[d - 1] = utf8(locale.dayName(d, QLocale::LongFormat));
    }
    return s;
}

LocaleSettings systemLocaleSettings()
{
    return localeSettingsFrom(QLocale::system());
}
