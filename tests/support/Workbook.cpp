#include "support/Workbook.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <zlib.h>

namespace testsupport {

namespace {

// One entry of a zip archive, inflated. Walks the local file headers; the workbook writer puts
// the sizes into them.
QByteArray zipEntry(const QByteArray &zip, const QByteArray &name)
{
    int pos = 0;
    while (pos + 30 <= zip.size() && zip.mid(pos, 4) == QByteArray("PK\x03\x04", 4)) {
        auto u16 = [&](int at) { return quint16(uchar(zip[at]) | uchar(zip[at + 1]) << 8); };
        auto u32 = [&](int at) { return quint32(u16(at) | quint32(u16(at + 2)) << 16); };
        const int method = u16(pos + 8);
        const quint32 compressed = u32(pos + 18);
        const quint32 size = u32(pos + 22);
        const int nameLength = u16(pos + 26), extraLength = u16(pos + 28);
        const QByteArray entryName = zip.mid(pos + 30, nameLength);
        const int data = pos + 30 + nameLength + extraLength;
        if (entryName == name) {
            const QByteArray raw = zip.mid(data, int(compressed));
            if (method == 0)
                return raw;
            QByteArray out(int(size > 0 ? size : raw.size() * 20 + 1024), '\0');
            z_stream stream{};
            inflateInit2(&stream, -MAX_WBITS);
            stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
            stream.avail_in = uInt(raw.size());
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(out.size());
            inflate(&stream, Z_FINISH);
            out.resize(int(stream.total_out));
            inflateEnd(&stream);
            return out;
        }
        pos = data + int(compressed);
    }
    return {};
}

// A cell text as Excel reads it: "_xHHHH_" stands for the character with that code (so the writer
// escapes control characters that way, and a literal "_x0041_" must reach the file as "_x005F_x0041_").
QString excelText(const QString &stored)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(stored); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(stored).mid(from, m.capturedStart() - from);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        from = m.capturedEnd();
    }
    out += QStringView(stored).mid(from);
    return out;
}

QStringList sharedStrings(const QByteArray &part)
{
    QStringList shared;
    QXmlStreamReader xml(part);
    QString current;
    bool inItem = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si") {
            inItem = true;
            current.clear();
        } else if (xml.isStartElement() && xml.name() == u"t" && inItem) {
            current += xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == u"si") {
            shared.append(excelText(current));
            inItem = false;
        }
    }
    return shared;
}

} // namespace

QByteArray workbookPart(const QString &path, const QString &part)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return zipEntry(file.readAll(), part.toUtf8());
}

QList<QStringList> workbookRows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = file.readAll();
    const QStringList shared = sharedStrings(zipEntry(zip, "xl/sharedStrings.xml"));
    QList<QStringList> rows;
    QXmlStreamReader xml(zipEntry(zip, "xl/worksheets/sheet1.xml"));
    int row = -1, column = -1;
    QString type;
    auto put = [&](const QString &text) {
        while (rows.size() <= row)
            rows.append(QStringList());
        QStringList &cells = rows[row];
        while (cells.size() <= column)
            cells.append(QString());
        cells[column] = text;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"c") {
            const QString ref = xml.attributes().value(QStringLiteral("r")).toString();
            column = 0;
            int i = 0;
            while (i < ref.size() && ref[i].isLetter())
                column = column * 26 + (ref[i++].unicode() - u'A' + 1);
            column -= 1;
            row = ref.mid(i).toInt() - 1;
            type = xml.attributes().value(QStringLiteral("t")).toString();
        } else if (xml.name() == u"v") {
            const QString v = xml.readElementText();
            put(type == u"s" ? shared.value(v.toInt()) : v);
        } else if (xml.name() == u"t" && type == u"inlineStr") {
            put(excelText(xml.readElementText()));
        } else if (xml.name() == u"f") {
            put(QStringLiteral("<formula>"));
        }
    }
    return rows;
}

} // namespace testsupport
