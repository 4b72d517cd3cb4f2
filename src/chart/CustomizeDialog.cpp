#include "chart/CustomizeDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace thermo4::chart {

ColorButton::ColorButton(const QColor& color, QWidget* parent) : QPushButton(parent) {
    setColor(color);
    connect(this, &QPushButton::clicked, this, &ColorButton::choose);
}

void ColorButton::setColor(const QColor& color) {
    m_color = color;
    QPixmap swatch(32, 14);
    swatch.fill(color);
    setIcon(QIcon(swatch));
    setText(color.name(QColor::HexArgb));
}

void ColorButton::choose() {
    const QColor c = QColorDialog::getColor(m_color, this, QString(), QColorDialog::ShowAlphaChannel);
    if (c.isValid())
        setColor(c);
}

namespace {

QLineEdit* lineEdit(const QString& name, const QString& text) {
    auto* e = new QLineEdit(text);
    e->setObjectName(name);
    return e;
}

QSpinBox* percentBox(const QString& name, int value) {
    auto* s = new QSpinBox;
    s->setObjectName(name);
    s->setRange(10, 400);
    s->setSuffix(QStringLiteral(" %"));
    s->setValue(value);
    return s;
}

QCheckBox* checkBox(const QString& name, const QString& text, bool on) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}

ColorButton* colorButton(const QString& name, const QColor& color) {
    auto* b = new ColorButton(color);
    b->setObjectName(name);
    return b;
}

QComboBox* comboBox(const QString& name, const QStringList& items, int index) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->addItems(items);
    c->setCurrentIndex(std::clamp(index, 0, int(items.size()) - 1));
    return c;
}

QDoubleSpinBox* valueBox(const QString& name, double value) {
    auto* s = new QDoubleSpinBox;
    s->setObjectName(name);
    s->setRange(-1e6, 1e6);
    s->setDecimals(1);
    s->setValue(value);
    return s;
}

} // namespace

CustomizeDialog::CustomizeDialog(const GraphState& state, int axisCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Customize Graph"));
    setObjectName(QStringLiteral("CustomizeDialog"));
    m_tabs = new QTabWidget;
    const GraphSettings& s = state.settings;
    if ((m_general = s.allowPage1))
        m_tabs->addTab(buildGeneralPage(state), tr("General"));
    if ((m_style = s.allowPage2))
        m_tabs->addTab(buildStylePage(state), tr("Style"));
    if ((m_subsetsPage = s.allowSubsetsPage))
        m_tabs->addTab(buildSubsetsPage(state), tr("Subsets"));
    if ((m_axisPage = s.allowAxisPage))
        m_tabs->addTab(buildAxisPage(state, axisCount), tr("Axis"));
    if ((m_fontPage = s.allowFontPage))
        m_tabs->addTab(buildFontPage(state), tr("Font"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

QStringList CustomizeDialog::pageTitles() const {
    QStringList titles;
    for (int i = 0; i < m_tabs->count(); ++i)
        titles << m_tabs->tabText(i);
    return titles;
}

QWidget* CustomizeDialog::buildGeneralPage(const GraphState& state) {
    const GraphSettings& s = state.settings;
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->addRow(tr("Main title"), m_mainTitle = lineEdit(QStringLiteral("edtMainTitle"), s.mainTitle));
    form->addRow(tr("Subtitle"), m_subTitle = lineEdit(QStringLiteral("edtSubTitle"), s.subTitle));
    form->addRow(tr("X axis label"), m_xAxisLabel = lineEdit(QStringLiteral("edtXAxisLabel"), s.xAxisLabel));
    m_gridStyle =
        comboBox(QStringLiteral("cboGridStyle"),
                 {tr("Thin line"), tr("Thick line"), tr("Dotted"), tr("Dashed"), tr("None")}, s.gridStyle);
    form->addRow(tr("Grid style"), m_gridStyle);
    form->addRow(tr("Axes and grid"),
                 m_foreColor = colorButton(QStringLiteral("btnGraphForeColor"), s.graphForeColor));
    form->addRow(tr("Graph background"),
                 m_backColor = colorButton(QStringLiteral("btnGraphBackColor"), s.graphBackColor));
    form->addRow(tr("Desk"), m_deskColor = colorButton(QStringLiteral("btnDeskColor"), s.deskColor));
    form->addRow(tr("Text"), m_textColor = colorButton(QStringLiteral("btnTextColor"), s.textColor));
    return page;
}

QWidget* CustomizeDialog::buildStylePage(const GraphState& state) {
    const GraphSettings& s = state.settings;
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_zooming = comboBox(QStringLiteral("cboZooming"),
                         {tr("No zooming"), tr("Horizontal"), tr("Vertical"), tr("Horizontal and vertical")},
                         s.allowZooming);
    form->addRow(tr("Zooming"), m_zooming);
    form->addRow(m_dataHotSpots = checkBox(QStringLiteral("chkDataHotSpots"), tr("Data point hot spots"),
                                           s.allowDataHotSpots));
    form->addRow(m_graphHotSpots = checkBox(QStringLiteral("chkGraphHotSpots"), tr("Graph hot spots"),
                                            s.allowGraphHotSpots));
    form->addRow(m_annotHotSpots = checkBox(QStringLiteral("chkAnnotHotSpots"), tr("Annotation hot spots"),
                                            s.allowGraphAnnotHotSpots));
    form->addRow(m_showAnnotations = checkBox(QStringLiteral("chkShowAnnotations"), tr("Show annotations"),
                                              s.showGraphAnnotations));
    form->addRow(m_showLegend = checkBox(QStringLiteral("chkShowLegend"), tr("Show legend"), s.showLegend));
    form->addRow(tr("Annotation text size"),
                 m_annotationTextSize =
                     percentBox(QStringLiteral("spnAnnotationTextSize"), s.graphAnnotationTextSize));
    form->addRow(tr("Line annotation text size"),
                 m_lineTextSize =
                     percentBox(QStringLiteral("spnLineAnnotationTextSize"), s.lineAnnotationTextSize));
    form->addRow(tr("Table text size"),
                 m_tableTextSize = percentBox(QStringLiteral("spnTableTextSize"), state.table.textSize));
    return page;
}

QWidget* CustomizeDialog::buildSubsetsPage(const GraphState& state) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(tr("Label")), 0, 1);
    grid->addWidget(new QLabel(tr("Colour")), 0, 2);
    grid->addWidget(new QLabel(tr("Line width")), 0, 3);
    for (int i = 0; i < state.subsets; ++i) {
        const SubsetStyle style =
            std::size_t(i) < state.subsetStyles.size() ? state.subsetStyles[i] : SubsetStyle{};
        SubsetRow row{lineEdit(QStringLiteral("edtSubsetLabel%1").arg(i), style.label),
                      colorButton(QStringLiteral("btnSubsetColor%1").arg(i), style.color),
                      new QDoubleSpinBox};
        row.width->setObjectName(QStringLiteral("spnLineWidth%1").arg(i));
        row.width->setRange(0.0, 10.0);
        row.width->setDecimals(1);
        row.width->setSingleStep(0.5);
        row.width->setValue(style.lineWidth);
        grid->addWidget(new QLabel(tr("Subset %1").arg(i + 1)), i + 1, 0);
        grid->addWidget(row.label, i + 1, 1);
        grid->addWidget(row.color, i + 1, 2);
        grid->addWidget(row.width, i + 1, 3);
        m_subsets.push_back(row);
    }
    grid->setRowStretch(state.subsets + 1, 1);
    return page;
}

QWidget* CustomizeDialog::buildAxisPage(const GraphState& state, int axisCount) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(tr("Label")), 0, 1);
    grid->addWidget(new QLabel(tr("Scale")), 0, 2);
    grid->addWidget(new QLabel(tr("Minimum")), 0, 3);
    grid->addWidget(new QLabel(tr("Maximum")), 0, 4);
    const QStringList scales{tr("Automatic"), tr("Manual minimum"), tr("Manual maximum"), tr("Manual")};
    for (int a = 0; a < axisCount; ++a) {
        const AxisState axis = std::size_t(a) < state.axes.size() ? state.axes[a] : AxisState{};
        AxisRow row{lineEdit(QStringLiteral("edtYAxisLabel%1").arg(a), axis.label),
                    comboBox(QStringLiteral("cboScaleY%1").arg(a), scales, axis.manualScaleControlY),
                    valueBox(QStringLiteral("spnMinY%1").arg(a), axis.manualMinY),
                    valueBox(QStringLiteral("spnMaxY%1").arg(a), axis.manualMaxY)};
        grid->addWidget(new QLabel(tr("Y axis %1").arg(a + 1)), a + 1, 0);
        grid->addWidget(row.label, a + 1, 1);
        grid->addWidget(row.scale, a + 1, 2);
        grid->addWidget(row.min, a + 1, 3);
        grid->addWidget(row.max, a + 1, 4);
        m_axes.push_back(row);
    }
    grid->setRowStretch(axisCount + 1, 1);
    return page;
}

QWidget* CustomizeDialog::buildFontPage(const GraphState& state) {
    const GraphSettings& s = state.settings;
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_fontFamily = new QFontComboBox;
    m_fontFamily->setObjectName(QStringLiteral("cboFontFamily"));
    if (!s.fontFamily.isEmpty())
        m_fontFamily->setCurrentFont(QFont(s.fontFamily));
    m_fontSize = new QSpinBox;
    m_fontSize->setObjectName(QStringLiteral("spnFontSize"));
    m_fontSize->setRange(4, 72);
    m_fontSize->setSuffix(QStringLiteral(" pt"));
    m_fontSize->setValue(s.fontSize);
    form->addRow(tr("Font"), m_fontFamily);
    form->addRow(tr("Size"), m_fontSize);
    return page;
}

void CustomizeDialog::applyTo(GraphState& state) const {
    GraphSettings& s = state.settings;
    if (m_general) {
        s.mainTitle = m_mainTitle->text();
        s.subTitle = m_subTitle->text();
        s.xAxisLabel = m_xAxisLabel->text();
        s.gridStyle = m_gridStyle->currentIndex();
        s.graphForeColor = m_foreColor->color();
        s.graphBackColor = m_backColor->color();
        s.deskColor = m_deskColor->color();
        s.textColor = m_textColor->color();
    }
    if (m_style) {
        s.allowZooming = m_zooming->currentIndex();
        s.allowDataHotSpots = m_dataHotSpots->isChecked();
        s.allowGraphHotSpots = m_graphHotSpots->isChecked();
        s.allowGraphAnnotHotSpots = m_annotHotSpots->isChecked();
        s.showGraphAnnotations = m_showAnnotations->isChecked();
        s.showLegend = m_showLegend->isChecked();
        s.graphAnnotationTextSize = m_annotationTextSize->value();
        s.lineAnnotationTextSize = m_lineTextSize->value();
        state.table.textSize = m_tableTextSize->value();
    }
    if (m_subsetsPage) {
        for (std::size_t i = 0; i < m_subsets.size(); ++i) {
            SubsetStyle& style = state.subsetStyle(int(i));
            style.label = m_subsets[i].label->text();
            style.color = m_subsets[i].color->color();
            style.lineWidth = m_subsets[i].width->value();
        }
    }
    if (m_axisPage) {
        for (std::size_t a = 0; a < m_axes.size(); ++a) {
            AxisState& axis = state.axis(int(a));
            axis.label = m_axes[a].label->text();
            axis.manualScaleControlY = m_axes[a].scale->currentIndex();
            axis.manualMinY = m_axes[a].min->value();
            axis.manualMaxY = m_axes[a].max->value();
        }
    }
    if (m_fontPage) {
        s.fontFamily = m_fontFamily->currentFont().family();
        s.fontSize = m_fontSize->value();
    }
}

} // namespace thermo4::chart
