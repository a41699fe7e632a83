// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileNameText.h"

#include "platform/Utf8.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

} // namespace

QString FileNameToText(std::string_view name)
{
    QString text;
    text.reserve(static_cast<qsizetype>(name.size()));
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = Utf8CharLength(name, at);
        const auto lead = static_cast<unsigned char>(name[at]);
        if (length == 1 && lead >= 0x80)
            text.append(QChar(static_cast<char16_t>(kEscapeBase + lead)));
        else
            text.append(QString::fromUtf8(name.data() + at, static_cast<qsizetype>(length)));
        at += length;
    }
    return text;
}

std::string TextToFileName(const QString& text)
{
    std::string name;
    name.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype at = 0; at < text.size();) {
        const char16_t unit = text.at(at).unicode();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            name.push_back(static_cast<char>(unit - kEscapeBase));
            ++at;
            continue;
        }
        // Everything up to the next escaped byte, as UTF-8.
        qsizetype end = at + 1;
        while (end < text.size() && !(text.at(end).unicode() >= kEscapeBase + 0x80 &&
                                      text.at(end).unicode() <= kEscapeBase + 0xFF))
            ++end;
        name += text.mid(at, end - at).toStdString();
        at = end;
    }
    return name;
}
