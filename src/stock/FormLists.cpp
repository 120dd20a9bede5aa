#include "stock/FormLists.h"

#include "context/AppContext.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "stock/StockRules.h"

#include <QSet>

namespace stock {

namespace {

// One character (a whole surrogate pair) and its search code: the pinyin initial of a hanzi, the
// half-width form of a full-width sign, an ASCII character itself, "" when the code drops it.
struct Letter {
    QString text;
    QString initial;
};

QList<Letter> lettersOf(const QString &text, bool withInitials)
{
    QList<Letter> letters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        Letter letter{text.mid(i, length), QString()};
        if (withInitials)
            letter.initial = data::toPinyinInitials(letter.text);
        letters.append(letter);
        i += length - 1;
    }
    return letters;
}

bool sameIgnoringAsciiCase(const QString &typed, const QString &initial)
{
    if (typed.size() != 1 || initial.size() != 1)
        return false;
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    return lower(typed.at(0).unicode()) == lower(initial.at(0).unicode());
}

// Whether typed[i..] matches the item from item[j] on.
bool matchesFrom(const QList<Letter> &item, qsizetype j, const QList<Letter> &typed, qsizetype i)
{
    if (i == typed.size())
        return true;
    if (j == item.size())
        return false;
    const Letter &have = item.at(j);
    const QString &want = typed.at(i).text;
    if ((want == have.text || sameIgnoringAsciiCase(want, have.initial)) && matchesFrom(item, j + 1, typed, i + 1))
        return true;
    // A character without a search code is not in the initials: a match may run over it.
    return have.initial.isEmpty() && i > 0 && matchesFrom(item, j + 1, typed, i);
}

} // namespace

QStringList filterByInitials(const QStringList &items, const QString &typed)
{
    const QList<Letter> typedLetters = lettersOf(typed, false);
    QStringList kept;
    for (const QString &item : items) {
        if (data::toPinyinInitials(item).isEmpty())
            continue;
        const QList<Letter> letters = lettersOf(item, true);
        for (qsizetype j = 0; j <= letters.size(); ++j) {
            if (matchesFrom(letters, j, typedLetters, 0)) {
                kept.append(item);
                break;
            }
        }
    }
    return kept;
}

QStringList searchProductNames(AppContext &context, const QString &typed)
{
    QStringList names;
    if (typed.isEmpty())
        return names;
    data::Connection &db = context.connection();
    const data::Dialect &d = db.dialect();
    const data::Sql where =
        data::both(data::both(notEmpty(QStringLiteral("名称")),
                              inStockOfShop(d, context.currentShop)),
                   d.contains(QStringLiteral("拼音检索"), searchKeyOf(typed)));
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(d, kStockTable, where, true, QStringLiteral("id ASC"), true)))
        return names;
    QSet<QString> seen;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("名称"));
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

} // namespace stock
