#include "platform/IniFile.h"

#include "platform/Gbk.h"
#include "platform/ProgramLog.h"

#include <QFile>
#include <QSaveFile>

#include <vector>

namespace {

constexpr qsizetype MaxValueBytes = 10239;

struct Line
{
    QByteArray text; // without its line end
    QByteArray end;  // "\r\n", "\n" or "" for a last line without one
};

bool isBlankByte(char c)
{
    return quint8(c) <= 0x20;
}

// Blanks and control characters never fall inside a GBK double-byte character (its second byte
// is at least 0x40), so trimming the bytes is safe.
QByteArray trimmedBytes(const QByteArray &bytes)
{
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && isBlankByte(bytes[from]))
        ++from;
    while (to > from && isBlankByte(bytes[to - 1]))
        --to;
    return bytes.mid(from, to - from);
}

QString trimmedName(const QString &name)
{
    qsizetype from = 0;
    qsizetype to = name.size();
    while (from < to && name[from].unicode() <= 0x20)
        ++from;
    while (to > from && name[to - 1].unicode() <= 0x20)
        --to;
    return name.mid(from, to - from);
}

// Compares names ignoring the case of ASCII letters only. The names are compared as decoded
// text, since a second GBK byte may look like an ASCII letter.
bool sameName(const QByteArray &fileName, const QString &wanted)
{
    const QString name = gbk::decode(trimmedBytes(fileName));
    if (name.size() != wanted.size())
        return false;
    for (qsizetype n = 0; n < name.size(); ++n) {
        char16_t a = name[n].unicode();
        char16_t b = wanted[n].unicode();
        if (a >= u'A' && a <= u'Z')
            a += 32;
        if (b >= u'A' && b <= u'Z')
            b += 32;
        if (a != b)
            return false;
    }
    return true;
}

std::vector<Line> splitLines(const QByteArray &bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        if (lf < 0) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        qsizetype textEnd = lf;
        if (textEnd > start && bytes[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({bytes.mid(start, textEnd - start), bytes.mid(textEnd, lf + 1 - textEnd)});
        start = lf + 1;
    }
    return lines;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QByteArray name;          // section or key name, trimmed
    QByteArray value;         // entry value, trimmed
    qsizetype valueStart = 0; // byte position just after the "=" of an entry
};

ParsedLine parseLine(const QByteArray &text)
{
    ParsedLine parsed;
    qsizetype from = 0;
    while (from < text.size() && isBlankByte(text[from]))
        ++from;
    if (from == text.size()) {
        parsed.kind = LineKind::Blank;
        return parsed;
    }
    if (text[from] == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    if (text[from] == '[') {
        qsizetype close = text.indexOf(']', from + 1);
        if (close < 0)
            close = text.size();
        parsed.kind = LineKind::Section;
        parsed.name = trimmedBytes(text.mid(from + 1, close - from - 1));
        return parsed;
    }
    const qsizetype eq = text.indexOf('=', from);
    if (eq < 0)
        return parsed;
    parsed.kind = LineKind::Entry;
    parsed.name = trimmedBytes(text.mid(from, eq - from));
    parsed.value = trimmedBytes(text.mid(eq + 1));
    parsed.valueStart = eq + 1;
    return parsed;
}

// Where the section's header is, and where its entry for the key is (-1 when missing).
struct Location
{
    qsizetype section = -1;
    qsizetype sectionEnd = -1; // one past the section's last line
    qsizetype entry = -1;
};

Location locate(const std::vector<Line> &lines, const QString &section, const QString &key)
{
    Location where;
    for (qsizetype n = 0; n < qsizetype(lines.size()); ++n) {
        const ParsedLine parsed = parseLine(lines[n].text);
        if (parsed.kind == LineKind::Section) {
            if (where.section >= 0) {
                where.sectionEnd = n;
                return where;
            }
            if (sameName(parsed.name, section))
                where.section = n;
        } else if (where.section >= 0 && where.entry < 0 && parsed.kind == LineKind::Entry
                   && sameName(parsed.name, key)) {
            where.entry = n;
        }
    }
    if (where.section >= 0)
        where.sectionEnd = qsizetype(lines.size());
    return where;
}

QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The first maxBytes bytes, without the first half of a double-byte character at the cut.
QByteArray leftGbkBytes(const QByteArray &bytes, qsizetype maxBytes)
{
    if (bytes.size() <= maxBytes)
        return bytes;
    qsizetype n = 0;
    while (n < maxBytes) {
        const qsizetype width = (quint8(bytes[n]) >= 0x81 && n + 1 < bytes.size()) ? 2 : 1;
        if (n + width > maxBytes)
            break;
        n += width;
    }
    return bytes.left(n);
}

bool encodesExactly(const QString &text, QByteArray *bytes)
{
    *bytes = gbk::encode(text);
    return gbk::decode(*bytes) == text;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

namespace {

// The lines of an existing file; false (logged) when it exists but cannot be read.
bool readLines(const QString &path, std::vector<Line> *lines)
{
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        programlog::write(QStringLiteral("cannot read settings file %1: %2").arg(path, file.errorString()));
        return false;
    }
    *lines = splitLines(file.readAll());
    return true;
}

} // namespace

QString readIniValue(const QString &path, const QString &section, const QString &key, IniValueForm form)
{
    std::vector<Line> lines;
    if (!readLines(path, &lines))
        return {};
    const Location where = locate(lines, trimmedName(section), trimmedName(key));
    if (where.entry < 0)
        return {};
    const ParsedLine parsed = parseLine(lines[where.entry].text);
    if (form == IniValueForm::Exact)
        return gbk::decode(lines[where.entry].text.mid(parsed.valueStart));
    const QByteArray value = unquoted(parsed.value);
    return gbk::decode(leftGbkBytes(value, MaxValueBytes));
}

bool iniSectionExists(const QString &path, const QString &section)
{
    std::vector<Line> lines;
    if (!readLines(path, &lines))
        return false;
    return locate(lines, trimmedName(section), QString()).section >= 0;
}

bool writeIniValue(const QString &path, const QString &section, const QString &key, const QString &value)
{
    return writeIniValues(path, section, {{key, value}});
}

bool writeIniValues(const QString &path, const QString &section, const QList<QPair<QString, QString>> &entries)
{
    const QString sectionName = trimmedName(section);
    QByteArray sectionBytes;
    bool storable = !sectionName.isEmpty() && !hasLineBreak(sectionName) && !sectionName.contains(QLatin1Char(']'))
        && encodesExactly(sectionName, &sectionBytes);
    struct Entry {
        QString name;
        QByteArray keyBytes, valueBytes;
    };
    std::vector<Entry> prepared;
    for (const auto &[key, value] : entries) {
        Entry e{trimmedName(key), {}, {}};
        storable = storable && !e.name.isEmpty() && !hasLineBreak(e.name) && !hasLineBreak(value)
            && !e.name.contains(QLatin1Char('=')) && !e.name.startsWith(QLatin1Char(';'))
            && !e.name.startsWith(QLatin1Char('[')) && encodesExactly(e.name, &e.keyBytes)
            && encodesExactly(value, &e.valueBytes);
        if (!storable) {
            programlog::write(QStringLiteral("setting [%1] %2 not written to %3: the name or value cannot be stored")
                                  .arg(sectionName, e.name, path));
            return false;
        }
        prepared.push_back(std::move(e));
    }
    if (!storable) {
        programlog::write(QStringLiteral("section [%1] not written to %2: its name cannot be stored").arg(sectionName, path));
        return false;
    }

    QByteArray old;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            programlog::write(QStringLiteral("cannot read settings file %1: %2").arg(path, existing.errorString()));
            return false;
        }
        old = existing.readAll();
        existing.close();
    }

    std::vector<Line> lines = splitLines(old);
    QByteArray lineEnd = "\r\n";
    if (!old.contains("\r\n") && old.contains('\n'))
        lineEnd = "\n";

    for (size_t n = 0; n < prepared.size(); ++n) {
        const Entry &e = prepared[n];
        const Location where = locate(lines, sectionName, e.name);
        if (where.entry >= 0) {
            Line &line = lines[where.entry];
            line.text = line.text.left(parseLine(line.text).valueStart) + e.valueBytes;
            continue;
        }
        const QByteArray entry = e.keyBytes + '=' + e.valueBytes;
        qsizetype at = qsizetype(lines.size());
        std::vector<Line> added;
        if (where.section >= 0) {
            // A missing key goes where the order of the keys given puts it: right after the key
            // before it, or, for the first one, before the first later key the section holds.
            // Without either, after the section's last non-blank line, so blank lines keep
            // separating sections.
            at = -1;
            if (n > 0) {
                const qsizetype before = locate(lines, sectionName, prepared[n - 1].name).entry;
                if (before >= 0)
                    at = before + 1;
            }
            for (size_t later = n + 1; at < 0 && later < prepared.size(); ++later) {
                const qsizetype found = locate(lines, sectionName, prepared[later].name).entry;
                if (found >= 0)
                    at = found;
            }
            if (at < 0) {
                at = where.sectionEnd;
                while (at - 1 > where.section && parseLine(lines[at - 1].text).kind == LineKind::Blank)
                    --at;
            }
        } else {
            added.push_back({'[' + sectionBytes + ']', lineEnd});
        }
        added.push_back({entry, lineEnd});
        if (at > 0 && lines[at - 1].end.isEmpty())
            lines[at - 1].end = lineEnd;
        lines.insert(lines.begin() + at, added.begin(), added.end());
    }

    QByteArray bytes;
    bytes.reserve(old.size() + 64 * qsizetype(prepared.size() + 1));
    for (const Line &line : lines)
        bytes += line.text + line.end;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        programlog::write(QStringLiteral("cannot write settings file %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}
