#pragma once
// Reading printed PDF files back with poppler's tools: a tool's output, and every word with the
// top-left corner of its box (pdftotext -bbox).
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pdfwords {

// The standard output of a program run to its end ("" when it does not end within 30 s).
inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Word {
    QString text;
    double x = 0, y = 0; // top-left, PDF points from the page's top-left corner
    int page = 0;        // from 1
};

// The words of every page in reading order.
inline QList<Word> wordsOf(const QString &pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<Word> words;
    int page = 0;
    static const QRegularExpression item(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble(), page});
    }
    return words;
}

// The n-th word (from 0) with exactly this text, or nullptr.
inline const Word *findWord(const QList<Word> &words, const QString &text, int occurrence = 0)
{
    for (const Word &w : words)
        if (w.text == text && occurrence-- == 0)
            return &w;
    return nullptr;
}

} // namespace pdfwords
