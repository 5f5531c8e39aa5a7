#include "settings/exercisesettings.h"

#include "settings/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

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
        if (m_pos >= m_text.size())
            throw Error(QStringLiteral("Inställningsfilen %1 tar slut före post %2 av %3.")
                            .arg(m_path)
                            .arg(itemNumber)
                            .arg(settingsItemCount));
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
        if (m_lastQuoted)
            throw notWhole(itemNumber, item);
        qsizetype i = 0;
        const bool negative = item.startsWith(u'-');
        if (negative)
            i = 1;
        if (i == item.size())
            throw notWhole(itemNumber, item);
        long long value = 0;
        for (; i < item.size(); ++i) {
            const QChar c = item.at(i);
            if (c < u'0' || c > u'9')
                throw notWhole(itemNumber, item);
            // Stop growing once far outside 16 bits; the range test below reports it.
            if (value < 1000000)
                value = value * 10 + (c.unicode() - u'0');
        }
        if (negative)
            value = -value;
        if (value < -32768 || value > 32767)
            throw Error(QStringLiteral("Post %1 i inställningsfilen %2 (\"%3\") ryms inte i ett "
                                       "16-bitars heltal (-32768 till 32767).")
                            .arg(itemNumber)
                            .arg(m_path, item));
        return static_cast<Int16>(value);
    }

private:
    Error notWhole(int itemNumber, const QString &item) const {
        return Error(QStringLiteral("Post %1 i inställningsfilen %2 (\"%3\") är inget heltal.")
                         .arg(itemNumber)
                         .arg(m_path, item));
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

QString itemDescription(int itemNumber) {
    const int picture = (itemNumber - 7) / 2 + 1;
    return (itemNumber % 2 == 1 ? QStringLiteral("filnamnet för bild %1")
                                : QStringLiteral("katalogen för bild %1"))
        .arg(picture);
}

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
    const QString shown = fullPath(path);
    QFile file(path);
    if (!file.exists())
        throw Error(QStringLiteral("Inställningsfilen %1 finns inte.").arg(shown));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte läsas: %2")
                        .arg(shown, file.errorString()));
    // The record is tiny; anything past the first megabyte can't hold one of its 24 items.
    const QByteArray bytes = file.read(1 << 20);
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte läsas: %2")
                        .arg(shown, file.errorString()));
    return parseExerciseSettings(bytes, shown);
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
                throw Error(QStringLiteral("Inställningsfilen %1 skrevs inte: post %2 (%3, \"%4\") "
                                           "innehåller ett citattecken eller en radbrytning, som "
                                           "filen inte kan lagra.")
                                .arg(pathForErrors)
                                .arg(item)
                                .arg(itemDescription(item), *text));
            out += '"' + text->toUtf8() + "\"\r\n";
            ++item;
        }
    }
    return out;
}

void writeExerciseSettings(const ExerciseSettings &settings, const QString &path) {
    const QString shown = fullPath(path);
    const QByteArray bytes = formatExerciseSettings(settings, shown);
    // The old file is replaced only once the new one is complete.
    QSaveFile file(path);
    // Unbuffered, so a short write shows in write()'s count; buffered, commit() can miss it
    // and put a cut-off file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte skrivas: %2")
                        .arg(shown, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte skrivas: %2")
                        .arg(shown, file.errorString()));
}

void writeExerciseSettings(const ExerciseSettings &settings) {
    writeExerciseSettings(settings, settingsFileName());
}

} // namespace common
