// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/exercisesettings.h"

#include "base/error.h"
#include "settings/settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

namespace common {

namespace {

QString fullPath(const QString &path) {
    return QFileInfo(path).absoluteFilePath();
}

// Bytes 0x80-0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeText(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: a file from an older Windows machine.
    text.clear();
    text.reserve(bytes.size());
    for (const char c : std::as_const(bytes)) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(QChar(byte >= 0x80 && byte < 0xA0 ? cp1252High[byte - 0x80] : char16_t(byte)));
    }
    return text;
}

// The caption the settings tool shows for an item.
QString itemName(int item) {
    static const std::array<QString, 6> numbers{
        QStringLiteral("Antal övningar"), QStringLiteral("Minsta tavrin"),
        QStringLiteral("Högsta tavrin"),  QStringLiteral("Ljud"),
        QStringLiteral("KLAR-knapp"),     QStringLiteral("STOPP-knapp")};
    if (item >= 1 && item <= 6)
        return numbers[std::size_t(item - 1)];
    const int picture = (item - 7) / 2 + 1;
    return (item % 2 == 1 ? QStringLiteral("Bild %1, filnamn") : QStringLiteral("Bild %1, mapp"))
        .arg(picture);
}

// At most this much of a bad item goes into a message: a whole item can be a megabyte of junk,
// which a message box would take many seconds to lay out.
constexpr qsizetype longestQuote = 40;

// The start of a bad item as a message shows it: control characters as U+FFFD, and a longer
// item cut with "…".
QString quotable(const QString &item) {
    QString shown = item.left(longestQuote);
    if (shown.size() == longestQuote && shown.back().isHighSurrogate())
        shown.chop(1);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QChar(QChar::ReplacementCharacter);
    }
    if (item.size() > longestQuote)
        shown += u'…';
    return shown;
}

// No item at all: blanks and line ends alone, or the zero bytes that a crash can leave in place
// of a file's content.
bool holdsNoItem(const QString &text) {
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.isSpace() || c.isNull(); });
}

bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// Splits the text into items the way the file has always been read: a comma or a line end ends
// an item, spaces before an item are skipped, a quoted item runs to the next quote.
class ItemReader {
public:
    ItemReader(const QString &text, const QString &path)
        : m_text(text)
        , m_path(path) {}

    QString nextString(int itemNumber) {
        skipBlanks();
        if (itemNumber == 1 && holdsNoItem(m_text))
            throw Error(QStringLiteral("Inställningsfilen %1 är tom.").arg(m_path), itemNumber);
        if (m_pos >= m_text.size())
            throw Error(QStringLiteral("Inställningsfilen %1 tar slut före post %2 av %3 (%4).")
                            .arg(m_path)
                            .arg(itemNumber)
                            .arg(settingsItemCount)
                            .arg(itemName(itemNumber)),
                        itemNumber);
        QString value;
        m_lastQuoted = m_text.at(m_pos) == u'"';
        if (m_lastQuoted) {
            const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
            const qsizetype end = close < 0 ? m_text.size() : close;
            value = m_text.mid(m_pos + 1, end - m_pos - 1);
            m_pos = close < 0 ? end : end + 1;
            // Whatever stands between the closing quote and the separator is not part of the item.
            while (m_pos < m_text.size() && m_text.at(m_pos) != u',' &&
                   !isLineEnd(m_text.at(m_pos)))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos) != u',' &&
                   !isLineEnd(m_text.at(m_pos)))
                ++m_pos;
            value = m_text.mid(start, m_pos - start);
            while (value.endsWith(u' ') || value.endsWith(u'\t'))
                value.chop(1);
        }
        skipSeparator();
        return value;
    }

    Int16 nextNumber(int itemNumber) {
        const QString item = nextString(itemNumber);
        const std::optional<long long> value = wholeNumber(item);
        QString cause;
        if (!value && item.isEmpty() && !m_lastQuoted)
            cause = QStringLiteral("posten är tom, men här ska stå ett heltal");
        else if (!value)
            cause = QStringLiteral("\"%1\" är inget heltal").arg(quotable(item));
        else if (m_lastQuoted)
            cause = QStringLiteral("talet %1 står inom citattecken, men här ska det stå utan")
                        .arg(quotable(item));
        else if (*value < -32768 || *value > 32767)
            cause = QStringLiteral("talet %1 ryms inte i ett 16-bitars heltal (-32768 till 32767)")
                        .arg(quotable(item));
        if (!cause.isEmpty())
            throw settingsItemError(settingsItemLabel(itemNumber), itemNumber, m_path, cause);
        return static_cast<Int16>(*value);
    }

private:
    // Digits with an optional minus sign; far outside 16 bits the value stops growing.
    static std::optional<long long> wholeNumber(const QString &item) {
        const qsizetype first = item.startsWith(u'-') ? 1 : 0;
        if (first == item.size())
            return std::nullopt;
        long long value = 0;
        for (qsizetype i = first; i < item.size(); ++i) {
            const QChar c = item.at(i);
            if (c < u'0' || c > u'9')
                return std::nullopt;
            if (value < 1000000)
                value = value * 10 + (c.unicode() - u'0');
        }
        return first == 1 ? -value : value;
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text.at(m_pos) == u' ' || m_text.at(m_pos) == u'\t'))
            ++m_pos;
    }

    void skipSeparator() {
        if (m_pos >= m_text.size())
            return;
        if (m_text.at(m_pos) == u',') {
            ++m_pos;
        } else if (m_text.at(m_pos) == u'\r') {
            ++m_pos;
            if (m_pos < m_text.size() && m_text.at(m_pos) == u'\n')
                ++m_pos;
        } else if (m_text.at(m_pos) == u'\n') {
            ++m_pos;
        }
    }

    const QString &m_text;
    const QString m_path;
    qsizetype m_pos = 0;
    bool m_lastQuoted = false;
};

} // namespace

QString settingsFileName() {
    return QStringLiteral("tavrin.ini");
}

QString picturePath(const QString &directory, const QString &fileName) {
    return directory + QDir::separator() + fileName;
}

QString picturePath(const PictureRef &picture) {
    return picturePath(picture.directory, picture.fileName);
}

bool isStorableText(const QString &text) {
    return !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n');
}

QString settingsItemLabel(int item) {
    return QStringLiteral("Post %1 (%2)").arg(item).arg(itemName(item));
}

QString pictureItemsLabel(int position) {
    return QStringLiteral("Post %1 och %2 (Bild %3)")
        .arg(7 + 2 * position)
        .arg(8 + 2 * position)
        .arg(position + 1);
}

Error settingsItemError(const QString &label, int item, const QString &path, const QString &cause) {
    return Error(
        QStringLiteral("%1 i inställningsfilen %2: %3%4")
            .arg(label, path, cause, cause.endsWith(u'.') ? QString() : QStringLiteral(".")),
        item);
}

ExerciseSettings parseExerciseSettings(const QByteArray &bytes, const QString &pathForErrors) {
    const QString text = decodeText(bytes);
    ItemReader reader(text, pathForErrors);
    ExerciseSettings s;
    s.taskCount = reader.nextNumber(1);
    s.smallestNumber = reader.nextNumber(2);
    s.largestNumber = reader.nextNumber(3);
    s.soundOn = reader.nextNumber(4);
    s.doneButtonVisible = reader.nextNumber(5);
    s.quitButtonVisible = reader.nextNumber(6);
    int item = 7;
    for (PictureRef &picture : s.pictures) {
        picture.fileName = reader.nextString(item++);
        picture.directory = reader.nextString(item++);
    }
    return s;
}

ExerciseSettings readExerciseSettings(const QString &path) {
    return parseExerciseSettings(readSettingsBytes(path), fullPath(path));
}

bool isEmptySettingsFile(const QString &path) {
    try {
        return holdsNoItem(decodeText(readSettingsBytes(path)));
    } catch (const Error &) {
        return false; // missing or unreadable: the load says which
    }
}

ExerciseSettings readExerciseSettings() {
    return readExerciseSettings(settingsFileName());
}

QByteArray formatExerciseSettings(const ExerciseSettings &s, const QString &pathForErrors) {
    QByteArray out;
    const auto number = [&out](Int16 value) { out += QByteArray::number(value) + "\r\n"; };
    number(s.taskCount);
    number(s.smallestNumber);
    number(s.largestNumber);
    number(s.soundOn);
    number(s.doneButtonVisible);
    number(s.quitButtonVisible);
    int item = 7;
    for (const PictureRef &picture : s.pictures) {
        for (const QString *text : {&picture.fileName, &picture.directory}) {
            if (!isStorableText(*text))
                throw settingsItemError(
                    settingsItemLabel(item), item, pathForErrors,
                    QStringLiteral("\"%1\" kan inte sparas, eftersom filen inte kan lagra ett "
                                   "citattecken eller en radbrytning")
                        .arg(quotable(*text)));
            out += '"' + text->toUtf8() + "\"\r\n";
            ++item;
        }
    }
    return out;
}

void writeExerciseSettings(const ExerciseSettings &settings, const QString &path) {
    saveSettingsBytes(path, formatExerciseSettings(settings, fullPath(path)));
}

void writeExerciseSettings(const ExerciseSettings &settings) {
    writeExerciseSettings(settings, settingsFileName());
}

} // namespace common
