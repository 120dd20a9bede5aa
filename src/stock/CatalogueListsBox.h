#pragma once
// The colour, size and unit lists of the settings page 店铺初始设置 (group 自定义颜色、尺码、单位、款号):
// the combos 颜色7, 尺码7, 单位7 with their add and delete buttons.
#include <QGroupBox>

class AppContext;
class QComboBox;

namespace stock {

enum class CatalogueKind;

class CatalogueListsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CatalogueListsBox(AppContext &context, QWidget *parent = nullptr);

    void loadColourSettingsCombo();
    void loadSizeSettingsCombo();
    void loadUnitSettingsCombo();
    void loadAll();

private:
    QComboBox *comboOf(CatalogueKind kind) const;
    void reload(CatalogueKind kind);
    void add(CatalogueKind kind);
    void remove(CatalogueKind kind);

    AppContext &m_context;
    QComboBox *m_colour, *m_size, *m_unit;
};

} // namespace stock
