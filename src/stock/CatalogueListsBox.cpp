#include "stock/CatalogueListsBox.h"

#include "context/AppContext.h"
#include "platform/MessageSeam.h"
#include "stock/Catalogue.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace stock {

CatalogueListsBox::CatalogueListsBox(AppContext &context, QWidget *parent)
    : QGroupBox(QStringLiteral("自定义颜色、尺码、单位、款号"), parent), m_context(context)
{
    setObjectName(QStringLiteral("自定义颜色、尺码、单位、款号"));
    auto *grid = new QGridLayout(this);
    struct Row {
        CatalogueKind kind;
        const char16_t *label, *combo, *addName, *deleteName;
    };
    const Row rows[] = {{CatalogueKind::Colour, u"颜色", u"颜色7", u"按钮5", u"按钮6"},
                        {CatalogueKind::Size, u"尺码", u"尺码7", u"按钮9", u"按钮11"},
                        {CatalogueKind::Unit, u"单位", u"单位7", u"按钮15", u"按钮16"}};
    int r = 0;
    for (const Row &row : rows) {
        auto *combo = new QComboBox(this);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setObjectName(QString::fromUtf16(row.combo));
        auto *add = new QPushButton(QStringLiteral("添加"), this);
        add->setObjectName(QString::fromUtf16(row.addName));
        auto *del = new QPushButton(QStringLiteral("删除"), this);
        del->setObjectName(QString::fromUtf16(row.deleteName));
        grid->addWidget(new QLabel(QString::fromUtf16(row.label), this), r, 0);
        grid->addWidget(combo, r, 1);
        grid->addWidget(add, r, 2);
        grid->addWidget(del, r, 3);
        const CatalogueKind kind = row.kind;
        connect(add, &QPushButton::clicked, this, [this, kind] { this->add(kind); });
        connect(del, &QPushButton::clicked, this, [this, kind] { remove(kind); });
        (kind == CatalogueKind::Colour ? m_colour : kind == CatalogueKind::Size ? m_size : m_unit) = combo;
        ++r;
    }
}

QComboBox *CatalogueListsBox::comboOf(CatalogueKind kind) const
{
    return kind == CatalogueKind::Colour ? m_colour : kind == CatalogueKind::Size ? m_size : m_unit;
}

void CatalogueListsBox::reload(CatalogueKind kind)
{
    QComboBox *combo = comboOf(kind);
    combo->clear();
    combo->addItems(loadCatalogue(m_context, kind));
}

void CatalogueListsBox::loadColourSettingsCombo() { reload(CatalogueKind::Colour); }
void CatalogueListsBox::loadSizeSettingsCombo() { reload(CatalogueKind::Size); }
void CatalogueListsBox::loadUnitSettingsCombo() { reload(CatalogueKind::Unit); }

void CatalogueListsBox::loadAll()
{
    loadColourSettingsCombo();
    loadSizeSettingsCombo();
    loadUnitSettingsCombo();
}

void CatalogueListsBox::add(CatalogueKind kind)
{
    const CatalogueResult r = addCatalogueValue(m_context, kind, comboOf(kind)->currentText());
    if (r.changed)
        reload(kind);
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
}

void CatalogueListsBox::remove(CatalogueKind kind)
{
    const CatalogueResult r = deleteCatalogueValue(m_context, kind, comboOf(kind)->currentText());
    if (r.changed)
        reload(kind);
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
}

} // namespace stock
